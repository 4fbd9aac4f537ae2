// checker_benchmark.cpp: `routine-check Ostrum` on the sample library, start to end: six
// routines, each called twice in a process of its own. The target is well under a second.
// Beside it, starting a command that does nothing, the floor any command stands on.
#include "../ratio_reporter.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

// Runs the command with its output thrown away; its exit status, or -1.
int runQuietly(std::vector<std::string> words)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void checkSampleOstrum(benchmark::State& state)
{
    for (auto _ : state)
        if (runQuietly({CHECKER, "Ostrum", SAMPLE_OSTRUM}) != 0) {
            state.SkipWithError("routine-check did not pass the sample Ostrum");
            break;
        }
}

void startNothing(benchmark::State& state)
{
    for (auto _ : state)
        runQuietly({"/bin/true"});
}

} // namespace

BENCHMARK(startNothing)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(checkSampleOstrum)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runBenchmarksWithRatios(argc, argv, {{"checkSampleOstrum", "startNothing"}});
}
