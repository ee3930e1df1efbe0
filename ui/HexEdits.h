// Edit fields that accept only decimal or hexadecimal characters.
#pragma once

#include <QLineEdit>

#include <functional>

// Drops typed characters the field does not accept. Pasted, dropped or
// middle-click text goes in with the refused characters left out, so a
// refused character never reaches the field.
class CFilteredEdit : public QLineEdit
{
    Q_OBJECT
public:
    using Accepts = std::function<bool(QChar)>;
    CFilteredEdit(Accepts accepts, QWidget *parent);

    bool accepts(QChar c) const { return accepts_(c); }
    // text with the refused characters left out.
    QString filtered(const QString &text) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void insertFiltered(const QString &text);

    Accepts accepts_;
};

// '0'-'9'.
class CDecEdit : public CFilteredEdit
{
    Q_OBJECT
public:
    explicit CDecEdit(QWidget *parent = nullptr);
};

// '0'-'9', 'a'-'f', 'A'-'F' and blank.
class CHexEdit : public CFilteredEdit
{
    Q_OBJECT
public:
    explicit CHexEdit(QWidget *parent = nullptr);
};

// '0'-'9', 'a'-'f', 'A'-'F'; insists on 32 characters when it loses the focus.
class CHexKeyEdit : public CFilteredEdit
{
    Q_OBJECT
public:
    static constexpr int kMinimumLength = 32;

    explicit CHexKeyEdit(QWidget *parent = nullptr);

    // 1 once the field was left holding 32 or more characters; a later short
    // entry does not clear it.
    int valid() const { return valid_; }
    void setValid(int valid) { valid_ = valid; }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    int valid_ = 0;
};

// Fixed layout of two-digit groups separated by blanks: typing overwrites one
// digit at a time and the text never grows or shrinks. Paste, cut, delete and
// drops are refused, as they would break the layout.
class CHexOverwriteEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CHexOverwriteEdit(QWidget *parent = nullptr);

    // The typing rule for one character ('\b' for backspace).
    void typeCharacter(QChar c);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

namespace t7
{
bool isHexDigit(QChar c);
}
