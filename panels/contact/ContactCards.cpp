#include "panels/contact/ContactCards.h"

#include "reader/HexText.h"

namespace t7::contact
{

Sle4442State &sle4442()
{
    static Sle4442State state;
    return state;
}

void chooseReader(const std::function<bool(int handle)> &answers, ReaderChoice choice)
{
    ConnectionState &c = t7::connection();
    const int count = std::min(c.readerCount, ConnectionState::kCapacity);
    for (int i = 0; i < count; ++i) {
        const int handle = c.readers[static_cast<size_t>(i)].handle;
        if (!answers(handle))
            continue;
        c.deviceHandle = handle;
        if (choice == ReaderChoice::FirstAnswering)
            return;
    }
}

QStringList lineNumbers()
{
    QStringList labels;
    for (int i = 0; i < kLines; ++i)
        labels << QStringLiteral("%1").arg(i, 2, 16, QLatin1Char('0')).toUpper();
    return labels;
}

QStringList placeholderLines()
{
    QStringList lines;
    for (int i = 0; i < kLines; ++i)
        lines << InsertHexSpaces(QString(2 * kLineBytes, QLatin1Char('F')));
    return lines;
}

QString pairsEachFollowedByBlank(const QString &digits)
{
    QString text;
    for (int i = 0; i + 1 < digits.size(); i += 2)
        text += digits.mid(i, 2).toUpper() + QLatin1Char(' ');
    return text;
}

QString lineDigits(const QString &line)
{
    QString digits = line;
    digits.remove(QLatin1Char(' '));
    return digits;
}

bool isMemoryLine(const QString &line)
{
    return isHexOfLength(lineDigits(line), kLineBytes);
}

} // namespace t7::contact
