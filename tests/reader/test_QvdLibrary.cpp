#include "reader/CardSerial.h"
#include "reader/QvdLibrary.h"
#include "tests/support/FakeReader.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Collects the loader's one-time reports and restores the defaults afterwards.
class LoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qvd::resetFailureReports();
        qvd::setFailureReporter([this](const std::string &message) { reports.push_back(message); });
    }
    void TearDown() override
    {
        qvd::setLibraryFileForTesting("");
        qvd::setFailureReporter(nullptr);
        qvd::resetFailureReports();
    }
    std::vector<std::string> reports;
};

TEST_F(LoaderTest, MissingLibraryIsReportedOnceWithNameAndReason)
{
    qvd::setLibraryFileForTesting("libqvd-not-here.so");
    EXPECT_EQ(qvd::Library::load(), nullptr);
    EXPECT_EQ(qvd::Library::load(), nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("libqvd-not-here.so"), std::string::npos);
    EXPECT_NE(reports[0].find("cannot open shared object file"), std::string::npos) << reports[0];
}

TEST_F(LoaderTest, SlotsOfAMissingLibraryFailWithoutCalling)
{
    qvd::setLibraryFileForTesting("libqvd-not-here.so");
    const qvd::LibraryRef lib = qvd::Library::load();
    const QVD_ENTRY(lib, rz_init);
    const QVD_ENTRY(lib, rz_exit);
    EXPECT_FALSE(rz_init.resolved());
    EXPECT_EQ(rz_init(100, 0), qvd::kUnresolved);
    EXPECT_EQ(rz_exit(5), qvd::kUnresolved);
    // Callers that test the low 16 bits must see a failure too.
    EXPECT_NE(qvd::kUnresolved & 0xFFFF, 0);
    EXPECT_LT(qvd::kUnresolved, 0);
}

TEST_F(LoaderTest, ResolvesByExactNameAndReportsAMissingEntryPointOnce)
{
    // Any library stands in for the loader path: libc has abs() but no rz_read.
    qvd::setLibraryFileForTesting("libc.so.6");
    const qvd::LibraryRef lib = qvd::Library::load();
    ASSERT_NE(lib, nullptr);
    const qvd::Entry<int (*)(int)> absolute{lib, "abs"};
    ASSERT_TRUE(absolute.resolved());
    EXPECT_EQ(absolute(-7), 7);

    const qvd::Entry<int (*)(int)> wrongCase{lib, "ABS"};
    EXPECT_FALSE(wrongCase.resolved());

    {
        const QVD_ENTRY(lib, rz_read);
        unsigned char data[16] = {};
        EXPECT_EQ(rz_read(1, 4, data), qvd::kUnresolved);
    }
    {
        // A second table asking for the same name is not reported again.
        const QVD_ENTRY(lib, rz_read);
        EXPECT_FALSE(rz_read.resolved());
    }
    const auto mentions = [this](const char *name) {
        int n = 0;
        for (const std::string &report : reports)
            if (report.find(std::string("entry point ") + name + " ") != std::string::npos)
                ++n;
        return n;
    };
    EXPECT_EQ(mentions("rz_read"), 1);
    EXPECT_EQ(mentions("ABS"), 1);
}

