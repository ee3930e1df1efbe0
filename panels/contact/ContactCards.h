// What the contact-card panels share: the SLE4442 pages' verification state,
// the choice of reader by asking each one in turn, and the memory line texts.
#pragma once

#include "reader/ConnectionState.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace t7::contact
{

// Shared by the three SLE4442 pages for the whole run.
struct Sle4442State {
    bool pscVerified = false;
    std::array<unsigned char, 3> verifiedPsc{};
};
Sle4442State &sle4442();

inline int deviceHandle()
{
    return t7::connection().deviceHandle;
}

enum class ReaderChoice { FirstAnswering, LastAnswering };
// Asks every reader of the reader table in table order; an answering one
// becomes the device handle (the first, or the last, to answer). With none
// answering the device handle stays as it was.
void chooseReader(const std::function<bool(int handle)> &answers, ReaderChoice choice);

constexpr int kLineBytes = 16;
constexpr int kLines = 16;

// "00" to "0F": the row labels of a memory list, and its column header.
QStringList lineNumbers();
// Sixteen lines "FF FF ... FF", what a memory list shows before any read.
QStringList placeholderLines();
// Two upper-case digits and a blank per byte, the last blank included.
QString pairsEachFollowedByBlank(const QString &digits);
// The hexadecimal digits of a line with every blank removed; a line that
// holds a memory row has exactly 32 of them.
QString lineDigits(const QString &line);
bool isMemoryLine(const QString &line);

} // namespace t7::contact
