// The main window's client area: the operation tree on the left 400 pixels,
// dark cyan elsewhere.
#pragma once

#include <QWidget>

class COperTreeDlg;

class CQvd50View : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTreeWidth = 400;

    explicit CQvd50View(QWidget *parent = nullptr);

    COperTreeDlg *operTree() const { return tree_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    COperTreeDlg *tree_ = nullptr;
};
