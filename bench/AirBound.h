// The lower bound a benchmark compares the tool against: what the commands it
// sends would take on the air by the simulator's own timing model. A counting
// resolver stands between the tool and the real library for one run and
// tallies the calls; their air time is the bound.
#pragma once

#include "reader/QvdLibrary.h"
#include "sim/core/AirTiming.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

namespace bench
{

inline std::map<std::string, long> &callCounts()
{
    static std::map<std::string, long> counts;
    return counts;
}

inline std::mutex &countMutex()
{
    static std::mutex mutex;
    return mutex;
}

template <typename Pfn, const char *Name> struct Counted;
template <typename... A, const char *Name> struct Counted<int (*)(A...), Name> {
    static inline int (*real)(A...) = nullptr;
    static int call(A... args)
    {
        {
            const std::lock_guard<std::mutex> lock(countMutex());
            ++callCounts()[Name];
        }
        return real ? real(args...) : qvd::kUnresolved;
    }
};

#define BENCH_NAME(name) inline constexpr char kCounted_##name[] = #name;
QVD_FOR_EACH_ENTRY_POINT(BENCH_NAME)
#undef BENCH_NAME

// While it lives, every entry point the tool resolves is counted on its way
// to the library at `file`.
class CountingReader
{
public:
    explicit CountingReader(const std::string &file) : handle_(::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        callCounts().clear();
#define BENCH_BIND(name)                                                                                               \
    Counted<PFN_##name, kCounted_##name>::real =                                                                       \
        handle_ ? reinterpret_cast<PFN_##name>(::dlsym(handle_, #name)) : nullptr;
        QVD_FOR_EACH_ENTRY_POINT(BENCH_BIND)
#undef BENCH_BIND
        qvd::setSymbolResolver([](const char *name) -> void * {
#define BENCH_RESOLVE(entry)                                                                                           \
    if (std::strcmp(name, #entry) == 0)                                                                                \
        return reinterpret_cast<void *>(&Counted<PFN_##entry, kCounted_##entry>::call);
            QVD_FOR_EACH_ENTRY_POINT(BENCH_RESOLVE)
#undef BENCH_RESOLVE
            return nullptr;
        });
    }
    ~CountingReader()
    {
        qvd::clearSymbolResolver();
        if (handle_)
            ::dlclose(handle_);
    }
    CountingReader(const CountingReader &) = delete;
    CountingReader &operator=(const CountingReader &) = delete;

    bool loaded() const
    {
        return handle_ != nullptr;
    }

private:
    void *handle_;
};

// The air time of the calls counted so far, by the simulator's model. A card
// search (rz_card) is request, anticollision and select.
inline double countedAirMilliseconds()
{
    using sim::air::Frame;
    const std::map<std::string, std::vector<Frame>> frames = {
        {"rz_card", {Frame::Request, Frame::Anticollision, Frame::Select}},
        {"rz_request", {Frame::Request}},
        {"rz_anticoll", {Frame::Anticollision}},
        {"rz_select", {Frame::Select}},
        {"rz_anticoll2", {Frame::Anticollision2}},
        {"rz_select2", {Frame::Select2}},
        {"rz_halt", {Frame::Halt}},
        {"rz_authentication", {Frame::Authenticate}},
        {"rz_read", {Frame::Read}},
        {"rz_read_S70", {Frame::Read}},
        {"rz_write", {Frame::Write}},
        {"rz_write_S70", {Frame::Write}},
        {"rz_beep", {Frame::Peripheral}},
    };
    double total = 0;
    for (const auto &[name, count] : callCounts()) {
        const auto it = frames.find(name);
        if (it == frames.end() && (name == "a_hex" || name == "hex_a"))
            continue; // conversions on the host, nothing on the air
        if (it == frames.end()) {
            std::fprintf(stderr, "note: %s (%ld calls) has no air time in the bound\n", name.c_str(), count);
            continue;
        }
        for (const Frame f : it->second)
            total += count * std::chrono::duration<double, std::milli>(sim::air::duration(f)).count();
    }
    return total;
}

inline std::string builtLibrary()
{
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/../lib/libqvd.so";
}

} // namespace bench
