// Loading libqvd.so and calling its entry points safely.
#pragma once

#include "reader/qvd_api.h"

#include <functional>
#include <memory>
#include <string>

namespace qvd
{

// Result of a call through an entry point that could not be resolved. Negative
// (so rz_init reads it as "no reader") and non-zero in its low 16 bits.
constexpr int kUnresolved = -1000;

constexpr const char *kLibraryName = "libqvd.so";

// One reference to the loaded reader library; the library stays loaded while
// any reference lives (each reference is one dlopen, released by dlclose).
class Library
{
public:
    ~Library();
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    // Null when the library could not be loaded (already reported).
    static std::shared_ptr<Library> load();

    // The address of an exported entry point, or null (reported once per name).
    void *symbol(const char *name) const;

private:
    explicit Library(void *handle);
    void *handle_;
};

using LibraryRef = std::shared_ptr<Library>;

// Test seam: when set, names resolve through this function instead of the
// loader, and load() never touches the file system.
using SymbolResolver = std::function<void *(const char *name)>;
void setSymbolResolver(SymbolResolver resolver);
void clearSymbolResolver();

// Receives the one-time reports of a missing library or entry point. The
// default writes to standard error; the application installs a message box.
using FailureReporter = std::function<void(const std::string &message)>;
void setFailureReporter(FailureReporter reporter);
// Tests only: load another file name instead of libqvd.so (empty restores it).
void setLibraryFileForTesting(const std::string &file);

// Forget what was reported, so a test can see a report again.
void resetFailureReports();

// A typed slot for one entry point. Calling an empty slot never calls through
// a null pointer: it yields kUnresolved.
template <typename Fn> class Entry;

template <typename... Args> class Entry<int (*)(Args...)>
{
public:
    using Pointer = int (*)(Args...);

    Entry(const LibraryRef &library, const char *name) : name_(name) { resolve(library); }

    void resolve(const LibraryRef &library)
    {
        fn_ = library ? reinterpret_cast<Pointer>(library->symbol(name_)) : nullptr;
    }

    template <typename... CallArgs> int operator()(CallArgs &&...args) const
    {
        return fn_ ? fn_(std::forward<CallArgs>(args)...) : kUnresolved;
    }

    bool resolved() const { return fn_ != nullptr; }
    const char *name() const { return name_; }

private:
    const char *name_;
    Pointer fn_ = nullptr;
};

} // namespace qvd

// Declares a table member for entry point NAME, resolved from LIB (a LibraryRef
// member declared before it): QVD_ENTRY(lib_, rz_read);
#define QVD_ENTRY(lib, name)                                                                                           \
    ::qvd::Entry<PFN_##name> name                                                                                      \
    {                                                                                                                  \
        lib, #name                                                                                                     \
    }
