#include "panels/contactless/CMfPlusCard.h"

#include "reader/CardSerial.h"
#include "reader/LibraryHex.h"
#include "reader/ReaderResult.h"

namespace
{

constexpr int kMaxHexKeyText = 4096;
constexpr unsigned short kRfResetMs = 10;
constexpr unsigned char kSectorKeyA = 1;

} // namespace

CMfPlusCard::CMfPlusCard(int handle) : handle_(handle) {}

unsigned char *CMfPlusCard::bytes(QByteArray &array)
{
    return reinterpret_cast<unsigned char *>(array.data());
}

int CMfPlusCard::activate()
{
    const int reset = rz_reset(handle_, kRfResetMs);
    if (!t7::succeeded(reset))
        return reset;
    unsigned int serial = 0;
    t7::GetCardSerial(handle_, serial);
    unsigned char length = 0;
    unsigned char answer[256] = {};
    return rz_pro_reset(handle_, &length, answer);
}

int CMfPlusCard::writePerso(const QByteArray &value, unsigned short address)
{
    QByteArray copy = value;
    return activated([&] { return rz_MFPlusL0_WritePerso(handle_, bytes(copy), address); });
}

int CMfPlusCard::commitPerso()
{
    return activated([&] { return rz_MFPlusL0_CommitPerso(handle_); });
}

int CMfPlusCard::verifyLevel1Key(const QByteArray &key)
{
    QByteArray copy = key;
    return activated([&] { return rz_MFPlusL1_AuthenKeyL1(handle_, bytes(copy)); });
}

int CMfPlusCard::switchLevel1To2(const QByteArray &key)
{
    QByteArray copy = key;
    return activated([&] { return rz_MFPlusL1_SwitchToL2(handle_, bytes(copy)); });
}

int CMfPlusCard::switchLevel1To3(const QByteArray &key)
{
    QByteArray copy = key;
    return activated([&] { return rz_MFPlusL1_SwitchToL3(handle_, bytes(copy)); });
}

int CMfPlusCard::switchLevel2To3(const QByteArray &key)
{
    QByteArray copy = key;
    return activated([&] { return rz_MFPlusL2_SwitchToL3(handle_, bytes(copy)); });
}

int CMfPlusCard::verifyLevel3Key(const QByteArray &key, unsigned short keyNumber)
{
    QByteArray copy = key;
    return activated([&] { return rz_MFPlusL3_AuthenL3Key(handle_, bytes(copy), keyNumber); });
}

int CMfPlusCard::verifySectorKey(int sector, const QByteArray &key)
{
    QByteArray copy = key;
    return activated([&] {
        return rz_MFPlusL3_AuthenSectorKey(handle_, kSectorKeyA, static_cast<unsigned char>(sector), bytes(copy));
    });
}

int CMfPlusCard::readPlain(int firstBlock, int count, unsigned char *buffer)
{
    return rz_MFPlusL3_ReadWithPlain(handle_, static_cast<unsigned short>(firstBlock),
                                     static_cast<unsigned char>(count), buffer);
}

int CMfPlusCard::writePlain(int block, const QByteArray &data)
{
    QByteArray copy = data;
    return rz_MFPlusL3_WriteWithPlain(handle_, static_cast<unsigned short>(block), 1, bytes(copy));
}

int CMfPlusCard::updateKey(unsigned short keyNumber, const QByteArray &key)
{
    QByteArray copy = key;
    return rz_MFPlusL3_UpdateKey(handle_, keyNumber, bytes(copy));
}

int CMfPlusCard::initValue(int block, int value)
{
    return rz_MFPlusL3_InitVal(handle_, static_cast<unsigned char>(block), value);
}

int CMfPlusCard::readValue(int block, int *value)
{
    return rz_MFPlusL3_ReadVal(handle_, static_cast<unsigned char>(block), value);
}

int CMfPlusCard::increment(int block, int value)
{
    return rz_MFPlusL3_Increment(handle_, static_cast<unsigned char>(block), value);
}

int CMfPlusCard::decrement(int block, int value)
{
    return rz_MFPlusL3_Decrement(handle_, static_cast<unsigned char>(block), value);
}

std::optional<QByteArray> CMfPlusCard::hexKey(const QString &text)
{
    if (text.size() > kMaxHexKeyText)
        return std::nullopt;
    const int count = static_cast<int>(text.size() / 2);
    const std::optional<std::vector<unsigned char>> key = t7::libraryHexBytes(a_hex, text.left(2 * count), count);
    if (!key)
        return std::nullopt;
    return QByteArray(reinterpret_cast<const char *>(key->data()), count);
}

std::optional<unsigned short> CMfPlusCard::keyNumber(const QString &text)
{
    const std::optional<QByteArray> two = hexKey(text);
    if (!two || two->size() < 2)
        return std::nullopt;
    return static_cast<unsigned short>(static_cast<unsigned char>(two->at(0)) * 256 +
                                       static_cast<unsigned char>(two->at(1)));
}

QString CMfPlusCard::blockText(const unsigned char *bytes)
{
    return t7::libraryHexText(hex_a, bytes, 16);
}
