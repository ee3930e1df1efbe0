#include "app/COperTreeDlg.h"
#include "app/Icons.h"
#include "reader/ConnectionState.h"
#include "tests/support/FakeReader.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinters.h"
#include "ui/ColoredControls.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstring>

namespace
{

struct ExpectedNode {
    int depth;
    QString text;
    int image;
    int itemData;
};

// Every node in display order, texts written out with each blank.
const std::vector<ExpectedNode> kExpectedTree = {
    {0, "Contactless smart card", 1, 0},
    {1, "TYPE A", 3, 0},
    {2, "Mifare One(S50) card ", 2, 0},
    {3, "Load key", 0, 7},
    {3, "Verify key", 0, 0},
    {3, "Read and write single block", 0, 1},
    {3, "Auto-test", 0, 2},
    {3, "Value operation", 0, 4},
    {3, "Updatepassword", 0, 6},
    {3, "Mifare One(S50) shortcut read-write", 0, 15},
    {2, "S70  card ", 2, 0},
    {3, "Load key", 0, 20},
    {3, "Verify key", 0, 21},
    {3, "Read and write single block", 0, 22},
    {3, "Auto-test", 0, 23},
    {3, "Value operation", 0, 24},
    {3, "Updatepassword", 0, 25},
    {3, "S70 shortcut read-write", 0, 19},
    {2, "Ultralight card ", 2, 0},
    {3, "Ultralight  card operation", 0, 12},
    {2, "Ultralight-C card ", 2, 33},
    {2, "Mifare Pro  card ", 2, 0},
    {3, "Mifare Pro card operation", 0, 13},
    {2, "Contactless CPU card ", 2, 0},
    {3, "Contactless CPU card operation", 0, 27},
    {2, "Mifare Plus card ", 2, 32},
    {1, "TYPE B", 3, 0},
    {2, "AT88RF020 card operation", 0, 18},
    {2, "CPU card ", 0, 31},
    {1, "ISO15693", 3, 0},
    {2, "I-CODE2 card operation", 0, 17},
    {0, "Contact smart card", 1, 0},
    {1, "CPU card ", 2, 0},
    {2, "CPU card  operation", 0, 5},
    {1, "4442 card ", 2, 0},
    {2, "password operation", 0, 8},
    {2, "Common-data read and write", 0, 9},
    {2, "Protection bits read and write", 0, 10},
    {1, "4428 card ", 2, 0},
    {2, "4428 card  operation", 0, 28},
    {1, "24C64 card ", 2, 0},
    {2, "24C64 card  operation", 0, 29},
    {0, "125K", 1, 0},
    {1, "ID card ", 0, 30},
    {0, "Device operation", 1, 0},
    {1, "Device common operation", 0, 16},
    {1, "LCD  operation", 0, 14},
    {1, "Strengthened  test", 0, 3},
    {1, "Card Setting", 0, 26},
};

void walk(QTreeWidgetItem *item, int depth, std::vector<std::pair<int, QTreeWidgetItem *>> &out)
{
    out.emplace_back(depth, item);
    for (int i = 0; i < item->childCount(); ++i)
        walk(item->child(i), depth + 1, out);
}

std::vector<std::pair<int, QTreeWidgetItem *>> allNodes(QTreeWidget *tree)
{
    std::vector<std::pair<int, QTreeWidgetItem *>> out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0, out);
    return out;
}

