// The Mifare Plus card as the four level pages work it: one object per
// opened panel, holding the device handle of that moment. Card-level
// operations activate the card first (RF reset, card search, RATS);
// level-3 data operations rely on the sector verified before.
#pragma once

#include "reader/QvdLibrary.h"

#include <QByteArray>
#include <QString>

#include <optional>

class CMfPlusCard
{
public:
    explicit CMfPlusCard(int handle);

    int handle() const { return handle_; }

    // Activated operations; each returns a reader result (0 = success).
    int writePerso(const QByteArray &value, unsigned short address);
    int commitPerso();
    int verifyLevel1Key(const QByteArray &key);
    int switchLevel1To2(const QByteArray &key);
    int switchLevel1To3(const QByteArray &key);
    int switchLevel2To3(const QByteArray &key);
    int verifyLevel3Key(const QByteArray &key, unsigned short keyNumber);
    int verifySectorKey(int sector, const QByteArray &key);

    // Level-3 data operations.
    static constexpr int kReadBufferSize = 256;
    int readPlain(int firstBlock, int count, unsigned char *buffer);
    int writePlain(int block, const QByteArray &data);
    int updateKey(unsigned short keyNumber, const QByteArray &key);
    int initValue(int block, int value);
    int readValue(int block, int *value);
    int increment(int block, int value);
    int decrement(int block, int value);

    // The library's conversions. Hex key: half as many bytes as characters,
    // nothing on a format error or for a text over 4096 characters.
    std::optional<QByteArray> hexKey(const QString &text);
    // Four hex digits, most significant first.
    std::optional<unsigned short> keyNumber(const QString &text);
    // 16 bytes as 32 hex digits.
    QString blockText(const unsigned char *bytes);

private:
    int activate();
    // Runs call on the activated card; a failed activation is the result.
    template <typename Call> int activated(Call call)
    {
        const int rc = activate();
        return rc != 0 ? rc : call();
    }
    static unsigned char *bytes(QByteArray &array);

    qvd::LibraryRef lib_ = qvd::Library::load();
    QVD_ENTRY(lib_, rz_reset);
    QVD_ENTRY(lib_, rz_request);
    QVD_ENTRY(lib_, rz_anticoll);
    QVD_ENTRY(lib_, rz_select);
    QVD_ENTRY(lib_, rz_anticoll2);
    QVD_ENTRY(lib_, rz_select2);
    QVD_ENTRY(lib_, rz_pro_reset);
    QVD_ENTRY(lib_, a_hex);
    QVD_ENTRY(lib_, hex_a);
    QVD_ENTRY(lib_, rz_MFPlusL0_WritePerso);
    QVD_ENTRY(lib_, rz_MFPlusL0_CommitPerso);
    QVD_ENTRY(lib_, rz_MFPlusL1_SwitchToL2);
    QVD_ENTRY(lib_, rz_MFPlusL1_SwitchToL3);
    QVD_ENTRY(lib_, rz_MFPlusL1_AuthenKeyL1);
    QVD_ENTRY(lib_, rz_MFPlusL2_SwitchToL3);
    QVD_ENTRY(lib_, rz_MFPlusL3_ReadWithEncrypt);
    QVD_ENTRY(lib_, rz_MFPlusL3_WriteWithEncrypt);
    QVD_ENTRY(lib_, rz_MFPlusL3_ReadWithPlain);
    QVD_ENTRY(lib_, rz_MFPlusL3_WriteWithPlain);
    QVD_ENTRY(lib_, rz_MFPlusL3_AuthenL3Key);
    QVD_ENTRY(lib_, rz_MFPlusL3_AuthenSectorKey);
    QVD_ENTRY(lib_, rz_MFPlusL3_UpdateKey);
    QVD_ENTRY(lib_, rz_MFPlusL3_InitVal);
    QVD_ENTRY(lib_, rz_MFPlusL3_ReadVal);
    QVD_ENTRY(lib_, rz_MFPlusL3_Increment);
    QVD_ENTRY(lib_, rz_MFPlusL3_Decrement);

    const int handle_;
};
