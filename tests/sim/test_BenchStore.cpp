#include "sim/core/AirTiming.h"
#include "sim/core/BenchStore.h"
#include "tests/sim/SimLibrary.h"
#include "tests/support/SimBench.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using simtest::qvd;

std::string slurp(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int beepCount(sim::BenchStore &store, const std::string &reader)
{
    return store.current().find(reader)->peripherals.beepCount;
}

bool addBeep(sim::Bench &bench)
{
    ++bench.find("usb1")->peripherals.beepCount;
    return true;
}

// A temporary folder, removed afterwards.
struct TempFolder {
    std::string path;
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "t7benchstore-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path); }
};

TEST(BenchStore, CreatesTheDefaultBenchAndItsFoldersOnFirstUse)
{
    TempFolder temp;
    sim::BenchStore store(temp.path + "/deep/er/bench.json");
    const sim::Bench &bench = store.current();
    ASSERT_EQ(bench.readers.size(), 4u);
    EXPECT_EQ(bench.readers[0].name, "usb1");
    EXPECT_TRUE(bench.readers[0].cards.count("typea"));
    EXPECT_TRUE(bench.readers[0].cards.count("id125"));
    EXPECT_EQ(bench.readers[1].cards.at("typea").kind, sim::CardKind::S70);
    EXPECT_EQ(bench.readers[3].version.rfind("T5S", 0), 0u);
    EXPECT_TRUE(fs::exists(temp.path + "/deep/er/bench.json"));
}

TEST(BenchStore, DefaultLocationFollowsXdgDataHome)
{
    const char *savedBench = std::getenv("T7SIM_BENCH");
    const std::string bench = savedBench ? savedBench : "";
    const char *savedXdg = std::getenv("XDG_DATA_HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    ::unsetenv("T7SIM_BENCH");
    ::setenv("XDG_DATA_HOME", "/some/data", 1);
    EXPECT_EQ(sim::benchPath(), "/some/data/T7/simulator/bench.json");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(sim::benchPath(), std::string(std::getenv("HOME")) + "/.local/share/T7/simulator/bench.json");
    ::setenv("T7SIM_BENCH", "/else/where.json", 1);
    EXPECT_EQ(sim::benchPath(), "/else/where.json");
    savedBench ? (void)::setenv("T7SIM_BENCH", bench.c_str(), 1) : (void)::unsetenv("T7SIM_BENCH");
    savedXdg ? (void)::setenv("XDG_DATA_HOME", xdg.c_str(), 1) : (void)::unsetenv("XDG_DATA_HOME");
}

TEST(BenchStore, ChangesPersistAndAreSeenByAnotherStore)
{
    TempFolder temp;
    const std::string path = temp.path + "/bench.json";
    sim::BenchStore writer(path);
    sim::BenchStore reader(path);
    EXPECT_EQ(beepCount(reader, "usb1"), 0);
    ASSERT_TRUE(writer.modify(addBeep));
    EXPECT_EQ(beepCount(reader, "usb1"), 1); // re-read because the file changed
    ASSERT_TRUE(writer.modify([](sim::Bench &b) {
        b.find("usb1")->cards.erase("typea");
        return true;
    }));
    EXPECT_FALSE(reader.current().find("usb1")->cards.count("typea"));
    sim::BenchStore fresh(path);
    EXPECT_EQ(beepCount(fresh, "usb1"), 1);
}

TEST(BenchStore, ModifyWorksOnTheLatestContent)
{
    TempFolder temp;
    const std::string path = temp.path + "/bench.json";
    sim::BenchStore a(path);
    sim::BenchStore b(path);
    a.current();
    b.current();
    ASSERT_TRUE(a.modify(addBeep));
    ASSERT_TRUE(b.modify(addBeep)); // b's copy is stale; it must not win
    EXPECT_EQ(beepCount(a, "usb1"), 2);
}

TEST(BenchStore, AFailureBeforeTheRenameLosesNothing)
{
    TempFolder temp;
    const std::string path = temp.path + "/bench.json";
    sim::BenchStore store(path);
    ASSERT_TRUE(store.modify(addBeep));
    const std::string before = slurp(path);
    sim::BenchStore::setBeforeRenameHook([] { throw std::runtime_error("disk pulled"); });
    EXPECT_THROW(store.modify(addBeep), std::runtime_error);
    sim::BenchStore::setBeforeRenameHook(nullptr);
    EXPECT_EQ(slurp(path), before);
    sim::BenchStore other(path);
    EXPECT_EQ(beepCount(other, "usb1"), 1);
    // No temporary files left behind.
    int files = 0;
    for (const auto &entry : fs::directory_iterator(temp.path))
        files += entry.path().filename() != "bench.json.lock";
    EXPECT_EQ(files, 1);
}

TEST(BenchStore, AProcessKilledBetweenWriteAndRenameLeavesTheOldFileWhole)
{
    TempFolder temp;
    const std::string path = temp.path + "/bench.json";
    sim::BenchStore store(path);
    ASSERT_TRUE(store.modify(addBeep));
    const std::string before = slurp(path);
    const pid_t child = ::fork();
    if (child == 0) {
        sim::BenchStore mine(path);
        sim::BenchStore::setBeforeRenameHook([] { ::_exit(9); }); // dies holding the lock
        mine.modify([](sim::Bench &b) {
            b.find("usb1")->cards.clear();
            b.find("usb1")->peripherals.beepCount = 1000;
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 9);
    EXPECT_EQ(slurp(path), before);
    sim::BenchStore after(path);
    EXPECT_EQ(beepCount(after, "usb1"), 1);
    // The lock died with the process.
    EXPECT_TRUE(after.modify(addBeep));
    EXPECT_EQ(beepCount(after, "usb1"), 2);
}

// A writer killed at any moment leaves the old bench or the new one, never a
// torn file, and the next writer clears what it left behind.
TEST(BenchStore, WritersKilledAtRandomPointsNeverTearTheFile)
{
    TempFolder temp;
    const std::string path = temp.path + "/bench.json";
    sim::BenchStore(path).current();
    std::mt19937 random(20261209);
    int last = 0;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            sim::BenchStore mine(path);
            for (;;)
                mine.modify(addBeep);
        }
        // Somewhere within a write: a bench file takes about a millisecond.
        ::usleep(std::uniform_int_distribution<useconds_t>(200, 4000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        sim::BenchStore check(path);
        const int now = beepCount(check, "usb1"); // throws on a torn file
        EXPECT_GE(now, last) << "round " << round;
        last = now;
    }
    sim::BenchStore(path).modify(addBeep);
    int temporaries = 0;
    for (const auto &entry : fs::directory_iterator(temp.path))
        temporaries += entry.path().filename().string().rfind(".bench.json.", 0) == 0;
    EXPECT_EQ(temporaries, 0);
}

TEST(BenchStore, TwoProcessesChangingAtOnceLoseNothing)
{
    TempFolder temp;
    const std::string path = temp.path + "/bench.json";
    sim::BenchStore(path).current();
    constexpr int kRounds = 150;
    const pid_t child = ::fork();
    if (child == 0) {
        sim::BenchStore mine(path);
        for (int i = 0; i < kRounds; ++i)
            mine.modify(addBeep);
        ::_exit(0);
    }
    sim::BenchStore mine(path);
    for (int i = 0; i < kRounds; ++i)
        mine.modify([](sim::Bench &b) {
            ++b.find("usb2")->peripherals.beepCount;
            ++b.find("usb1")->peripherals.beepCount;
            return true;
        });
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    sim::BenchStore check(path);
    EXPECT_EQ(beepCount(check, "usb1"), 2 * kRounds);
    EXPECT_EQ(beepCount(check, "usb2"), kRounds);
}

TEST(BenchStore, AMalformedFileIsReportedNotReplaced)
{
    TempFolder temp;
    const std::string path = temp.path + "/bench.json";
    std::ofstream(path) << "{ \"readers\": [ {\"name\": ";
    sim::BenchStore store(path);
    EXPECT_THROW(store.current(), sim::BenchError);
    EXPECT_THROW(store.modify(addBeep), sim::BenchError);
    EXPECT_EQ(slurp(path), "{ \"readers\": [ {\"name\": ");
}

TEST(BenchStore, LibraryFailsCleanlyOnAMalformedFile)
{
    sim::SimBench bench;
    const int h = qvd().rz_init(100, 0);
    ASSERT_GT(h, 0);
    std::ofstream(bench.benchFile()) << "not json";
    EXPECT_NE(qvd().rz_beep(h, 10), 0);
    EXPECT_EQ(qvd().rz_init(100, 0), -1);
}

TEST(BenchStore, AnotherBenchFileIsAnotherBenchWithNothingOpen)
{
    auto first = std::make_unique<sim::SimBench>();
    const int h = qvd().rz_init(100, 0);
    ASSERT_GT(h, 0);
    unsigned serial = 0;
    ASSERT_EQ(qvd().rz_card(h, 1, &serial), 0);
    sim::SimBench second;
    EXPECT_NE(qvd().rz_beep(h, 10), 0); // the old handle means nothing here
    const int h2 = qvd().rz_init(100, 0);
    EXPECT_GT(h2, 0);
    EXPECT_EQ(qvd().rz_beep(h2, 10), 0);
    first.reset();
}

TEST(BenchStore, BenchFileIsReadableJson)
{
    sim::SimBench bench;
    const std::string text = slurp(bench.benchFile());
    EXPECT_NE(text.find("\"version\": \"T7-U1 V3.2 KORVANE\""), std::string::npos);
    EXPECT_NE(text.find("\"FFFFFFFFFFFFFF078069FFFFFFFFFFFF\""), std::string::npos);
    EXPECT_NE(text.find('\n'), std::string::npos);
}

} // namespace

TEST(AirTiming, TheBenchSettingHoldsUnlessTheEnvironmentSaysOtherwise)
{
    struct Case {
        const char *environment; // T7SIM_TIMING, null: unset
        bool benchSetting;
        bool enabled;
    };
    const Case cases[] = {
        {nullptr, false, false},  {nullptr, true, true},    {"air", false, true},
        {"instant", true, false}, {"anything", true, true}, {"anything", false, false},
    };
    const char *saved = std::getenv("T7SIM_TIMING");
    const std::string keep = saved ? saved : "";
    for (const Case &c : cases) {
        if (c.environment)
            setenv("T7SIM_TIMING", c.environment, 1);
        else
            unsetenv("T7SIM_TIMING");
        EXPECT_EQ(sim::air::enabled(c.benchSetting), c.enabled) << (c.environment ? c.environment : "unset");
    }
    if (saved)
        setenv("T7SIM_TIMING", keep.c_str(), 1);
    else
        unsetenv("T7SIM_TIMING");
}

TEST(AirTiming, T7simSwitchesTheBenchAndAnUnknownSettingIsRefused)
{
    sim::SimBench bench;
    bench.run("timing air");
    EXPECT_NE(bench.run("show").find(", air timing"), std::string::npos);
    bench.run("timing instant");
    EXPECT_EQ(bench.run("show").find(", air timing"), std::string::npos);
    auto json = sim::toJson(sim::defaultBench());
    json["timing"] = "slow";
    EXPECT_ANY_THROW(sim::benchFromJson(json));
}

// A waiter that wakes late by a script of amounts and records what it was asked.
namespace
{
std::vector<sim::air::Duration> asked;
std::vector<sim::air::Duration> lateness;

sim::air::Duration scriptedWait(sim::air::Duration duration)
{
    asked.push_back(duration);
    const sim::air::Duration late = lateness.empty() ? sim::air::Duration(0) : lateness.front();
    if (!lateness.empty())
        lateness.erase(lateness.begin());
    return late;
}
} // namespace

TEST(AirTiming, WhatOneWaitOversleepsTheNextOnesGiveBackUpToACap)
{
    using us = sim::air::Duration;
    struct Case {
        const char *name;
        std::vector<us> late;     // how late each wait wakes
        std::vector<us> expected; // what the clock asks of each wait for 2500 us frames
    };
    const std::vector<Case> cases = {
        {"on time", {us(0), us(0), us(0)}, {us(2500), us(2500), us(2500)}},
        {"late once", {us(300), us(0), us(0)}, {us(2500), us(2200), us(2500)}},
        {"late by more than a frame", {us(4000), us(0), us(0)}, {us(2500), us(0), us(1000)}},
        {"a long stall is owed only up to 10 ms",
         {us(60000), us(0), us(0), us(0), us(0), us(0)},
         {us(2500), us(0), us(0), us(0), us(0), us(2500)}},
    };
    for (const Case &c : cases) {
        asked.clear();
        lateness = c.late;
        sim::air::Clock clock(&scriptedWait);
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            clock.pass(us(2500));
        EXPECT_EQ(asked, c.expected) << c.name;
    }
}
