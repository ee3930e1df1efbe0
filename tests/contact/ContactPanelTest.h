// Shared set-up of the contact-card panel tests: a scripted reader with the
// library's hex conversions, readers 7, 8 and 9 in the reader table (7
// current), recorded message boxes, and ways to drive a memory list.
#pragma once

#include "panels/contact/ContactCards.h"
#include "panels/contact/MemoryLinesView.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeHex.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"
#include "ui/HexEdits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace contacttest
{

// The byte a scripted card holds at an address.
inline unsigned char patternByte(int address)
{
    return static_cast<unsigned char>(address * 7 + 3);
}

// Sixteen bytes from address on, as InsertHexSpaces shows them.
inline QString patternLine(int address)
{
    QStringList pairs;
    for (int i = 0; i < 16; ++i)
        pairs << QStringLiteral("%1").arg(patternByte(address + i), 2, 16, QLatin1Char('0')).toUpper();
    return pairs.join(QLatin1Char(' '));
}

// Finds and works the controls of the dialog shown last, by objectName.
class Controls
{
public:
    void show(QWidget *dialog)
    {
        root_ = dialog;
        dialog->show();
        QApplication::setActiveWindow(dialog);
    }
    template <typename T> T *child(const char *name) const
    {
        T *found = root_->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char *button) const { QTest::mouseClick(child<QAbstractButton>(button), Qt::LeftButton); }
    void setText(const char *edit, const QString &text) const { child<QLineEdit>(edit)->setText(text); }
    QString text(const char *edit) const { return child<QLineEdit>(edit)->text(); }
    MemoryLinesView *view() const { return child<MemoryLinesView>("memoryLines"); }
    // Chooses the line, double-clicks it and, when an editor opened, types
    // over its text (leaving the editor open).
    void editLine(int row, const QString &typed) const
    {
        QListWidget *list = view()->list();
        const QPoint centre = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        if (!view()->edit()->isVisible())
            return;
        view()->edit()->selectAll();
        QTest::keyClicks(view()->edit(), typed);
    }

private:
    QWidget *root_ = nullptr;
};

template <typename Dialog> class PanelTest : public ::testing::Test, protected Controls
{
protected:
    PanelTest()
    {
        t7::connection().reset();
        t7::connection().portOpen = 1;
        t7::connection().readerCount = 3;
        for (int i = 0; i < 3; ++i)
            t7::connection().readers[static_cast<size_t>(i)].handle = 7 + i;
        t7::connection().deviceHandle = 7;
        t7::contact::sle4442() = {};
        fake::installLibraryHex(fake);
    }
    ~PanelTest() override { t7::connection().reset(); }

    template <typename... Args> void open(Args... args)
    {
        dialog = std::make_unique<Dialog>(args...);
        show(dialog.get());
    }
    std::vector<std::string> calls(const std::set<std::string> &names) const { return fake.callsTo(names); }

    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    std::unique_ptr<Dialog> dialog;
};

} // namespace contacttest
