// The built libqvd.so, loaded as the tool loads it, with every entry point
// resolved. Tests call through `qvd().rz_read(...)`.
#pragma once

#include "reader/qvd_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace simtest
{

inline std::string libraryPath()
{
    if (const char *dir = std::getenv("T7_BUILD_LIB"); dir && *dir)
        return std::string(dir) + "/libqvd.so";
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / ".." / "lib" / "libqvd.so").lexically_normal().string();
}

struct SimLibrary {
#define SIMTEST_SLOT(name) PFN_##name name = nullptr;
    QVD_FOR_EACH_ENTRY_POINT(SIMTEST_SLOT)
#undef SIMTEST_SLOT
    void *handle = nullptr;

    SimLibrary()
    {
        handle = ::dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            throw std::runtime_error(std::string("cannot load libqvd.so: ") + ::dlerror());
#define SIMTEST_RESOLVE(name) name = reinterpret_cast<PFN_##name>(::dlsym(handle, #name));
        QVD_FOR_EACH_ENTRY_POINT(SIMTEST_RESOLVE)
#undef SIMTEST_RESOLVE
    }
};

// One instance per test program, like the tool's one loaded library.
inline SimLibrary &qvd()
{
    static SimLibrary library;
    return library;
}

} // namespace simtest
