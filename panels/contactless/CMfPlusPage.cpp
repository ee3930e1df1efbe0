#include "panels/contactless/CMfPlusPage.h"

#include "panels/contactless/ContactlessWidgets.h"
#include "ui/DialogLook.h"

#include <QLineEdit>

namespace
{

const QString kTooShort = QStringLiteral("Length of chars inserted not enough!");

} // namespace

CMfPlusPage::CMfPlusPage(CMfPlusCard &card, Log log, QWidget *parent)
    : QWidget(parent), card_(card), log_(std::move(log))
{
    t7::useDialogBackground(this);
}

void CMfPlusPage::logOutcome(int result)
{
    log(QStringLiteral(" operation") + (result == 0 ? QStringLiteral(" success!") : QStringLiteral(" failed!")));
}

std::optional<QByteArray> CMfPlusPage::keyFrom(const QLineEdit *field, const QString &formatError)
{
    const QString text = field->text();
    if (text.size() < kKeyDigits) {
        log(kTooShort);
        return std::nullopt;
    }
    std::optional<QByteArray> key = card().hexKey(text);
    if (!key)
        log(formatError);
    return key;
}

std::optional<unsigned short> CMfPlusPage::numberFrom(const QLineEdit *field)
{
    const QString text = field->text();
    if (text.size() < kNumberDigits) {
        log(kTooShort);
        return std::nullopt;
    }
    const std::optional<unsigned short> number = card().keyNumber(text);
    if (!number)
        log(QStringLiteral("Block Number Format Error!"));
    return number;
}

QLineEdit *CMfPlusPage::keyField(const char *name, const QString &accessibleName)
{
    return t7::contactless::lineField(this, name, kKeyDigits, accessibleName);
}

QLineEdit *CMfPlusPage::numberField(const char *name, const QString &accessibleName)
{
    QLineEdit *field = t7::contactless::lineField(this, name, kNumberDigits, accessibleName);
    field->setMaximumWidth(field->minimumWidth());
    return field;
}
