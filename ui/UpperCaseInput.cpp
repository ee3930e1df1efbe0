#include "ui/UpperCaseInput.h"

#include <QLineEdit>
#include <QValidator>

namespace t7
{
namespace
{

// Accepts everything, turned into upper case on the way in.
class UpperCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

void makeUpperCase(QLineEdit *edit)
{
    edit->setValidator(new UpperCaseValidator(edit));
}

} // namespace t7
