#include "panels/mifare_one/MifareOne.h"

#include "dump/MifareLayout.h"
#include "reader/CardSerial.h"
#include "reader/QvdLibrary.h"
#include "ui/MessageSeam.h"

#include <cstdlib>

namespace t7::mifare
{

SharedState &state()
{
    static SharedState shared;
    return shared;
}

int sectorOfBlock(int block)
{
    return dump::sectorOfBlock(block);
}

bool isTrailerBlock(int block)
{
    return dump::isTrailer(block);
}

int firstBlockOfSector(int sector)
{
    return dump::firstBlockOfSector(sector);
}

int trailerBlockOfSector(int sector)
{
    return dump::trailerOfSector(sector);
}

int blocksInSector(int sector)
{
    return dump::blocksInSector(sector);
}

int MakeKeyMode(bool keyA, int keySetIndex)
{
    const int set = keySetIndex == 0 ? 0 : keySetIndex == 1 ? 1 : 2;
    const int mode = (keyA ? 0 : 4) + set;
    state().currentKeyMode = mode;
    return mode;
}

QString sectorAuthenticationError(int sector)
{
    return QString::number(sector) + QStringLiteral("Sector authentication error!");
}

bool FindCardAndAuthenticate(int deviceHandle, int sector, int keyMode)
{
    const qvd::LibraryRef lib = qvd::Library::load();
    const QVD_ENTRY(lib, rz_request);
    const QVD_ENTRY(lib, rz_authentication);

    int kind = state().cardKind;
    const int requested = rz_request(deviceHandle, 1, &kind);
    state().cardKind = kind;
    if (requested != 0) {
        appBox(QStringLiteral("Find card error!"));
        return false;
    }
    unsigned int serial = 0;
    if (GetCardSerial(deviceHandle, serial).isEmpty()) {
        appBox(QStringLiteral("Find card error!"));
        return false;
    }
    if (rz_authentication(deviceHandle, static_cast<unsigned char>(keyMode), static_cast<unsigned char>(sector)) == 0)
        return true;
    appBox(sectorAuthenticationError(sector));
    return false;
}

bool HexTextToBytes(const QString &text, unsigned char *out, int n)
{
    if (n != 4 && n != 6 && n != 16)
        return true;
    for (int i = 0; i < n; ++i) {
        const QByteArray pair = text.mid(2 * i, 2).toLatin1();
        const long value = std::strtol(pair.constData(), nullptr, 16);
        if (value == 0 && pair != "00")
            return false;
        out[i] = static_cast<unsigned char>(value & 0xFF);
    }
    return true;
}

QString BytesToHexText(const unsigned char *bytes, int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0'));
    return text;
}

} // namespace t7::mifare
