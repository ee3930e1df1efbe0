// The block list of the I-CODE2 panel and the page list of the AT88RF020
// page panel: one line per block or page with its number beside it, a line
// edited in place by double-click (or F2 / Enter). An edit that is not empty
// and does not begin with a whole block of hexadecimal digits (blanks aside)
// is refused: the line keeps its old text, as a short line would write
// undefined bytes.
#pragma once

#include "ui/InPlaceLineEditor.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;

class HexLineList : public QWidget
{
    Q_OBJECT
public:
    // digits: hexadecimal digits of one block or page; lines: how many the list shows.
    HexLineList(int digits, int lines, const QString &lineName, QWidget *parent = nullptr);

    QListWidget *list() const { return list_; }
    QLabel *labels() const { return labels_; }
    QLineEdit *editor() const { return editor_; }
    t7::InPlaceLineEditor &lineEditor() { return *lineEditor_; }

    // Lines that may be opened; all by default.
    void setEditable(std::function<bool(int line)> editable) { editable_ = std::move(editable); }
    // The numbers first .. first + count - 1, two digits each, one per line.
    void setLabels(int first, int count);

    void clear();
    void addLine(const QString &text);
    int count() const;
    QString line(int row) const;
    // The selected line, -1 when none.
    int selectedRow() const;
    // An open edit goes back into its line, or is dropped when refused.
    void commitEdit();
    void openSelected();

signals:
    void editRefused(int line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool accepts(const QString &text);

    int digits_;
    std::function<bool(int)> editable_;
    QLabel *labels_ = nullptr;
    QListWidget *list_ = nullptr;
    QLineEdit *editor_ = nullptr;
    t7::InPlaceLineEditor *lineEditor_ = nullptr;
};
