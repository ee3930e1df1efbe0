#include "tests/support/FakeReader.h"

#include "reader/QvdLibrary.h"

#include <sstream>

namespace fake
{
namespace
{

FakeReader *g_current = nullptr;

template <typename T> void formatArg(std::ostringstream &out, T value)
{
    if constexpr (std::is_pointer_v<T>)
        out << '*';
    else
        out << static_cast<long long>(value);
}

template <typename Pfn, const char *Name> struct Thunk;
template <typename... A, const char *Name> struct Thunk<int (*)(A...), Name> {
    static int call(A... args)
    {
        FakeReader *reader = FakeReader::current();
        if (!reader)
            return qvd::kUnresolved;
        std::ostringstream text;
        text << Name << '(';
        bool first = true;
        ((text << (first ? "" : ","), formatArg(text, args), first = false), ...);
        text << ')';
        reader->record(text.str());
        typename Signature<int (*)(A...)>::Function handler;
        if (reader->handler<int (*)(A...)>(Name, &handler))
            return handler(args...);
        return reader->defaultResult(Name);
    }
};

#define FAKE_NAME(name) constexpr char kName_##name[] = #name;
QVD_FOR_EACH_ENTRY_POINT(FAKE_NAME)
#undef FAKE_NAME

void *resolve(const char *name)
{
    if (!g_current || g_current->removed(name))
        return nullptr;
#define FAKE_RESOLVE(entry)                                                                                            \
    if (std::string(name) == #entry)                                                                                   \
        return reinterpret_cast<void *>(&Thunk<PFN_##entry, kName_##entry>::call);
    QVD_FOR_EACH_ENTRY_POINT(FAKE_RESOLVE)
#undef FAKE_RESOLVE
    return nullptr;
}

} // namespace

FakeReader::FakeReader()
{
    g_current = this;
    qvd::setSymbolResolver(&resolve);
}

FakeReader::~FakeReader()
{
    qvd::clearSymbolResolver();
    g_current = nullptr;
}

FakeReader *FakeReader::current()
{
    return g_current;
}

void FakeReader::returns(const std::string &name, int result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    results_[name] = result;
}

void FakeReader::remove(const std::string &name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    removed_.insert(name);
}

bool FakeReader::removed(const char *name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return removed_.count(name) != 0;
}

int FakeReader::defaultResult(const std::string &name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = results_.find(name);
    return it == results_.end() ? 0 : it->second;
}

void FakeReader::record(std::string call)
{
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(std::move(call));
}

std::vector<std::string> FakeReader::calls() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<std::string> FakeReader::callsTo(const std::set<std::string> &names) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> kept;
    for (const std::string &call : calls_)
        if (names.count(call.substr(0, call.find('('))))
            kept.push_back(call);
    return kept;
}

int FakeReader::count(const std::string &name) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (const std::string &call : calls_)
        if (call.compare(0, name.size() + 1, name + "(") == 0)
            ++n;
    return n;
}

void FakeReader::clearCalls()
{
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

} // namespace fake
