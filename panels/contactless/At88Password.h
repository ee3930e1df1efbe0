// The AT88RF020 password as both AT88RF020 panels take it from a field:
// exactly 16 hexadecimal digits, refused with a message box before any card
// call otherwise (a blank would be sent as garbage, and a changed password
// the keys file does not hold would be lost).
#pragma once

#include <QString>

#include <optional>

namespace t7::contactless
{

// "Length of chars inserted not enough!" for fewer than 16 characters, the
// format message for anything but hex digits; otherwise the password's text.
std::optional<QString> at88PasswordText(const QString &fieldText);

} // namespace t7::contactless
