// Edits one line of a list in place: an edit laid exactly over the line,
// hidden until opened, whose text goes back into the line when the panel
// takes it over (or as soon as the edit loses the focus, if so configured).
#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>

class QLineEdit;
class QListWidget;
class QWidget;

namespace t7
{

class InPlaceLineEditor : public QObject
{
    Q_OBJECT
public:
    // The edit becomes a hidden sibling of the list (a child of the list's
    // parent), laid over the line while open.
    InPlaceLineEditor(QListWidget *list, QLineEdit *edit, QObject *parent = nullptr);

    // Decides whether a text the edit was left with may go back into the line;
    // anything is accepted by default.
    using Acceptor = std::function<bool(const QString &text)>;
    void setAcceptor(Acceptor acceptor) { acceptor_ = std::move(acceptor); }
    // Write the text back as soon as the edit loses the focus, instead of
    // waiting for takeOver().
    void setTakeOverOnFocusOut(bool enabled) { takeOverOnFocusOut_ = enabled; }
    // Typed letters are shown in upper case.
    void setUpperCase(bool enabled) { upperCase_ = enabled; }

    // Lays the edit over the row, holding the row's text, and focuses it.
    // Returns false for a row that does not exist.
    bool open(int row);
    // If the edit was left with an accepted text, writes it into the edited
    // row and closes; returns whether a text was taken over. The pending mark
    // is cleared either way.
    bool takeOver();
    // As takeOver(), also for an edit still open that was never left: its
    // text as it stands goes back (a handler run by a shortcut, for one).
    bool takeOverNow();
    // Closes and forgets the edit without touching the list.
    void discard();
    // As discard(), after putting the line's own text back into the edit
    // (what Escape does), so leaving it raises no complaint about the text.
    void cancel();
    // Only hides the edit; a pending text can still be taken over.
    void hide();

    bool isOpen() const;
    // The row last opened, -1 once its text was taken over or discarded.
    int editedRow() const { return row_; }
    void setEditedRow(int row) { row_ = row; }
    // The edit was left with an accepted text that was not taken over yet.
    bool pending() const { return pending_; }

    QLineEdit *edit() const { return edit_; }

signals:
    // A text went back into row.
    void tookOver(int row, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Where row's visible part lies in the edit's parent; empty when hidden.
    QRect rowRectInHost(int row) const;

private:
    static QWidget *hostOf(QListWidget *list);
    void placeOverRow();
    void onEditLeft();
    void onTextEdited(const QString &text);

    QListWidget *list_;
    // Kept apart: events still arrive while the list is being destroyed, when
    // asking it for its viewport is no longer allowed.
    QWidget *viewport_;
    QLineEdit *edit_;
    Acceptor acceptor_;
    bool takeOverOnFocusOut_ = false;
    bool upperCase_ = false;
    bool pending_ = false;
    int row_ = -1;
};

} // namespace t7
