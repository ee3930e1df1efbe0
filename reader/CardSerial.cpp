#include "reader/CardSerial.h"

#include "reader/QvdLibrary.h"

namespace t7
{
namespace
{

QString hex8(unsigned int value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString GetCardSerial(int deviceHandle, unsigned int &serial)
{
    // Resolved on every call, as the library may have been replaced.
    const qvd::LibraryRef lib = qvd::Library::load();
    if (!lib)
        return QString();
    const QVD_ENTRY(lib, rz_card);
    const QVD_ENTRY(lib, rz_anticoll2);
    const QVD_ENTRY(lib, rz_select2);

    unsigned int first = 0;
    if (rz_card(deviceHandle, 1, &first) != 0)
        return QString();
    QString text = hex8(first);
    serial = first;

    unsigned int second = 0;
    if (rz_anticoll2(deviceHandle, 0, &second) == 0) {
        rz_select2(deviceHandle, second);
        // Both parts, so cards that share their first part still differ.
        serial = first ^ second;
        return text + hex8(second);
    }
    unsigned int again = 0;
    if (rz_card(deviceHandle, 1, &again) == 0) {
        serial = again;
        return hex8(again);
    }
    return text;
}

} // namespace t7