QImage pixels(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

class TreeTest : public ::testing::Test
{
protected:
    TreeTest()
    {
        t7::connection().reset();
        FAKE_ON(fake, rz_init, [this](int, int) { return readersLeft-- > 0 ? 11 : -1; });
        FAKE_ON(fake, rz_getver, [](int, char *text) {
            std::strcpy(text, "T7-TREE");
            return 0;
        });
        modals.on("CInitPortDlg", [](QDialog &dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
            return dialog.result();
        });
        panel.show();
    }
    ~TreeTest() override { t7::connection().reset(); }

    QTreeWidgetItem *node(const QString &path)
    {
        QTreeWidgetItem *found = nullptr;
        const QStringList parts = path.split('/');
        QTreeWidget *tree = panel.tree();
        for (int i = 0; i < tree->topLevelItemCount() && !found; ++i)
            if (tree->topLevelItem(i)->text(0) == parts[0])
                found = tree->topLevelItem(i);
        for (int p = 1; p < parts.size() && found; ++p) {
            QTreeWidgetItem *parent = found;
            found = nullptr;
            for (int i = 0; i < parent->childCount() && !found; ++i)
                if (parent->child(i)->text(0) == parts[p])
                    found = parent->child(i);
        }
        return found;
    }

    // A real double-click on the node's row.
    void doubleClick(const QString &path)
    {
        QTreeWidgetItem *item = node(path);
        ASSERT_NE(item, nullptr) << path.toStdString();
        QTreeWidget *tree = panel.tree();
        tree->scrollToItem(item);
        const QPoint where = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, where);
    }

    int readersLeft = 1;
    fake::FakeReader fake;
    fake::MessageRecorder boxes;
    fake::ModalScript modals;
    COperTreeDlg panel;
};

const QString kCardSetting = "Device operation/Card Setting";

} // namespace

TEST_F(TreeTest, EveryNodeHasItsTextImageAndItemData)
{
    const auto nodes = allNodes(panel.tree());
    ASSERT_EQ(nodes.size(), kExpectedTree.size());
    const QIcon images[] = {t7::icon(t7::IconId::TreeOperation), t7::icon(t7::IconId::TreeFamily),
                            t7::icon(t7::IconId::TreeCardType), t7::icon(t7::IconId::TreeProtocol)};
    for (size_t i = 0; i < nodes.size(); ++i) {
        const ExpectedNode &expected = kExpectedTree[i];
        const auto &[depth, item] = nodes[i];
        const std::string where = "node " + std::to_string(i) + " " + expected.text.toStdString();
        EXPECT_EQ(depth, expected.depth) << where;
        EXPECT_EQ(item->text(0), expected.text) << where;
        EXPECT_EQ(item->data(0, COperTreeDlg::kItemDataRole).toInt(), expected.itemData) << where;
        EXPECT_EQ(item->data(0, COperTreeDlg::kImageRole).toInt(), expected.image) << where;
        EXPECT_EQ(pixels(item->icon(0)), pixels(images[expected.image])) << where;
    }
}

TEST_F(TreeTest, RootsStartCollapsedOnTheirColours)
{
    QTreeWidget *tree = panel.tree();
    ASSERT_EQ(tree->topLevelItemCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(tree->topLevelItem(i)->isExpanded()) << i;
    EXPECT_EQ(tree->palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(tree->palette().color(QPalette::Base), QColor(0, 139, 139));
    auto *caption = panel.findChild<CBlueStatic *>("caption");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), "Double-click the node below to execute the corresponding operation");
    EXPECT_TRUE(caption->font().bold());
    EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(240, 255, 240));
}

TEST_F(TreeTest, WithThePortClosedYesOpensThePortThenTheReaderListThenThePanel)
{
    node("Device operation")->setExpanded(true);
    doubleClick(kCardSetting);
    ASSERT_EQ(boxes.texts(), QStringList{"Port is not opened,to open?"});
    EXPECT_EQ(boxes.messages()[0].kind, t7::BoxKind::Question);
    EXPECT_EQ(boxes.messages()[0].owner, &panel);
    EXPECT_EQ(modals.shown(), (QStringList{"CInitPortDlg", "CSelectReaderDlg", "CCardTypeSetDlg"}));
    EXPECT_EQ(t7::connection().portOpen, 1);
}

