#include "app/COperTreeDlg.h"

#include "app/CInitPortDlg.h"
#include "app/Icons.h"
#include "app/PanelDispatch.h"
#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/DialogLook.h"
#include "ui/Fonts.h"
#include "ui/MessageSeam.h"
#include "ui/ModalRunner.h"

#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{

enum Image { kOperation = 0, kFamily = 1, kCardType = 2, kProtocol = 3 };

struct Node {
    int level;
    const char *text; // joined from its pieces, every blank kept
    int image;
    int itemData; // 0 for containers
};

// clang-format off
const Node kNodes[] = {
    {0, "Contactless smart card", kFamily, 0},
    {1, "TYPE A", kProtocol, 0},
    {2, "Mifare One(S50)" " card ", kCardType, 0},
    {3, "Load key", kOperation, 7},
    {3, "Verify key", kOperation, 0},
    {3, "Read and write single block", kOperation, 1},
    {3, "Auto-test", kOperation, 2},
    {3, "Value operation", kOperation, 4},
    {3, "Update" "password", kOperation, 6},
    {3, "Mifare One(S50)" " shortcut read-write", kOperation, 15},
    {2, "S70 " " card ", kCardType, 0},
    {3, "Load key", kOperation, 20},
    {3, "Verify key", kOperation, 21},
    {3, "Read and write single block", kOperation, 22},
    {3, "Auto-test", kOperation, 23},
    {3, "Value operation", kOperation, 24},
    {3, "Update" "password", kOperation, 25},
    {3, "S70" " shortcut read-write", kOperation, 19},
    {2, "Ultralight" " card ", kCardType, 0},
    {3, "Ultralight " " card operation", kOperation, 12},
    {2, "Ultralight-C" " card ", kCardType, 33},
    {2, "Mifare Pro " " card ", kCardType, 0},
    {3, "Mifare Pro" " card operation", kOperation, 13},
    {2, "Contactless CPU" " card ", kCardType, 0},
    {3, "Contactless CPU" " card operation", kOperation, 27},
    {2, "Mifare Plus" " card ", kCardType, 32},
    {1, "TYPE B", kProtocol, 0},
    {2, "AT88RF020" " card operation", kOperation, 18},
    {2, "CPU" " card ", kOperation, 31},
    {1, "ISO15693", kProtocol, 0},
    {2, "I-CODE2" " card operation", kOperation, 17},
    {0, "Contact smart card", kFamily, 0},
    {1, "CPU" " card ", kCardType, 0},
    {2, "CPU" " card " " operation", kOperation, 5},
    {1, "4442" " card ", kCardType, 0},
    {2, "password" " operation", kOperation, 8},
    {2, "Common-data read and write", kOperation, 9},
    {2, "Protection bits read and write", kOperation, 10},
    {1, "4428" " card ", kCardType, 0},
    {2, "4428" " card " " operation", kOperation, 28},
    {1, "24C64" " card ", kCardType, 0},
    {2, "24C64" " card " " operation", kOperation, 29},
    {0, "125K", kFamily, 0},
    {1, "ID" " card ", kOperation, 30},
    {0, "Device operation", kFamily, 0},
    {1, "Device common operation", kOperation, 16},
    {1, "LCD " " operation", kOperation, 14},
    {1, "Strengthened  test", kOperation, 3},
    {1, "Card Setting", kOperation, 26},
};
// clang-format on

QIcon imageIcon(int image)
{
    switch (image) {
    case kFamily:
        return t7::icon(t7::IconId::TreeFamily);
    case kCardType:
        return t7::icon(t7::IconId::TreeCardType);
    case kProtocol:
        return t7::icon(t7::IconId::TreeProtocol);
    default:
        return t7::icon(t7::IconId::TreeOperation);
    }
}

} // namespace

COperTreeDlg::COperTreeDlg(QWidget *parent) : QDialog(parent)
{
    // A panel inside the view, not a window of its own.
    setWindowFlags(Qt::Widget);
    buildLayout();
    buildTree();
}

void COperTreeDlg::buildLayout()
{
    setObjectName(QStringLiteral("COperTreeDlg"));
    t7::useDialogBackground(this);

    caption_ = new CBlueStatic(this);
    caption_->setObjectName(QStringLiteral("caption"));
    caption_->setText(QStringLiteral("Double-click the node below to execute the corresponding operation"));
    caption_->setFont(t7::boldFont());
    caption_->setWordWrap(true);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("operationTree"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setIconSize(QSize(16, 16));
    tree_->setAccessibleName(caption_->text());
    caption_->setBuddy(tree_);
    QPalette colours = tree_->palette();
    colours.setColor(QPalette::Text, QColor(255, 255, 255));
    colours.setColor(QPalette::Base, QColor(0, 139, 139));
    tree_->setPalette(colours);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(caption_);
    layout->addWidget(tree_, 1);

    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *node) { runNode(node); });
}

void COperTreeDlg::buildTree()
{
    // The last node inserted on each level is the parent of the next level.
    QTreeWidgetItem *lastOnLevel[4] = {};
    for (const Node &node : kNodes) {
        QTreeWidgetItem *item =
            node.level == 0 ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(lastOnLevel[node.level - 1]);
        item->setText(0, QString::fromLatin1(node.text));
        item->setIcon(0, imageIcon(node.image));
        item->setData(0, kImageRole, node.image);
        item->setData(0, kItemDataRole, node.itemData);
        lastOnLevel[node.level] = item;
    }
    tree_->collapseAll();
}

void COperTreeDlg::runNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    const bool hasChild = node->childCount() > 0;
    const int itemData = node->data(0, kItemDataRole).toInt();
    if (!t7::connection().portOpen) {
        if (!t7::question(this, QStringLiteral("Port is not opened,to open?")))
            return;
        CInitPortDlg port(itemData, hasChild, window());
        t7::runModal(port);
        return;
    }
    // A container only expands or collapses, which the tree does itself.
    if (!hasChild)
        t7::openPanel(itemData, window());
}

void COperTreeDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
