#include "reader/QvdLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <mutex>
#include <set>

namespace qvd
{
namespace
{

struct LoaderState {
    std::mutex mutex;
    SymbolResolver resolver;
    FailureReporter reporter;
    bool libraryReported = false;
    std::set<std::string> reportedSymbols;
    std::string libraryFile = kLibraryName;
};

LoaderState &state()
{
    static LoaderState s;
    return s;
}

void report(const std::string &message)
{
    FailureReporter reporter;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        reporter = state().reporter;
    }
    if (reporter)
        reporter(message);
    else
        std::fprintf(stderr, "T7Demo: %s\n", message.c_str());
}

// Marker handle for libraries served by the test resolver.
void *const kResolverHandle = reinterpret_cast<void *>(&state);

} // namespace

Library::Library(void *handle) : handle_(handle) {}

Library::~Library()
{
    if (handle_ && handle_ != kResolverHandle)
        dlclose(handle_);
}

std::shared_ptr<Library> Library::load()
{
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (state().resolver)
            return std::shared_ptr<Library>(new Library(kResolverHandle));
    }
    std::string file;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        file = state().libraryFile;
    }
    void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle)
        return std::shared_ptr<Library>(new Library(handle));

    const char *reason = dlerror();
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        first = !state().libraryReported;
        state().libraryReported = true;
    }
    if (first)
        report(std::string("The reader library ") + file +
               " could not be loaded: " + (reason ? reason : "unknown reason") + ". Reader functions are unavailable.");
    return nullptr;
}

void *Library::symbol(const char *name) const
{
    void *address = nullptr;
    std::string reason;
    if (handle_ == kResolverHandle) {
        SymbolResolver resolver;
        {
            std::lock_guard<std::mutex> lock(state().mutex);
            resolver = state().resolver;
        }
        address = resolver ? resolver(name) : nullptr;
        reason = "not provided";
    } else {
        dlerror();
        address = dlsym(handle_, name);
        if (!address) {
            const char *error = dlerror();
            reason = error ? error : "not exported";
        }
    }
    if (address)
        return address;

    bool first = false;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        first = state().reportedSymbols.insert(name).second;
    }
    if (first)
        report(std::string("The reader library ") + kLibraryName + " has no entry point " + name + " (" + reason +
               ").");
    return nullptr;
}

void setSymbolResolver(SymbolResolver resolver)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().resolver = std::move(resolver);
}

void clearSymbolResolver()
{
    setSymbolResolver(nullptr);
}

void setFailureReporter(FailureReporter reporter)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().reporter = std::move(reporter);
}

void setLibraryFileForTesting(const std::string &file)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().libraryFile = file.empty() ? std::string(kLibraryName) : file;
}

void resetFailureReports()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().libraryReported = false;
    state().reportedSymbols.clear();
}

} // namespace qvd
