#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <string>
#include <vector>

namespace
{

using simtest::qvd;
using Bytes = std::vector<unsigned char>;

class At88rf020 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bench.run("place usb1 typeb at88rf020 --uid 11223344");
        h = qvd().rz_init(100, 0);
        ASSERT_GT(h, 0);
        ASSERT_EQ(qvd().rz_config_card(h, 'B'), 0);
        ASSERT_EQ(select(), 0);
    }
    int select()
    {
        unsigned char answer[256] = {};
        if (const int rc = qvd().rz_request_b(h, 0, 0, 0, answer))
            return rc;
        return qvd().rz_attrib(h, answer + 1, 0);
    }
    int check(Bytes password) { return qvd().rz_check_at(h, 0, password.data()); }
    int read(int page, Bytes password, Bytes *data = nullptr)
    {
        Bytes out(8, 0xEE);
        const int rc = qvd().rz_read_at(h, static_cast<unsigned char>(page), password.data(), out.data());
        if (data)
            *data = out;
        return rc;
    }
    int write(int page, Bytes data) { return qvd().rz_write_at(h, static_cast<unsigned char>(page), data.data()); }
    Bytes command(Bytes frame)
    {
        unsigned char reply[256] = {};
        unsigned char length = 0;
        EXPECT_EQ(qvd().rz_CommandLink_at(h, frame.data(), static_cast<unsigned char>(frame.size()), reply, &length),
                  0);
        return Bytes(reply, reply + length);
    }

    sim::SimBench bench;
    int h = 0;
    const Bytes factory = Bytes(8, 0x00);
    const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8};
};

TEST_F(At88rf020, EveryOperationButTheCheckWaitsForTheRightPassword)
{
    EXPECT_EQ(read(4, factory), 2);
    EXPECT_EQ(write(4, data), 2);
    EXPECT_EQ(qvd().rz_count_at(h, 0, Bytes(factory).data()), 2);
    EXPECT_EQ(check(Bytes(8, 0x01)), 2);
    EXPECT_EQ(read(4, factory), 2);
    ASSERT_EQ(check(factory), 0);
    EXPECT_EQ(read(4, Bytes(8, 0x01)), 2); // not the verified password
    ASSERT_EQ(write(4, data), 0);
    Bytes back;
    ASSERT_EQ(read(4, factory, &back), 0);
    EXPECT_EQ(back, data);
    ASSERT_EQ(select(), 0); // a new selection must verify again
    EXPECT_EQ(write(5, data), 2);
}

TEST_F(At88rf020, SystemPagesAreNotWritableAndThePasswordNeverReadsBack)
{
    ASSERT_EQ(check(factory), 0);
    for (int page = 0; page < 4; ++page)
        EXPECT_EQ(write(page, data), 3) << page;
    EXPECT_EQ(write(32, data), 4);
    Bytes page0;
    ASSERT_EQ(read(0, factory, &page0), 0);
    EXPECT_EQ(Bytes(page0.begin(), page0.begin() + 4), Bytes({0x11, 0x22, 0x33, 0x44}));
    const Bytes secret = {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18};
    ASSERT_EQ(qvd().rz_changekey_at(h, Bytes(secret).data()), 0);
    Bytes page3;
    ASSERT_EQ(read(3, secret, &page3), 0);
    EXPECT_EQ(page3, Bytes(8, 0x00));
    ASSERT_EQ(qvd().rz_lock_at(h, 9, Bytes(secret).data()), 0);
    EXPECT_EQ(write(9, data), 3);
}

TEST_F(At88rf020, ANewPasswordIsInForceAtOnceAndStaysOnTheCard)
{
    const Bytes secret = {0x0F, 0x1E, 0x2D, 0x3C, 0x4B, 0x5A, 0x69, 0x78};
    EXPECT_EQ(qvd().rz_changekey_at(h, Bytes(secret).data()), 2);
    ASSERT_EQ(check(factory), 0);
    ASSERT_EQ(qvd().rz_changekey_at(h, Bytes(secret).data()), 0);
    EXPECT_NE(bench.run("show").find("password 0F1E2D3C4B5A6978 (changed)"), std::string::npos);
    qvd().rz_reset(h, 10);
    ASSERT_EQ(select(), 0);
    EXPECT_EQ(check(factory), 2);
    EXPECT_EQ(check(secret), 0);
}

TEST_F(At88rf020, TheCounterCountsUpAndAHaltedCardSleepsUntilTheFieldResets)
{
    ASSERT_EQ(check(factory), 0);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(qvd().rz_count_at(h, 0, Bytes(factory).data()), 0);
    Bytes page2;
    ASSERT_EQ(read(2, factory, &page2), 0);
    EXPECT_EQ(page2, Bytes({0, 0, 0, 3, 0, 0, 0, 0}));
    EXPECT_NE(bench.run("show").find("counter 3"), std::string::npos);
    ASSERT_EQ(qvd().rz_halt_at(h, 0, Bytes(factory).data()), 0);
    EXPECT_EQ(select(), 1);
    qvd().rz_reset(h, 10);
    EXPECT_EQ(select(), 0);
}

// The panel's two examples: read page 0, count.
TEST_F(At88rf020, RawFramesAnswerAStatusByteAndThePage)
{
    EXPECT_EQ(command({0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Bytes({0x01}));
    EXPECT_EQ(command({0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Bytes({0x00}));
    const Bytes page0 = command({0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(page0.size(), 9u);
    EXPECT_EQ(page0[1], 0x11);
    EXPECT_EQ(command({0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Bytes({0x00, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(command({0x50, 0}), Bytes({0x04}));
    EXPECT_EQ(command({0x99, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Bytes({0x04}));
    ASSERT_EQ(qvd().rz_config_card(h, 'A'), 0);
    unsigned char frame[10] = {0x10};
    unsigned char reply[256];
    unsigned char length = 0;
    EXPECT_EQ(qvd().rz_CommandLink_at(h, frame, 10, reply, &length), 1);
}

} // namespace