TEST_F(LoaderTest, ReleasingTheLastReferenceUnloadsTheLibrary)
{
    // libqvd.so is not linked into this program, so only our references hold it.
    const char *file = "libqvd.so";
    ASSERT_EQ(dlopen(file, RTLD_NOW | RTLD_NOLOAD), nullptr);
    {
        const qvd::LibraryRef first = qvd::Library::load();
        ASSERT_NE(first, nullptr) << (reports.empty() ? "" : reports[0]);
        {
            const qvd::LibraryRef second = qvd::Library::load();
            ASSERT_NE(second, nullptr);
        }
        void *still = dlopen(file, RTLD_NOW | RTLD_NOLOAD);
        EXPECT_NE(still, nullptr);
        if (still)
            dlclose(still);
    }
    EXPECT_EQ(dlopen(file, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(LoaderTest, TheFakeResolverAnswersInsteadOfTheLibrary)
{
    fake::FakeReader reader;
    FAKE_ON(reader, rz_beep, [](int, int duration) { return duration == 10 ? 0 : 9; });
    reader.remove("rz_exit");
    const qvd::LibraryRef lib = qvd::Library::load();
    const QVD_ENTRY(lib, rz_beep);
    const QVD_ENTRY(lib, rz_exit);
    EXPECT_EQ(rz_beep(3, 10), 0);
    EXPECT_EQ(rz_beep(3, 20), 9);
    EXPECT_FALSE(rz_exit.resolved());
    EXPECT_EQ(rz_exit(3), qvd::kUnresolved);
    EXPECT_EQ(reader.calls(), (std::vector<std::string>{"rz_beep(3,10)", "rz_beep(3,20)"}));
}

// The application's card finding, scripted.
struct SerialCase {
    const char *name;
    int card1, anticoll, card2;
    unsigned first, second, repeated;
    const char *text;
    unsigned serial;
    std::vector<std::string> calls;
};

class GetCardSerialTest : public ::testing::TestWithParam<SerialCase>
{
};

TEST_P(GetCardSerialTest, FollowsTheCascadeAndFallback)
{
    const SerialCase &c = GetParam();
    fake::FakeReader reader;
    int cardCalls = 0;
    FAKE_ON(reader, rz_card, [&](int, unsigned char, unsigned *serial) {
        const bool firstCall = cardCalls++ == 0;
        const int result = firstCall ? c.card1 : c.card2;
        if (result == 0)
            *serial = firstCall ? c.first : c.repeated;
        return result;
    });
    FAKE_ON(reader, rz_anticoll2, [&](int, unsigned char, unsigned *part) {
        if (c.anticoll == 0)
            *part = c.second;
        return c.anticoll;
    });
    unsigned serial = 0xDEADBEEF;
    EXPECT_EQ(t7::GetCardSerial(7, serial).toStdString(), c.text);
    EXPECT_EQ(serial, c.serial);
    EXPECT_EQ(reader.calls(), c.calls);
}

INSTANTIATE_TEST_SUITE_P(Cases, GetCardSerialTest,
                         ::testing::Values(SerialCase{"NoCard", 1, 0, 0, 0, 0, 0, "", 0xDEADBEEF, {"rz_card(7,1,*)"}},
                                           SerialCase{"SingleSizeRepeatsTheSearch",
                                                      0,
                                                      1,
                                                      0,
                                                      0x0A1B2C3D,
                                                      0,
                                                      0x0A1B2C3D,
                                                      "0A1B2C3D",
                                                      0x0A1B2C3D,
                                                      {"rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_card(7,1,*)"}},
                                           SerialCase{"RepeatedSearchFindsAnotherCard",
                                                      0,
                                                      1,
                                                      0,
                                                      0x11111111,
                                                      0,
                                                      0x22222222,
                                                      "22222222",
                                                      0x22222222,
                                                      {"rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_card(7,1,*)"}},
                                           SerialCase{"RepeatedSearchFailsKeepsTheFirstText",
                                                      0,
                                                      1,
                                                      3,
                                                      0xCAFE0001,
                                                      0,
                                                      0,
                                                      "CAFE0001",
                                                      0xCAFE0001,
                                                      {"rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_card(7,1,*)"}},
                                           SerialCase{
                                               "DoubleSizeGivesSixteenDigits",
                                               0,
                                               0,
                                               0,
                                               0x8804A1B2,
                                               0xC3D4E5F6,
                                               0,
                                               "8804A1B2C3D4E5F6",
                                               0x8804A1B2 ^ 0xC3D4E5F6,
                                               {"rz_card(7,1,*)", "rz_anticoll2(7,0,*)", "rz_select2(7,3285509622)"}}),
                         [](const ::testing::TestParamInfo<SerialCase> &info) { return std::string(info.param.name); });

} // namespace
