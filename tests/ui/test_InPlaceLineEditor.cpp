#include "tests/support/ListLines.h"
#include "ui/InPlaceLineEditor.h"

#include <QAccessible>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace
{

class InPlaceLineEditorTest : public ::testing::Test
{
protected:
    InPlaceLineEditorTest()
    {
        auto *layout = new QVBoxLayout(&window);
        list = new QListWidget(&window);
        for (int i = 0; i < 30; ++i)
            list->addItem(QStringLiteral("line %1").arg(i));
        other = new QPushButton(QStringLiteral("Other"), &window);
        layout->addWidget(list);
        layout->addWidget(other);
        window.resize(300, 200);
        edit = new QLineEdit(&window);
        editor = new t7::InPlaceLineEditor(list, edit, &window);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    void retype(const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    QWidget window;
    QListWidget *list = nullptr;
    QPushButton *other = nullptr;
    QLineEdit *edit = nullptr;
    t7::InPlaceLineEditor *editor = nullptr;
};

TEST_F(InPlaceLineEditorTest, OpensOverTheRowHoldingItsText)
{
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(edit->parentWidget(), &window);
    ASSERT_TRUE(editor->open(2));
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "line 2");
    EXPECT_EQ(edit->geometry(), fake::lineRectIn(&window, list, 2));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(editor->editedRow(), 2);
}

TEST_F(InPlaceLineEditorTest, ARowThatDoesNotExistIsNotOpened)
{
    EXPECT_FALSE(editor->open(30));
    EXPECT_FALSE(editor->open(-1));
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(InPlaceLineEditorTest, LeavingTheEditMarksItsTextAndTakeOverWritesItBack)
{
    QSignalSpy tookOver(editor, &t7::InPlaceLineEditor::tookOver);
    editor->open(1);
    retype("changed");
    EXPECT_FALSE(editor->pending());
    other->setFocus();
    ASSERT_TRUE(editor->pending());
    EXPECT_EQ(list->item(1)->text(), "line 1"); // not before it is taken over
    EXPECT_TRUE(editor->takeOver());
    EXPECT_EQ(list->item(1)->text(), "changed");
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(editor->editedRow(), -1);
    EXPECT_FALSE(editor->pending());
    ASSERT_EQ(tookOver.count(), 1);
    EXPECT_EQ(tookOver.at(0).at(0).toInt(), 1);
    EXPECT_EQ(tookOver.at(0).at(1).toString(), "changed");
    EXPECT_FALSE(editor->takeOver()); // nothing left to take over
}

TEST_F(InPlaceLineEditorTest, ATextTheAcceptorRefusesIsNeverTakenOver)
{
    editor->setAcceptor([](const QString &text) { return text.size() >= 4; });
    editor->open(3);
    retype("abc");
    other->setFocus();
    EXPECT_FALSE(editor->pending());
    EXPECT_FALSE(editor->takeOver());
    EXPECT_EQ(list->item(3)->text(), "line 3");
}

TEST_F(InPlaceLineEditorTest, AMarkFromAnEarlierEditDoesNotCarryOver)
{
    editor->open(0);
    retype("first");
    other->setFocus();
    ASSERT_TRUE(editor->pending());
    editor->open(4);
    EXPECT_FALSE(editor->pending());
    EXPECT_FALSE(editor->takeOver());
    EXPECT_EQ(list->item(4)->text(), "line 4");
    EXPECT_EQ(list->item(0)->text(), "line 0");
}

TEST_F(InPlaceLineEditorTest, HidingKeepsAPendingTextButDiscardingForgetsIt)
{
    editor->open(5);
    retype("kept");
    other->setFocus();
    editor->hide();
    EXPECT_TRUE(editor->pending());
    EXPECT_TRUE(editor->takeOver());
    EXPECT_EQ(list->item(5)->text(), "kept");

    editor->open(6);
    retype("dropped");
    other->setFocus();
    editor->discard();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(editor->editedRow(), -1);
    EXPECT_FALSE(editor->takeOver());
    EXPECT_EQ(list->item(6)->text(), "line 6");
}

TEST_F(InPlaceLineEditorTest, TakeOverNowWritesBackAnEditThatWasNeverLeft)
{
    editor->setAcceptor([](const QString &text) { return text.size() >= 4; });
    editor->open(2);
    retype("abc");
    EXPECT_FALSE(editor->takeOverNow()) << "refused by the acceptor";
    retype("typed");
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_TRUE(editor->takeOverNow());
    EXPECT_EQ(list->item(2)->text(), "typed");
    EXPECT_FALSE(editor->takeOverNow()) << "nothing open any more";
}

TEST_F(InPlaceLineEditorTest, CanWriteBackAsSoonAsTheEditIsLeft)
{
    editor->setTakeOverOnFocusOut(true);
    editor->open(7);
    retype("at once");
    other->setFocus();
    EXPECT_EQ(list->item(7)->text(), "at once");
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(InPlaceLineEditorTest, ReturnHandsTheTextOverAndEscapeDropsIt)
{
    editor->open(8);
    retype("by return");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(list->hasFocus());
    EXPECT_TRUE(editor->takeOver());
    EXPECT_EQ(list->item(8)->text(), "by return");

    editor->open(9);
    retype("escaped");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(list->hasFocus());
    EXPECT_FALSE(editor->takeOver());
    EXPECT_EQ(list->item(9)->text(), "line 9");
}

TEST_F(InPlaceLineEditorTest, UpperCaseModeShowsTypedLettersInUpperCase)
{
    editor->setUpperCase(true);
    editor->open(1);
    retype("ab12cd");
    EXPECT_EQ(edit->text(), "AB12CD");
    EXPECT_EQ(edit->cursorPosition(), 6);
}

TEST_F(InPlaceLineEditorTest, TheEditFollowsItsRowWhenTheListScrolls)
{
    editor->open(2);
    const QRect before = edit->geometry();
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->value() + 1);
    EXPECT_EQ(edit->geometry(), fake::lineRectIn(&window, list, 2));
    EXPECT_LT(edit->geometry().top(), before.top());
}

TEST_F(InPlaceLineEditorTest, TheEditFollowsItsRowWhenTheListMovesOrShrinks)
{
    editor->open(3);
    list->setGeometry(list->geometry().translated(7, 11).adjusted(0, 0, -40, 0));
    EXPECT_EQ(edit->geometry(), fake::lineRectIn(&window, list, 3));
}

TEST_F(InPlaceLineEditorTest, ARowScrolledOutOfSightLeavesNoEditOverItsNeighbours)
{
    editor->open(0);
    list->scrollToBottom();
    EXPECT_TRUE(edit->geometry().isEmpty());
}

// Assistive technology walks the accessibility tree from the window down; the
// open editor must be found there, with its text.
QAccessibleInterface *findInTree(QAccessibleInterface *node, const QObject *wanted)
{
    if (!node)
        return nullptr;
    if (node->object() == wanted)
        return node;
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface *found = findInTree(node->child(i), wanted))
            return found;
    return nullptr;
}

TEST_F(InPlaceLineEditorTest, TheOpenEditorIsInTheAccessibilityTree)
{
    edit->setAccessibleName(QStringLiteral("Line text"));
    editor->open(4);
    QAccessibleInterface *found = findInTree(QAccessible::queryAccessibleInterface(&window), edit);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->role(), QAccessible::EditableText);
    EXPECT_EQ(found->text(QAccessible::Name), "Line text");
    EXPECT_EQ(found->text(QAccessible::Value), "line 4");
    EXPECT_FALSE(found->state().invisible);
}

} // namespace
