#include "tests/support/SimBench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sim
{
namespace
{

std::vector<std::string> splitArgs(const std::string &args)
{
    std::vector<std::string> words;
    std::istringstream in(args);
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return text;
}

// Runs the tool; stdout into *out, stderr into *err. Returns the exit status
// (or 128 + signal, or -1 when it could not be started).
int runTool(const std::vector<std::string> &words, std::string *out, std::string *err)
{
    const std::string tool = SimBench::toolPath();
    int outPipe[2];
    int errPipe[2];
    if (::pipe(outPipe) != 0)
        return -1;
    if (::pipe(errPipe) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return -1;
    }
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(tool.c_str()));
    for (const std::string &w : words)
        argv.push_back(const_cast<char *>(w.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        ::close(errPipe[0]);
        ::close(errPipe[1]);
        ::execv(tool.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return -1;
    }
    // stderr is small; read stdout fully first, then stderr.
    *out = readAll(outPipe[0]);
    *err = readAll(errPipe[0]);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    int wstatus = 0;
    while (::waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(wstatus))
        return WEXITSTATUS(wstatus);
    if (WIFSIGNALED(wstatus))
        return 128 + WTERMSIG(wstatus);
    return -1;
}

} // namespace

std::string SimBench::toolPath()
{
    if (const char *env = std::getenv("T7SIM_TOOL"); env && *env)
        return env;
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / ".." / "bin" / "t7sim").lexically_normal().string();
}

SimBench::SimBench()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "t7simbench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("SimBench: cannot make a temporary folder");
    folder_ = pattern;
    benchFile_ = folder_ + "/bench.json";
    if (const char *previous = std::getenv("T7SIM_BENCH")) {
        hadPrevious_ = true;
        previous_ = previous;
    }
    ::setenv("T7SIM_BENCH", benchFile_.c_str(), 1);
    run("reset");
}

SimBench::~SimBench()
{
    if (hadPrevious_)
        ::setenv("T7SIM_BENCH", previous_.c_str(), 1);
    else
        ::unsetenv("T7SIM_BENCH");
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

std::string SimBench::run(const std::string &args)
{
    std::string out;
    std::string err;
    const int rc = runTool(splitArgs(args), &out, &err);
    if (rc != 0)
        ADD_FAILURE() << "t7sim " << args << " exited with " << rc << ": " << err;
    return out;
}

int SimBench::status(const std::string &args, std::string *output)
{
    std::string out;
    std::string err;
    const int rc = runTool(splitArgs(args), &out, &err);
    if (output)
        *output = out + err;
    return rc;
}

} // namespace sim
