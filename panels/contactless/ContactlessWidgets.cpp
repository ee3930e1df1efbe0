#include "panels/contactless/ContactlessWidgets.h"

#include "ui/HexEdits.h"
#include "ui/UpperCaseValidator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace t7::contactless
{

QLineEdit *lineField(QWidget *parent, const char *name, int maxLength, const QString &accessibleName, bool upperCase)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setMaxLength(maxLength);
    field->setAccessibleName(accessibleName);
    // Room for the whole text, wherever the layout puts the field.
    if (maxLength <= 32)
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(maxLength + 2, QLatin1Char('D'))));
    if (upperCase)
        makeUpperCase(field);
    return field;
}

QLabel *caption(QWidget *parent, const QString &text, QWidget *field)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(field->objectName() + QStringLiteral("Label"));
    label->setBuddy(field);
    return label;
}

QPlainTextEdit *reportView(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *view = new QPlainTextEdit(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setReadOnly(true);
    view->setAccessibleName(accessibleName);
    return view;
}

QString leadingHexDigits(const QString &text, int digits)
{
    QString compact = text;
    compact.remove(QLatin1Char(' '));
    const QString head = compact.left(digits);
    if (head.size() < digits)
        return {};
    for (const QChar c : head)
        if (!isHexDigit(c))
            return {};
    return head;
}

} // namespace t7::contactless
