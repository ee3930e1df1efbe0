// What the Mifare Plus, I-CODE2 and AT88RF020 panels share: named fields
// with their caption labels and report views.
#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace t7::contactless
{

// A field of at most maxLength characters, shown to assistive technology
// under accessibleName (its caption label, when it has one, says the same).
QLineEdit *lineField(QWidget *parent, const char *name, int maxLength, const QString &accessibleName,
                     bool upperCase = false);
// A caption label for field (its buddy).
QLabel *caption(QWidget *parent, const QString &text, QWidget *field);
// A read-only multi-line text for reports and logs.
QPlainTextEdit *reportView(QWidget *parent, const char *name, const QString &accessibleName);

// The first `digits` characters of text once every blank is removed, when they
// are all hexadecimal digits; "" otherwise.
QString leadingHexDigits(const QString &text, int digits);

} // namespace t7::contactless
