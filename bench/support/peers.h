#pragma once

// What the benchmarks that run a peer program side by side share: starting the peer with its
// output thrown away, and the real time of each benchmark for the closing ratios.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace benchsupport {

// Runs a program found on PATH with its standard output sent to /dev/null and waits for it;
// false when it cannot be started.
inline bool runQuietly(std::vector<std::string> args)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (started)
        ::waitpid(pid, &status, 0);
    return started;
}

// Keeps the real time of each benchmark, in seconds, by its name.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration)
                seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / 1000.0;
        ConsoleReporter::ReportRuns(runs);
    }

    // The time of a benchmark registered with UseRealTime(), or 0 when it did not run.
    double realTime(const std::string &name) const
    {
        const auto found = seconds.find(name + "/real_time");
        return found == seconds.end() ? 0 : found->second;
    }
};

} // namespace benchsupport
