// The command bytes each entry point sends, and what a status word means.
#include "pcsc/core/Apdu.h"
#include "pcsc/core/Results.h"
#include "tests/pcsc/HexBytes.h"

#include <gtest/gtest.h>

namespace
{

using namespace pcsc;
using pcsctest::bytes;
using pcsctest::hex;

const uint8_t kKey[6] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
const uint8_t kData4[4] = {0x11, 0x22, 0x33, 0x44};
const uint8_t kPsc[3] = {0xFF, 0xFF, 0xFF};

struct Built {
    const char *what;
    Bytes command;
    const char *expected;
};

TEST(Apdus, AreBuiltByteForByte)
{
    const Built cases[] = {
        {"get UID", apdu::getUid(), "FF CA 00 00 00"},
        {"load key B slot", apdu::loadKey(0x01, kKey), "FF 82 00 01 06 A0 A1 A2 A3 A4 A5"},
        {"authenticate key A", apdu::authenticate(4, false, 0x00), "FF 86 00 00 05 01 00 04 60 00"},
        {"authenticate key B, 4K block", apdu::authenticate(0xF0, true, 0x01), "FF 86 00 00 05 01 00 F0 61 01"},
        {"read block", apdu::readBinary(0x3F, 16), "FF B0 00 3F 10"},
        {"update page", apdu::updateBinary(5, kData4, 4), "FF D6 00 05 04 11 22 33 44"},
        {"store value", apdu::acsValue(4, apdu::ValueOp::Store, 100), "FF D7 00 04 05 00 00 00 00 64"},
        {"increment", apdu::acsValue(5, apdu::ValueOp::Increment, 0x01020304), "FF D7 00 05 05 01 01 02 03 04"},
        {"decrement, negative as two's complement", apdu::acsValue(6, apdu::ValueOp::Decrement, -1),
         "FF D7 00 06 05 02 FF FF FF FF"},
        {"restore into another block", apdu::acsRestore(4, 6), "FF D7 00 04 02 03 06"},
        {"buzzer", apdu::acsBuzzer(2), "FF 00 40 00 04 02 00 01 01"},
        {"SLE4442 card type", apdu::acsSelectCardType(apdu::MemoryCard::Sle4442), "FF A4 00 00 01 06"},
        {"memory read, 16-bit address", apdu::acsReadMemory(0x0120, 0x80), "FF B0 01 20 80"},
        {"memory write", apdu::acsWriteMemory(32, kData4, 2), "FF D0 00 20 02 11 22"},
        {"protect", apdu::acsWriteProtected(31, kData4, 1), "FF D1 00 1F 01 11"},
        {"error counter", apdu::acsReadErrorCounter(), "FF B1 00 00 04"},
        {"SLE4442 protection memory", apdu::acsReadProtectionBits(0, 4), "FF B2 00 00 04"},
        {"SLE4428 protection bits", apdu::acsReadProtectionBits(0x3F0, 16), "FF B2 03 F0 10"},
        {"SLE4428 card type", apdu::acsSelectCardType(apdu::MemoryCard::Sle4428), "FF A4 00 00 01 05"},
        {"present code", apdu::acsPresentCode(kPsc, 3), "FF 20 00 00 03 FF FF FF"},
        {"change code", apdu::acsChangeCode(kPsc, 3), "FF D2 00 01 03 FF FF FF"},
    };
    for (const Built &c : cases)
        EXPECT_EQ(hex(c.command), c.expected) << c.what;
}

TEST(Apdus, AResponseSplitsIntoDataAndStatusWord)
{
    const Response block = splitResponse(bytes("01 02 03 90 00"));
    EXPECT_EQ(hex(block.data), "01 02 03");
    EXPECT_TRUE(block.ok());
    const Response refused = splitResponse(bytes("63 00"));
    EXPECT_TRUE(refused.data.empty());
    EXPECT_EQ(refused.sw, 0x6300);
    // Too short to hold a status word: no answer at all.
    EXPECT_EQ(splitResponse(bytes("90")).sw, 0);
    EXPECT_EQ(splitResponse({}).sw, 0);
}

struct Status {
    Step step;
    uint16_t sw;
    int result;
};

TEST(StatusWords, MapToTheLibraryResults)
{
    const Status cases[] = {
        {Step::Read, 0x9000, kOk},
        {Step::Authenticate, 0x6300, kAuthFailed},
        {Step::Authenticate, 0x6982, kAuthFailed},
        {Step::Authenticate, 0x6983, kAuthFailed},
        {Step::Authenticate, 0x6988, kNotSupported}, // the reader has no such key slot
        {Step::Authenticate, 0x6986, kNotSupported},
        {Step::Authenticate, 0x6A82, kBadArgument}, // block beyond the card
        {Step::Read, 0x6982, kAuthFailed},          // sector not authenticated
        {Step::Read, 0x6300, kRefused},             // access conditions
        {Step::Write, 0x6986, kRefused},
        {Step::Write, 0x6581, kRefused},
        {Step::Read, 0x6B00, kBadArgument},
        {Step::Read, 0x6C10, kBadArgument},
        {Step::Write, 0x6700, kBadArgument},
        {Step::Write, 0x6A81, kNotSupported}, // function not supported
        {Step::Read, 0x6D00, kNotSupported},
        {Step::Read, 0x6E00, kNotSupported},
        {Step::GetData, 0x6300, kNoCard},
        {Step::LoadKey, 0x6300, kNotSupported},
        {Step::Memory, 0x6281, kRefused},
    };
    for (const Status &c : cases)
        EXPECT_EQ(resultOfStatus(c.step, c.sw), c.result) << std::hex << c.sw << " step " << int(c.step);
}

} // namespace
