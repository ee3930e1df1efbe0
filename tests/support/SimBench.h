// A private simulated bench for one test: a temporary folder with its own
// bench file, selected through T7SIM_BENCH and reset to the default bench.
// The destructor puts the variable back and removes the folder.
#pragma once

#include <string>

namespace sim
{

class SimBench
{
public:
    SimBench();
    ~SimBench();
    SimBench(const SimBench &) = delete;
    SimBench &operator=(const SimBench &) = delete;

    // Runs t7sim with these arguments (split at blanks) and returns its
    // standard output; a non-zero exit status is a test failure.
    std::string run(const std::string &args);
    // Runs t7sim; returns its exit status and, when asked, standard output
    // followed by standard error.
    int status(const std::string &args, std::string *output = nullptr);

    const std::string &folder() const { return folder_; }
    const std::string &benchFile() const { return benchFile_; }
    // The t7sim executable these runs use.
    static std::string toolPath();

private:
    std::string folder_;
    std::string benchFile_;
    bool hadPrevious_ = false;
    std::string previous_;
};

} // namespace sim
