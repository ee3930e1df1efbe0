#include "ui/FieldBinding.h"

#include "ui/MessageSeam.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace t7
{

bool parseInteger(const QString &text, int *value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (int i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && (c == '+' || c == '-')))
            return false;
    }
    bool ok = false;
    const int parsed = trimmed.toInt(&ok);
    if (ok)
        *value = parsed;
    return ok;
}

namespace
{

bool refuse(QLineEdit *edit, const QString &message)
{
    appBox(message);
    edit->setFocus();
    edit->selectAll();
    return false;
}

} // namespace

void FieldBinder::bindInt(QLineEdit *edit, int *member)
{
    fields_.push_back({[edit, member] {
                           int value = 0;
                           if (!parseInteger(edit->text(), &value))
                               return refuse(edit, QStringLiteral("Please enter an integer."));
                           *member = value;
                           return true;
                       },
                       [edit, member] { edit->setText(QString::number(*member)); }});
}

void FieldBinder::bindInt(QLineEdit *edit, int *member, int min, int max)
{
    fields_.push_back(
        {[edit, member, min, max] {
             int value = 0;
             if (!parseInteger(edit->text(), &value))
                 return refuse(edit, QStringLiteral("Please enter an integer."));
             if (value < min || value > max)
                 return refuse(edit, QStringLiteral("Please enter an integer between %1 and %2.").arg(min).arg(max));
             *member = value;
             return true;
         },
         [edit, member] { edit->setText(QString::number(*member)); }});
}

void FieldBinder::bindText(QLineEdit *edit, QString *member)
{
    fields_.push_back({[edit, member] {
                           *member = edit->text();
                           return true;
                       },
                       [edit, member] {
                           if (edit->text() != *member)
                               edit->setText(*member);
                       }});
}

void FieldBinder::bindText(QPlainTextEdit *edit, QString *member)
{
    fields_.push_back({[edit, member] {
                           *member = edit->toPlainText();
                           return true;
                       },
                       [edit, member] {
                           if (edit->toPlainText() != *member)
                               edit->setPlainText(*member);
                       }});
}

void FieldBinder::bindRadio(std::vector<QAbstractButton *> group, int *member)
{
    fields_.push_back({[group, member] {
                           *member = -1;
                           for (size_t i = 0; i < group.size(); ++i)
                               if (group[i]->isChecked())
                                   *member = int(i);
                           return true;
                       },
                       [group, member] {
                           for (size_t i = 0; i < group.size(); ++i)
                               group[i]->setChecked(int(i) == *member);
                       }});
}

void FieldBinder::bindCheck(QAbstractButton *box, bool *member)
{
    fields_.push_back({[box, member] {
                           *member = box->isChecked();
                           return true;
                       },
                       [box, member] { box->setChecked(*member); }});
}

void FieldBinder::bindComboIndex(QComboBox *combo, int *member)
{
    fields_.push_back({[combo, member] {
                           *member = combo->currentIndex();
                           return true;
                       },
                       [combo, member] { combo->setCurrentIndex(*member); }});
}

void FieldBinder::bindComboText(QComboBox *combo, QString *member)
{
    fields_.push_back({[combo, member] {
                           *member = combo->currentText();
                           return true;
                       },
                       [combo, member] {
                           const int index = combo->findText(*member);
                           if (index >= 0)
                               combo->setCurrentIndex(index);
                       }});
}

bool FieldBinder::read()
{
    for (const Field &field : fields_)
        if (!field.read())
            return false;
    return true;
}

void FieldBinder::write()
{
    for (const Field &field : fields_)
        field.write();
}

} // namespace t7
