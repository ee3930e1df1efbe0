#include "reader/HexText.h"

namespace t7
{

QString InsertHexSpaces(const QString &text)
{
    const int n = int(text.size());
    if (n < 3)
        return QString();
    QString result = text;
    const int blanks = (n + 1) / 2 - 1;
    for (int i = 0, at = 2; i < blanks; ++i, at += 3)
        result.insert(at, QLatin1Char(' '));
    return result;
}

namespace
{

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

std::optional<QByteArray> parseHexBytes(const QString &text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const int high = digitValue(text[i]);
        const int low = digitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(high << 4 | low));
    }
    return bytes;
}

bool isHexOfLength(const QString &text, int byteCount)
{
    return byteCount >= 0 && text.size() == 2 * qsizetype(byteCount) && parseHexBytes(text).has_value();
}

QString hexOfBytes(const unsigned char *bytes, int count)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(2 * qMax(count, 0));
    for (int i = 0; i < count; ++i) {
        text += QLatin1Char(digits[bytes[i] >> 4]);
        text += QLatin1Char(digits[bytes[i] & 0x0F]);
    }
    return text;
}

QString hexOfBytes(const QByteArray &bytes)
{
    return hexOfBytes(reinterpret_cast<const unsigned char *>(bytes.constData()), int(bytes.size()));
}

} // namespace t7
