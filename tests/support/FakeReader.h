// A scripted stand-in for the reader library: every entry point records its
// call ("rz_read(7,4,*)": integers in decimal, pointers as *) and answers from
// a handler set by the test, or with a default result (0 unless changed).
#pragma once

#include "reader/qvd_api.h"

#include <any>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace fake
{

template <typename Fn> struct Signature;
template <typename R, typename... A> struct Signature<R (*)(A...)> {
    using Function = std::function<R(A...)>;
};

class FakeReader
{
public:
    // Installs itself as the symbol resolver; the destructor removes it.
    FakeReader();
    ~FakeReader();
    FakeReader(const FakeReader &) = delete;
    FakeReader &operator=(const FakeReader &) = delete;

    // Handler for one entry point: fake.on<PFN_rz_read>("rz_read", [](int, unsigned char, unsigned char *) {...});
    template <typename Pfn> void on(const std::string &name, typename Signature<Pfn>::Function handler)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handlers_[name] = std::move(handler);
    }
    // Result of an entry point that has no handler (0 by default).
    void returns(const std::string &name, int result);
    // The entry point resolves to null, as if the library lacked it.
    void remove(const std::string &name);

    std::vector<std::string> calls() const;
    // Only the calls to these entry points, in order.
    std::vector<std::string> callsTo(const std::set<std::string> &names) const;
    int count(const std::string &name) const;
    void clearCalls();

    // Used by the thunks.
    static FakeReader *current();
    void record(std::string call);
    template <typename Pfn> bool handler(const std::string &name, typename Signature<Pfn>::Function *out)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = handlers_.find(name);
        if (it == handlers_.end())
            return false;
        *out = std::any_cast<typename Signature<Pfn>::Function>(it->second);
        return true;
    }
    int defaultResult(const std::string &name) const;
    bool removed(const char *name) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::any> handlers_;
    std::map<std::string, int> results_;
    std::set<std::string> removed_;
    std::vector<std::string> calls_;
};

// Shorthand: FAKE_ON(fake, rz_read, [](int h, unsigned char b, unsigned char *d) { ...; return 0; });
#define FAKE_ON(fakeReader, name, ...) (fakeReader).on<PFN_##name>(#name, __VA_ARGS__)

} // namespace fake
