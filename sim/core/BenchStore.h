// The bench file on disk: where it lives, reading it when it changed, and
// read-modify-write under a lock with an atomic replace, so the library and
// t7sim in other processes never lose each other's changes.
#pragma once

#include "sim/core/Bench.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <sys/types.h>

namespace sim
{

// T7SIM_BENCH, else $XDG_DATA_HOME/T7/simulator/bench.json, else
// ~/.local/share/T7/simulator/bench.json.
std::string benchPath();

struct BenchError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class BenchStore
{
public:
    explicit BenchStore(std::string path);

    const std::string &path() const { return path_; }

    // The bench as on disk now: re-read when the file changed since the last
    // look, created with the default bench when missing. Throws BenchError.
    const Bench &current();
    // The bench as current() last left it, without looking at the file again.
    const Bench &lastRead() const { return bench_; }

    // Runs `change` on the latest bench under the file lock; saves when it
    // returns true. Returns what `change` returned. Throws BenchError.
    bool modify(const std::function<bool(Bench &)> &change);

    // Replaces the bench with the default one.
    void reset();

    // Test hook: runs after the new content is written and synced, before
    // the rename that makes it visible.
    static void setBeforeRenameHook(std::function<void()> hook);

private:
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long seconds = 0;
        long nanoseconds = 0;
        bool operator==(const Stamp &o) const;
    };

    class FileLock;

    Stamp stampNow() const;
    void loadFromDisk();
    void save(const Bench &bench);
    void createIfMissing();

    std::string path_;
    Bench bench_;
    Stamp stamp_;
    bool loaded_ = false;
};

} // namespace sim
