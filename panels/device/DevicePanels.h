// What the device panels share: their captions, outcome texts and look.
#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace t7::device
{

inline QString notEnoughCharacters()
{
    return QStringLiteral("Length of chars inserted not enough!");
}

// label + " success!" for result 0, label + " failed!" otherwise.
QString outcome(const QString &label, int result);

// A caption label whose buddy is field, so the field is known by its caption.
QLabel *captionLabel(QWidget *parent, const QString &text, QWidget *field, const char *name);

// The bottom row: an exit button (objectName "exit") at the right that
// closes the dialog.
QHBoxLayout *exitRow(QDialog *dialog, const QString &caption);

// A log kept with "\r\n" line ends, shown in an edit that breaks at "\n".
void showLog(QPlainTextEdit *edit, const QString &log);

} // namespace t7::device
