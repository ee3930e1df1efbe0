#include "ui/UpperCaseValidator.h"

#include <QLineEdit>

namespace t7
{

QValidator::State UpperCaseValidator::validate(QString &input, int & /*pos*/) const
{
    input = input.toUpper();
    return Acceptable;
}

void makeUpperCase(QLineEdit *edit)
{
    edit->setValidator(new UpperCaseValidator(edit));
}

} // namespace t7
