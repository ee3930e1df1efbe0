#include "panels/contactless/At88Password.h"

#include "reader/HexText.h"
#include "ui/MessageSeam.h"

namespace t7::contactless
{

std::optional<QString> at88PasswordText(const QString &fieldText)
{
    if (fieldText.size() < 16) {
        appBox(QStringLiteral("Length of chars inserted not enough!"));
        return std::nullopt;
    }
    const QString text = fieldText.left(16);
    if (!isHexOfLength(text, 8)) {
        appBox(QStringLiteral("The password must be 16 hexadecimal digits!"));
        return std::nullopt;
    }
    return text;
}

} // namespace t7::contactless
