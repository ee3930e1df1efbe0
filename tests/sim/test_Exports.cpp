#include "tests/sim/SimLibrary.h"

#include <dlfcn.h>

#include <set>
#include <sstream>
#include <string>

namespace
{

TEST(LibraryExports, EveryEntryPointResolvesByName)
{
    void *lib = ::dlopen(simtest::libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << ::dlerror();
    std::vector<std::string> missing;
#define CHECK_EXPORT(name)                                                                                             \
    if (!::dlsym(lib, #name))                                                                                          \
        missing.push_back(#name);
    QVD_FOR_EACH_ENTRY_POINT(CHECK_EXPORT)
#undef CHECK_EXPORT
    EXPECT_TRUE(missing.empty()) << "missing: " << ::testing::PrintToString(missing);
    ::dlclose(lib);
}

// Internal helpers must not leak out and clash with the tool's own symbols.
TEST(LibraryExports, NothingButTheEntryPointsIsExported)
{
    const std::string command = "nm -D --defined-only '" + simtest::libraryPath() + "'";
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

} // namespace
