// Sixteen lines of sixteen memory bytes under a column header, beside their
// row labels. A double-click (or F2, Return) opens an editor over a line from
// the first editable one on; choosing another line puts its text back.
#pragma once

#include "reader/QvdLibrary.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class CHexEdit;
class QLabel;
class QListWidget;

namespace t7
{
class InPlaceLineEditor;
}

class MemoryLinesView : public QWidget
{
    Q_OBJECT
public:
    MemoryLinesView(const QStringList &rowLabels, int firstEditableRow, QWidget *parent = nullptr);

    QListWidget *list() const { return list_; }
    t7::InPlaceLineEditor &editor() const { return *editor_; }
    CHexEdit *edit() const { return edit_; }

    void setLines(const QStringList &lines);
    QStringList lines() const;
    QString line(int row) const;
    void setLine(int row, const QString &text);
    // The selected line, -1 when none is.
    int selectedRow() const;
    void selectRow(int row);

    // The row becomes the edited one; from the first editable row on, the
    // editor opens over it.
    void openEditor(int row);
    // With a line selected, the text of the edited line's editor goes back
    // into it, also when the editor was never left.
    void commitEdit();

    // Moves a line of 16 bytes between card and list: true when it moved.
    using Transfer = std::function<bool(int address, unsigned char *bytes)>;
    // Fills the lines from firstAddress on, as spaced upper-case pairs; a line
    // the card does not give keeps its text. Returns the rows that failed.
    std::vector<int> readLines(int firstAddress, const Transfer &read, const qvd::Entry<PFN_hex_a> &hex_a);
    // All 16 lines are there and those from fromRow on hold exactly 16 bytes
    // each; otherwise the first line that does not is selected.
    bool holdsWholeLines(int fromRow = 0);
    // Writes every line (all must hold 16 bytes); returns the rows that failed.
    std::vector<int> writeLines(int firstAddress, const Transfer &write, const qvd::Entry<PFN_a_hex> &a_hex);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *list_ = nullptr;
    QLabel *header_ = nullptr;
    QLabel *rowLabels_ = nullptr;
    CHexEdit *edit_ = nullptr;
    t7::InPlaceLineEditor *editor_ = nullptr;
    const int firstEditableRow_;
};
