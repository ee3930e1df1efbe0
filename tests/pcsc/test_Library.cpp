// libqvd-pcsc.so as the tool loads it: the same entry points as libqvd.so,
// the same hex conversions, and no hang without pcscd.
#include "reader/qvd_api.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>

namespace
{

std::string builtLibrary(const char *name)
{
    return std::string(T7_BUILD_LIB_DIR) + "/" + name;
}

struct Loaded {
    explicit Loaded(const char *name) : handle(::dlopen(builtLibrary(name).c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~Loaded()
    {
        if (handle)
            ::dlclose(handle);
    }
    template <typename Fn> Fn get(const char *symbol) const { return reinterpret_cast<Fn>(::dlsym(handle, symbol)); }
    void *handle;
};

TEST(PcscLibrary, ExportsExactlyTheEntryPointsOfLibqvd)
{
    const std::string command = "nm -D --defined-only '" + builtLibrary("libqvd-pcsc.so") + "'";
    FILE *pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> expected;
#define ADD_NAME(name) expected.insert(#name);
    QVD_FOR_EACH_ENTRY_POINT(ADD_NAME)
#undef ADD_NAME
    std::set<std::string> exported;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream in(line);
        std::string address, type, name;
        in >> address >> type >> name;
        if (!name.empty())
            exported.insert(name);
    }
    ASSERT_EQ(::pclose(pipe), 0) << "nm failed";
    EXPECT_EQ(exported, expected);
}

// Differential: every text, every count, the same bytes, result and
// untouched rest as the simulated library.
TEST(PcscLibrary, HexConversionsMatchTheSimulatedLibrary)
{
    const Loaded pcsc("libqvd-pcsc.so");
    const Loaded sim("libqvd.so");
    ASSERT_TRUE(pcsc.handle && sim.handle) << ::dlerror();
    const char *texts[] = {"",
                           "A",
                           "A1",
                           "a1B2c3",
                           "A1B2G3",
                           "0G",
                           " 1",
                           "-1",
                           "FFFFFFFFFFFF",
                           "12\0"
                           "34",
                           "00"};
    for (const char *text : texts) {
        for (int count : {0, 1, 2, 3, 6}) {
            unsigned char a[8], b[8];
            std::memset(a, 0x55, sizeof a);
            std::memset(b, 0x55, sizeof b);
            char ta[16] = {}, tb[16] = {};
            std::strncpy(ta, text, sizeof ta - 1);
            std::strncpy(tb, text, sizeof tb - 1);
            const int ra = pcsc.get<PFN_a_hex>("a_hex")(a, ta, count);
            const int rb = sim.get<PFN_a_hex>("a_hex")(b, tb, count);
            EXPECT_EQ(ra, rb) << '"' << text << "\" " << count;
            EXPECT_EQ(std::memcmp(a, b, sizeof a), 0) << '"' << text << "\" " << count;
        }
    }
    unsigned char bytes[4] = {0xDE, 0xAD, 0x0B, 0xEF};
    for (int digits : {0, 1, 2, 7, 8}) {
        char a[16], b[16];
        std::memset(a, 'x', sizeof a);
        std::memset(b, 'x', sizeof b);
        EXPECT_EQ(pcsc.get<PFN_hex_a>("hex_a")(a, bytes, digits), sim.get<PFN_hex_a>("hex_a")(b, bytes, digits));
        EXPECT_EQ(std::memcmp(a, b, sizeof a), 0) << digits;
    }
}

TEST(PcscLibrary, DesComputesOneBlockBothWays)
{
    const Loaded pcsc("libqvd-pcsc.so");
    const auto des = pcsc.get<PFN_rz_des>("rz_des");
    char key[] = "133457799BBCDFF1", data[] = "0123456789ABCDEF", bad[] = "0123456789ABCDEG";
    char result[256] = {};
    ASSERT_EQ(des(key, data, result, 1), 0);
    EXPECT_STREQ(result, "85E813540F0AB405"); // the classic worked example
    char back[256] = {};
    ASSERT_EQ(des(key, result, back, 0), 0);
    EXPECT_STREQ(back, data);
    EXPECT_NE(des(key, bad, result, 1), 0);
    EXPECT_STREQ(result, "");
}

// No pcscd behind the socket: no reader, at once, and unknown handles fail.
TEST(PcscLibrary, WithoutPcscdNoReaderOpens)
{
    ::setenv("PCSCLITE_CSOCK_NAME", "/nonexistent/pcscd.comm", 1);
    const Loaded pcsc("libqvd-pcsc.so");
    EXPECT_EQ(pcsc.get<PFN_rz_init>("rz_init")(100, 0), -1);
    EXPECT_EQ(pcsc.get<PFN_rz_init>("rz_init")(0, 115200), -1) << "serial ports are not offered";
    int tagType = 0;
    EXPECT_EQ(pcsc.get<PFN_rz_request>("rz_request")(1, 1, &tagType), 6);
    EXPECT_EQ(pcsc.get<PFN_rz_lcd_dispclear>("rz_lcd_dispclear")(1), 6);
}

} // namespace
