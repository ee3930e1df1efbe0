// Binds a dialog's members to its fields: read() copies every field into its
// member (refusing bad numbers with the standard messages), write() copies the
// members back. Fields are read in the order they were bound; the first bad
// field stops the read, as the members after it keep their older values.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace t7
{

class FieldBinder
{
public:
    // "Please enter an integer." for text that is not one.
    void bindInt(QLineEdit *edit, int *member);
    // Also "Please enter an integer between MIN and MAX." outside the range.
    void bindInt(QLineEdit *edit, int *member, int min, int max);
    void bindText(QLineEdit *edit, QString *member);
    void bindText(QPlainTextEdit *edit, QString *member);
    // Index of the checked button of a radio group (-1 when none is checked).
    void bindRadio(std::vector<QAbstractButton *> group, int *member);
    void bindCheck(QAbstractButton *box, bool *member);
    void bindComboIndex(QComboBox *combo, int *member);
    void bindComboText(QComboBox *combo, QString *member);

    // Controls to members; false when a field was refused (already reported).
    bool read();
    // Members to controls.
    void write();

private:
    struct Field {
        std::function<bool()> read;
        std::function<void()> write;
    };
    std::vector<Field> fields_;
};

// The integer parser of the binding: leading and trailing blanks allowed, an
// optional sign, decimal digits only.
bool parseInteger(const QString &text, int *value);

} // namespace t7
