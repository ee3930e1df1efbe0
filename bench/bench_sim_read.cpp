// How much a simulated block read costs compared with the cheapest call:
// reading all 64 blocks of an S50 against 64 rz_getver calls, same library,
// same run. Prints the ratio; asserts nothing.
#include "reader/qvd_api.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string>

namespace
{

namespace fs = std::filesystem;

struct Library {
    PFN_rz_init init = nullptr;
    PFN_rz_getver getver = nullptr;
    PFN_rz_card card = nullptr;
    PFN_rz_authentication authentication = nullptr;
    PFN_rz_read read = nullptr;
};

template <typename Fn> double secondsFor(int rounds, Fn fn)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main()
{
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const std::string libraryFile = (self.parent_path() / ".." / "lib" / "libqvd.so").lexically_normal().string();
    void *handle = ::dlopen(libraryFile.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "cannot load %s: %s\n", libraryFile.c_str(), ::dlerror());
        return 1;
    }
    Library qvd;
    qvd.init = reinterpret_cast<PFN_rz_init>(::dlsym(handle, "rz_init"));
    qvd.getver = reinterpret_cast<PFN_rz_getver>(::dlsym(handle, "rz_getver"));
    qvd.card = reinterpret_cast<PFN_rz_card>(::dlsym(handle, "rz_card"));
    qvd.authentication = reinterpret_cast<PFN_rz_authentication>(::dlsym(handle, "rz_authentication"));
    qvd.read = reinterpret_cast<PFN_rz_read>(::dlsym(handle, "rz_read"));

    // A bench of its own, made with the default content on first use.
    std::string folder = (fs::temp_directory_path() / "t7bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    ::setenv("T7SIM_BENCH", (folder + "/bench.json").c_str(), 1);

    const int h = qvd.init(100, 0);
    unsigned serial = 0;
    if (h <= 0 || qvd.card(h, 1, &serial) != 0) {
        std::fprintf(stderr, "no simulated card\n");
        return 1;
    }
    constexpr int kRounds = 200;
    int failures = 0;
    const double reads = secondsFor(kRounds, [&] {
        unsigned char data[32];
        for (int block = 0; block < 64; ++block) {
            if (block % 4 == 0)
                failures += qvd.authentication(h, 0, static_cast<unsigned char>(block / 4)) != 0;
            failures += qvd.read(h, static_cast<unsigned char>(block), data) != 0;
        }
    });
    const double baseline = secondsFor(kRounds, [&] {
        char text[256];
        for (int i = 0; i < 64; ++i)
            qvd.getver(h, text);
    });
    std::printf("64 block reads (with 16 authentications): %.1f us\n", reads / kRounds * 1e6);
    std::printf("64 rz_getver calls:                      %.1f us\n", baseline / kRounds * 1e6);
    std::printf("ratio: %.2f  (failed calls: %d)\n", reads / baseline, failures);
    fs::remove_all(folder);
    return 0;
}
