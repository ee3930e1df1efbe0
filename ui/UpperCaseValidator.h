// An edit field that shows what is typed in upper case.
#pragma once

#include <QValidator>

class QLineEdit;

namespace t7
{

class UpperCaseValidator : public QValidator
{
    Q_OBJECT
public:
    explicit UpperCaseValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
};

// Typed and pasted letters of edit become upper case.
void makeUpperCase(QLineEdit *edit);

} // namespace t7
