// The MIFARE Classic access table, the Control Word's inverted copies, what a
// read trailer reveals, and which blocks of a dump may be written back.
#include "dump/AccessConditions.h"
#include "dump/WriteBack.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

namespace
{

using dump::Keys;
using ::testing::ElementsAre;

constexpr Keys no = Keys::None;
constexpr Keys A = Keys::A;
constexpr Keys B = Keys::B;
constexpr Keys AB = Keys::Either;

// The datasheet's tables, row by row in its own order.
struct DataRow {
    int bits;
    Keys read, write, increment, decrement;
};
const DataRow kDataRows[] = {
    {0b000, AB, AB, AB, AB}, {0b010, AB, no, no, no}, {0b100, AB, B, no, no}, {0b110, AB, B, B, AB},
    {0b001, AB, no, no, AB}, {0b011, B, B, no, no},   {0b101, B, no, no, no}, {0b111, no, no, no, no},
};

struct TrailerRow {
    int bits;
    Keys keyARead, keyAWrite, accessRead, accessWrite, keyBRead, keyBWrite;
};
const TrailerRow kTrailerRows[] = {
    {0b000, no, A, A, no, A, A},     {0b010, no, no, A, no, A, no},   {0b100, no, B, AB, no, no, B},
    {0b110, no, no, AB, no, no, no}, {0b001, no, A, A, A, A, A},      {0b011, no, B, AB, B, no, B},
    {0b101, no, no, AB, B, no, no},  {0b111, no, no, AB, no, no, no},
};

// Trailer bytes 6-8 giving the three data groups `data` and the trailer `trailer`.
std::array<uint8_t, 3> accessBytes(int data, int trailer)
{
    return dump::encodeAccessBytes({data, data, data, trailer});
}

TEST(AccessConditions, EveryDataBlockCombinationDecodesAsTheTableSays)
{
    for (const DataRow &row : kDataRows) {
        const auto bytes = accessBytes(row.bits, 0b001);
        const dump::DecodedAccess decoded = dump::decodeAccessBytes(bytes.data());
        ASSERT_TRUE(decoded.valid) << row.bits;
        EXPECT_THAT(decoded.bits, ElementsAre(row.bits, row.bits, row.bits, 0b001));
        const dump::DataBlockAccess access = dump::dataBlockAccess(decoded.bits[0]);
        EXPECT_EQ(access.read, row.read) << row.bits;
        EXPECT_EQ(access.write, row.write) << row.bits;
        EXPECT_EQ(access.increment, row.increment) << row.bits;
        EXPECT_EQ(access.decrementTransferRestore, row.decrement) << row.bits;
    }
}

TEST(AccessConditions, EveryTrailerCombinationDecodesAsTheTableSays)
{
    for (const TrailerRow &row : kTrailerRows) {
        const auto bytes = accessBytes(0b000, row.bits);
        const dump::DecodedAccess decoded = dump::decodeAccessBytes(bytes.data());
        ASSERT_TRUE(decoded.valid) << row.bits;
        const dump::TrailerAccess access = dump::trailerAccess(decoded.bits[3]);
        EXPECT_EQ(access.keyARead, row.keyARead) << row.bits;
        EXPECT_EQ(access.keyAWrite, row.keyAWrite) << row.bits;
        EXPECT_EQ(access.accessBitsRead, row.accessRead) << row.bits;
        EXPECT_EQ(access.accessBitsWrite, row.accessWrite) << row.bits;
        EXPECT_EQ(access.keyBRead, row.keyBRead) << row.bits;
        EXPECT_EQ(access.keyBWrite, row.keyBWrite) << row.bits;
        EXPECT_EQ(dump::keyBIsData(row.bits), row.keyBRead != no) << row.bits;
    }
}

TEST(AccessConditions, TheTransportControlWordIsValidAndAnyFlippedBitLocksTheSector)
{
    const uint8_t transport[3] = {0xFF, 0x07, 0x80};
    EXPECT_TRUE(dump::accessBytesValid(transport));
    EXPECT_THAT(dump::decodeAccessBytes(transport).bits, ElementsAre(0, 0, 0, 1));
    for (int bit = 0; bit < 24; ++bit) {
        uint8_t flipped[3] = {0xFF, 0x07, 0x80};
        flipped[bit / 8] ^= static_cast<uint8_t>(1 << bit % 8);
        EXPECT_FALSE(dump::accessBytesValid(flipped)) << "bit " << bit;
    }
}

TEST(AccessConditions, AReadTrailerRevealsOnlyWhatTheKeyMayRead)
{
    // C1C2C3 of the trailer, key B used, bytes revealed (bit i: byte i).
    const std::tuple<int, bool, uint16_t> cases[] = {
        {0b001, false, 0xFFC0}, {0b001, true, 0x0000}, {0b011, false, 0x03C0}, {0b111, true, 0x03C0}};
    for (const auto &[bits, keyB, revealed] : cases) {
        dump::Block trailer{};
        const auto bytes = accessBytes(0, bits);
        std::copy(bytes.begin(), bytes.end(), trailer.begin() + 6);
        EXPECT_EQ(dump::revealedTrailerBytes(trailer, keyB), revealed) << bits << " " << keyB;
    }
    EXPECT_EQ(dump::revealedTrailerBytes(dump::Block{}, false), 0) << "access bits read as zeros were kept back";
}

TEST(WriteBack, LeavesOutBlockZeroTrailersUnlessAskedAndWhatIsNotWhollyKnown)
{
    dump::CardImage image(dump::kBlocks1K);
    for (const int b : {0, 1, 2, 4, 5, 6, 7, 9}) // 7: access bits that do not hold together
        image.setBlock(b, dump::Block{});
    dump::Block trailer{};
    const auto transport = accessBytes(0, 1);
    std::copy(transport.begin(), transport.end(), trailer.begin() + 6);
    image.setBlock(3, trailer);
    image.setBlock(11, trailer, 0xFFC0);

    EXPECT_THAT(dump::planWriteBack(image, false).blocks, ElementsAre(1, 2, 4, 5, 6, 9));
    const dump::WritePlan withTrailers = dump::planWriteBack(image, true);
    EXPECT_THAT(withTrailers.blocks, ElementsAre(1, 2, 3, 4, 5, 6, 9));
    EXPECT_THAT(withTrailers.lockingTrailers, ElementsAre(7));
    EXPECT_EQ(withTrailers.partialBlocks, 1);
}

} // namespace
