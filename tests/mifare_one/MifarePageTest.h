// Shared set-up of the Mifare One page tests: a scripted reader on device
// handle 7, recorded message boxes and the shared card state back at its start.
#pragma once

#include "panels/mifare_one/MifareOne.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace mifaretest
{

constexpr int kHandle = 7;

inline void resetSharedState(int cardKind)
{
    auto &shared = t7::mifare::state();
    shared.cardKind = cardKind;
    shared.currentKeyMode = 0;
    shared.verified = 0;
    shared.verifiedSector = 0;
    t7::connection().reset();
    t7::connection().deviceHandle = kHandle;
    t7::connection().portOpen = 1;
}

class PageTest : public ::testing::Test
{
protected:
    // Card kind at the start of each test; S50 unless a test says otherwise.
    explicit PageTest(int cardKind = t7::mifare::kCardKindS50) { resetSharedState(cardKind); }
    ~PageTest() override { t7::connection().reset(); }

    template <typename T> static T *child(const QWidget &page, const char *name)
    {
        T *found = page.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(const QWidget &page, const char *button)
    {
        QTest::mouseClick(child<QAbstractButton>(page, button), Qt::LeftButton);
    }
    static void setText(const QWidget &page, const char *edit, const QString &text)
    {
        child<QLineEdit>(page, edit)->setText(text);
    }
    static QString text(const QWidget &page, const char *name)
    {
        if (auto *edit = page.findChild<QLineEdit *>(QString::fromLatin1(name)))
            return edit->text();
        return child<QLabel>(page, name)->text();
    }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
};

} // namespace mifaretest
