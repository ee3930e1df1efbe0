#include "sim/core/BenchStore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim
{

namespace fs = std::filesystem;

std::string benchPath()
{
    if (const char *env = std::getenv("T7SIM_BENCH"); env && *env)
        return env;
    std::string base;
    if (const char *xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char *home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = "/tmp";
    return base + "/T7/simulator/bench.json";
}

namespace
{

std::function<void()> &beforeRenameHook()
{
    static std::function<void()> hook;
    return hook;
}

std::string systemError(const std::string &what, const std::string &path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

void BenchStore::setBeforeRenameHook(std::function<void()> hook)
{
    beforeRenameHook() = std::move(hook);
}

bool BenchStore::Stamp::operator==(const Stamp &o) const
{
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size && seconds == o.seconds &&
           nanoseconds == o.nanoseconds;
}

// An exclusive flock on "<bench>.lock", held for its lifetime.
class BenchStore::FileLock
{
public:
    explicit FileLock(const std::string &benchFile)
    {
        const std::string lockFile = benchFile + ".lock";
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            throw BenchError(systemError("cannot open lock file", lockFile));
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                throw BenchError(systemError("cannot lock", lockFile));
            }
        }
    }
    ~FileLock() { ::close(fd_); } // closing releases the lock
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

private:
    int fd_ = -1;
};

BenchStore::BenchStore(std::string path) : path_(std::move(path)) {}

BenchStore::Stamp BenchStore::stampNow() const
{
    Stamp s;
    struct stat st {
    };
    if (::stat(path_.c_str(), &st) != 0)
        return s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.seconds = st.st_mtim.tv_sec;
    s.nanoseconds = st.st_mtim.tv_nsec;
    return s;
}

void BenchStore::loadFromDisk()
{
    // The file is only ever replaced by rename, so an open file is whole.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw BenchError(systemError("cannot open bench file", path_));
    struct stat st {
    };
    ::fstat(fd, &st);
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(fd);
    try {
        bench_ = benchFromJson(nlohmann::ordered_json::parse(text));
    } catch (const std::exception &e) {
        throw BenchError("bench file " + path_ + " is not a valid bench: " + e.what());
    }
    stamp_.exists = true;
    stamp_.device = st.st_dev;
    stamp_.inode = st.st_ino;
    stamp_.size = st.st_size;
    stamp_.seconds = st.st_mtim.tv_sec;
    stamp_.nanoseconds = st.st_mtim.tv_nsec;
    loaded_ = true;
}

namespace
{

// Every writer holds the file lock, so a temporary file found while holding
// it was left by a writer that died before its rename.
void removeLeftTemporaries(const fs::path &target)
{
    const std::string prefix = "." + target.filename().string() + ".";
    std::error_code ec;
    for (const fs::directory_entry &entry : fs::directory_iterator(target.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            fs::remove(entry.path(), ec);
    }
}

} // namespace

void BenchStore::save(const Bench &bench)
{
    const fs::path target(path_);
    removeLeftTemporaries(target);
    const std::string temp = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    std::string name = temp;
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw BenchError(systemError("cannot create a temporary file beside", path_));
    const std::string text = toJson(bench).dump(1) + "\n";
    bool ok = true;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR)
            ok = false;
    }
    ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        const std::string reason = systemError("cannot write", name);
        ::unlink(name.c_str());
        throw BenchError(reason);
    }
    try {
        if (beforeRenameHook())
            beforeRenameHook()();
    } catch (...) {
        ::unlink(name.c_str());
        throw;
    }
    if (::rename(name.c_str(), path_.c_str()) != 0) {
        const std::string reason = systemError("cannot replace", path_);
        ::unlink(name.c_str());
        throw BenchError(reason);
    }
    // Make the rename itself durable.
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    bench_ = bench;
    stamp_ = stampNow();
    loaded_ = true;
}

void BenchStore::createIfMissing()
{
    std::error_code ec;
    fs::create_directories(fs::path(path_).parent_path(), ec);
    if (ec)
        throw BenchError("cannot create the folder of " + path_ + ": " + ec.message());
    const FileLock lock(path_);
    if (!stampNow().exists)
        save(defaultBench());
}

const Bench &BenchStore::current()
{
    Stamp now = stampNow();
    if (!now.exists) {
        createIfMissing();
        now = stampNow();
    }
    if (!loaded_ || !(now == stamp_))
        loadFromDisk();
    return bench_;
}

bool BenchStore::modify(const std::function<bool(Bench &)> &change)
{
    if (!stampNow().exists)
        createIfMissing();
    const FileLock lock(path_);
    if (!loaded_ || !(stampNow() == stamp_))
        loadFromDisk();
    Bench copy = bench_;
    if (!change(copy))
        return false;
    save(copy);
    return true;
}

void BenchStore::reset()
{
    std::error_code ec;
    fs::create_directories(fs::path(path_).parent_path(), ec);
    const FileLock lock(path_);
    save(defaultBench());
}

} // namespace sim
