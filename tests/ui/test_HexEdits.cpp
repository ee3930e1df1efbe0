#include "tests/support/MessageRecorder.h"
#include "tests/support/QtPrinters.h"
#include "ui/HexEdits.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace
{

struct FilterCase {
    const char *name;
    const char *edit;
    const char *typed;
    const char *kept;
};

std::unique_ptr<CFilteredEdit> makeEdit(const std::string &kind)
{
    if (kind == "dec")
        return std::make_unique<CDecEdit>();
    if (kind == "hex")
        return std::make_unique<CHexEdit>();
    return std::make_unique<CHexKeyEdit>();
}

class FilterTest : public ::testing::TestWithParam<FilterCase>
{
};

} // namespace

TEST_P(FilterTest, TypedCharactersOutsideTheSetAreDropped)
{
    const FilterCase c = GetParam();
    auto edit = makeEdit(c.edit);
    edit->show();
    QTest::keyClicks(edit.get(), QString::fromLatin1(c.typed));
    EXPECT_EQ(edit->text(), QString::fromLatin1(c.kept));
}

INSTANTIATE_TEST_SUITE_P(Filters, FilterTest,
                         ::testing::Values(FilterCase{"DecimalDigits", "dec", "0123456789", "0123456789"},
                                           FilterCase{"DecimalDropsOthers", "dec", "1a2 -3x+4.", "1234"},
                                           FilterCase{"HexDigits", "hex", "09afAF", "09afAF"},
                                           FilterCase{"HexDropsOthers", "hex", "g-x", ""},
                                           FilterCase{"HexKeepsBlanks", "hex", "A1 b2", "A1 b2"},
                                           FilterCase{"HexDropsPrefix", "hex", "0xZZ12", "012"},
                                           FilterCase{"KeyDropsBlanks", "key", "A1 b2", "A1b2"},
                                           FilterCase{"KeyDropsOthers", "key", "fFgG9", "fF9"}),
                         [](const ::testing::TestParamInfo<FilterCase> &info) { return info.param.name; });

TEST(FilteredEdit, BackspaceStillDeletes)
{
    CHexEdit edit;
    edit.show();
    QTest::keyClicks(&edit, "AB");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "A");
    CDecEdit dec;
    dec.show();
    QTest::keyClicks(&dec, "12");
    QTest::keyClick(&dec, Qt::Key_Backspace);
    EXPECT_EQ(dec.text(), "1");
}

TEST(FilteredEdit, ModifiersDoNotSmuggleInRefusedCharacters)
{
    CHexEdit edit;
    edit.show();
    QTest::keyClick(&edit, Qt::Key_G, Qt::AltModifier);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(edit.text(), "b");
}

TEST(FilteredEdit, PasteKeepsOnlyTheAcceptedCharacters)
{
    QApplication::clipboard()->setText("12-ab:G 7");
    CDecEdit dec;
    CHexEdit hex;
    CHexKeyEdit key;
    for (QLineEdit *edit : std::initializer_list<QLineEdit *>{&dec, &hex, &key}) {
        edit->show();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(dec.text(), "127");
    EXPECT_EQ(hex.text(), "12ab 7");
    EXPECT_EQ(key.text(), "12ab7");
}

TEST(FilteredEdit, InputMethodTextIsFilteredToo)
{
    CDecEdit edit;
    edit.show();
    QInputMethodEvent commit;
    commit.setCommitString("4x2");
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.text(), "42");
}

namespace
{

void leave(QWidget &edit, Qt::FocusReason reason = Qt::TabFocusReason)
{
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(&edit, &out);
}

} // namespace

TEST(HexKeyEdit, ShortKeysAreRefusedWhenTheFieldIsLeftAndTheFlagOnlyRises)
{
    fake::MessageRecorder boxes;
    CHexKeyEdit key;
    EXPECT_EQ(key.valid(), 0);

    key.setText(QString(31, 'A'));
    leave(key);
    EXPECT_EQ(boxes.texts(), QStringList{"Length of chars inserted not enough!"});
    EXPECT_EQ(key.valid(), 0);

    boxes.clear();
    key.setText(QString(32, 'A'));
    leave(key);
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(key.valid(), 1);

    key.setText("AB");
    leave(key);
    EXPECT_EQ(boxes.texts(), QStringList{"Length of chars inserted not enough!"});
    EXPECT_EQ(key.valid(), 1);
}

