// The operation tree on the left of the main window: card families, card
// types and operations; a double-click opens the operation's panel.
#pragma once

#include <QDialog>

class CBlueStatic;
class QTreeWidget;
class QTreeWidgetItem;

class COperTreeDlg : public QDialog
{
    Q_OBJECT
public:
    // Item data and image index of a node, as stored in the tree.
    static constexpr int kItemDataRole = Qt::UserRole;
    static constexpr int kImageRole = Qt::UserRole + 1;

    explicit COperTreeDlg(QWidget *parent = nullptr);

    QTreeWidget *tree() const { return tree_; }

    // The double-click on a node.
    void runNode(QTreeWidgetItem *node);

protected:
    // Enter and Escape are no dialog keys here: the panel never closes.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildLayout();
    void buildTree();

    CBlueStatic *caption_ = nullptr;
    QTreeWidget *tree_ = nullptr;
};
