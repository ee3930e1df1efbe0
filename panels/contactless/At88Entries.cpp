#include "panels/contactless/At88Entries.h"

#include "reader/HexText.h"
#include "reader/LibraryHex.h"
#include "reader/ReaderResult.h"
#include "ui/MessageSeam.h"

#include <algorithm>

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

At88Password At88Entries::passwordBytes(const QString &text)
{
    At88Password bytes{};
    if (const std::optional<std::vector<unsigned char>> converted = libraryHexBytes(a_hex, text, 8))
        std::copy(converted->begin(), converted->end(), bytes.begin());
    return bytes;
}

At88Entries::Verification At88Entries::verify(int handle, const QString &text, At88Password &password)
{
    unsigned char answer[256] = {};
    if (!succeeded(rz_request_b(handle, 0, 0, 0, answer)))
        return Verification::FindFailed;
    if (!succeeded(rz_attrib(handle, answer + 1, 0)))
        return Verification::FindError;
    password = passwordBytes(text);
    return succeeded(rz_check_at(handle, 0, password.data())) ? Verification::Accepted : Verification::Refused;
}

} // namespace t7::contactless