TEST_F(TreeTest, AnsweringNoOpensNothing)
{
    boxes.answer(false);
    panel.runNode(node(kCardSetting));
    EXPECT_EQ(boxes.texts(), QStringList{"Port is not opened,to open?"});
    EXPECT_TRUE(modals.shown().isEmpty());
    EXPECT_TRUE(fake.calls().empty());
    EXPECT_EQ(t7::connection().portOpen, 0);
}

TEST_F(TreeTest, AContainerOpensThePortButNoPanel)
{
    panel.runNode(node("Contact smart card"));
    EXPECT_EQ(modals.shown(), (QStringList{"CInitPortDlg", "CSelectReaderDlg"}));
    EXPECT_EQ(t7::connection().portOpen, 1);

    // With the port open a container opens nothing at all.
    boxes.clear();
    panel.runNode(node("Contactless smart card/TYPE A"));
    EXPECT_EQ(modals.shown().size(), 2);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(TreeTest, AFailedOpeningOpensNoPanel)
{
    readersLeft = 0;
    modals.on("CInitPortDlg", [](QDialog &dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton *>("ok"), Qt::LeftButton);
        return int(QDialog::Rejected); // the operator gives up after the error
    });
    panel.runNode(node(kCardSetting));
    EXPECT_EQ(boxes.texts(), (QStringList{"Port is not opened,to open?", "Initial port error!"}));
    EXPECT_EQ(modals.shown(), QStringList{"CInitPortDlg"});
}

TEST_F(TreeTest, WithThePortOpenALeafOpensItsPanelAtOnce)
{
    t7::connection().portOpen = 1;
    doubleClick("Device operation"); // expand it, opens nothing
    doubleClick(kCardSetting);
    EXPECT_EQ(modals.shown(), QStringList{"CCardTypeSetDlg"});
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(TreeTest, CardTypeWarningsComeBeforeTheirPanels)
{
    t7::connection().portOpen = 1;
    const QString iso = QString::fromUtf8("\u201cISO15693\u201d");
    const QString typeB = QString::fromUtf8("\u201cTYPEB\u201d");
    struct Case {
        QString path;
        int setting;
        QString warningEnd; // empty: no warning
    };
    const std::vector<Case> cases = {
        {"Contactless smart card/ISO15693/I-CODE2 card operation", 1, iso},
        {"Contactless smart card/ISO15693/I-CODE2 card operation", 3, ""},
        {"Contactless smart card/TYPE B/AT88RF020 card operation", 1, typeB},
        {"Contactless smart card/TYPE B/AT88RF020 card operation", 2, ""},
        {"Contactless smart card/TYPE B/CPU card ", 3, typeB},
        {"Contactless smart card/TYPE B/CPU card ", 2, ""},
        {"Contactless smart card/TYPE A/Contactless CPU card /Contactless CPU card operation", 2, ""},
        {"Contactless smart card/TYPE A/Contactless CPU card /Contactless CPU card operation", 3, ""},
        {"Contactless smart card/TYPE A/Mifare Plus card ", 3, ""},
        {"Contactless smart card/TYPE A/Ultralight-C card ", 2, ""},
    };
    for (const Case &c : cases) {
        boxes.clear();
        t7::connection().cardTypeSetting = c.setting;
        QTreeWidgetItem *item = node(c.path);
        ASSERT_NE(item, nullptr) << c.path.toStdString();
        panel.runNode(item);
        if (c.warningEnd.isEmpty()) {
            EXPECT_TRUE(boxes.texts().isEmpty()) << c.path.toStdString() << " " << c.setting;
        } else {
            ASSERT_EQ(boxes.texts().size(), 1) << c.path.toStdString();
            EXPECT_TRUE(boxes.texts()[0].endsWith(c.warningEnd)) << c.path.toStdString();
        }
    }
}

TEST_F(TreeTest, EnterAndEscapeKeepThePanel)
{
    QTreeWidget *tree = panel.tree();
    tree->setFocus();
    tree->setCurrentItem(node("125K"));
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(tree, key);
        EXPECT_TRUE(panel.isVisible()) << key;
    }
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(modals.shown().isEmpty());
}