TEST(HexKeyEdit, OpeningAMenuOrSwitchingWindowsIsNotLeavingTheField)
{
    fake::MessageRecorder boxes;
    CHexKeyEdit key;
    key.setText("AB");
    leave(key, Qt::PopupFocusReason);
    leave(key, Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(boxes.texts().isEmpty());
    leave(key, Qt::MouseFocusReason);
    EXPECT_EQ(boxes.texts().size(), 1);
}

TEST(HexKeyEdit, RedTextOnWhite)
{
    CHexKeyEdit key;
    CHexOverwriteEdit overwrite;
    for (QLineEdit *edit : std::initializer_list<QLineEdit *>{&key, &overwrite}) {
        EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(255, 0, 0));
        EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(255, 255, 255));
    }
}

namespace
{

class OverwriteTest : public ::testing::Test
{
protected:
    OverwriteTest()
    {
        edit.setText("12 34");
        edit.show();
        edit.setFocus();
    }
    void caretAt(int position)
    {
        edit.deselect();
        edit.setCursorPosition(position);
    }
    CHexOverwriteEdit edit;
};

} // namespace

TEST_F(OverwriteTest, TypingReplacesTheDigitAtTheCaret)
{
    caretAt(3);
    QTest::keyClicks(&edit, "F");
    EXPECT_EQ(edit.text(), "12 F4");
    EXPECT_EQ(edit.cursorPosition(), 4);
    QTest::keyClicks(&edit, "e");
    EXPECT_EQ(edit.text(), "12 Fe");
    EXPECT_EQ(edit.cursorPosition(), 5);
}

TEST_F(OverwriteTest, AtABlankTheCaretOnlyStepsOverIt)
{
    caretAt(2);
    QTest::keyClicks(&edit, "A");
    EXPECT_EQ(edit.text(), "12 34");
    EXPECT_EQ(edit.cursorPosition(), 3);
    QTest::keyClicks(&edit, "A");
    EXPECT_EQ(edit.text(), "12 A4");
}

TEST_F(OverwriteTest, RefusedCharactersAndTheEndOfTheTextChangeNothing)
{
    caretAt(0);
    QTest::keyClicks(&edit, "g-");
    EXPECT_EQ(edit.text(), "12 34");
    EXPECT_EQ(edit.cursorPosition(), 0);
    caretAt(5);
    QTest::keyClicks(&edit, "7");
    EXPECT_EQ(edit.text(), "12 34");
    EXPECT_EQ(edit.cursorPosition(), 5);
}

TEST_F(OverwriteTest, WithASelectionTypingStartsAtTheFirstCharacter)
{
    edit.setSelection(3, 2);
    QTest::keyClicks(&edit, "9");
    EXPECT_EQ(edit.text(), "92 34");
    EXPECT_EQ(edit.cursorPosition(), 1);
}

TEST_F(OverwriteTest, BackspaceNeverDeletes)
{
    caretAt(5);
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "12 34");
    EXPECT_EQ(edit.cursorPosition(), 0);
    caretAt(4);
    QTest::keyClick(&edit, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "12 34");
    EXPECT_EQ(edit.cursorPosition(), 3);
}

TEST_F(OverwriteTest, NothingGrowsOrShrinksTheLayout)
{
    QApplication::clipboard()->setText("ABCDEF");
    caretAt(1);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Delete, Qt::ControlModifier);
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(edit.text(), "12 34");
}

TEST_F(OverwriteTest, InputMethodTextIsTypedOneCharacterAtATime)
{
    caretAt(0);
    QInputMethodEvent commit;
    commit.setCommitString("abc");
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.text(), "ab 34");
}
