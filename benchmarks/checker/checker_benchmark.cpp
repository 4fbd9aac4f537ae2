// checker_benchmark.cpp: routine-check on each library, start to end, beside starting a
// command that does nothing, the floor any command stands on: Ostrum (six routines, each in a
// process of its own in the sandbox) within ten times that floor, Morvane (about fifty calls,
// each writing its trace) and Pettrix (twelve calls) within twenty. Pettrix in its sandbox
// beside the same check without it: the sandbox at most doubles it. A class of 30 Pettrix
// libraries in one command, its checks several at once, beside the same 30 checked one after
// another: at most 0.6 of that time on two processors.
#include "../ratio_reporter.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
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

// One check of `file` against the contract `library`, which every shipped library passes.
void checkLibrary(benchmark::State& state, const char* library, const char* file)
{
    for (auto _ : state)
        if (runQuietly({CHECKER, library, file}) != 0) {
            state.SkipWithError("routine-check did not pass the shipped library");
            break;
        }
}

void checkSampleOstrum(benchmark::State& state)
{
    checkLibrary(state, "Ostrum", SAMPLE_OSTRUM);
}

void checkMorvane(benchmark::State& state)
{
    checkLibrary(state, "Morvane", MORVANE);
}

void checkSamplePettrix(benchmark::State& state)
{
    checkLibrary(state, "Pettrix", SAMPLE_PETTRIX);
}

// The same check with the library's code outside the sandbox: what the sandbox costs.
void checkSamplePettrixNotSandboxed(benchmark::State& state)
{
    for (auto _ : state)
        if (runQuietly({CHECKER, "--no-sandbox", "Pettrix", SAMPLE_PETTRIX}) != 0) {
            state.SkipWithError("routine-check did not pass the shipped library");
            break;
        }
}

constexpr int classSize = 30;

// A class of students' folders, each with a copy of the sample Pettrix, made once; removed at
// the end of the run.
const std::vector<std::string>& classFolders()
{
    static const struct Class {
        std::filesystem::path root;
        std::vector<std::string> folders;
        Class()
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "class-benchmark-XXXXXX").string();
            if (!mkdtemp(pattern.data()))
                return;
            root = pattern;
            for (int i = 0; i < classSize; ++i) {
                const std::filesystem::path folder = root / ("student" + std::to_string(i));
                std::filesystem::create_directory(folder);
                std::filesystem::copy_file(SAMPLE_PETTRIX, folder / "libPettrix.so");
                folders.push_back(folder.string());
            }
        }
        ~Class()
        {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        }
    } made;
    return made.folders;
}

void checkClassInOneCommand(benchmark::State& state)
{
    std::vector<std::string> words{CHECKER, "Pettrix"};
    words.insert(words.end(), classFolders().begin(), classFolders().end());
    for (auto _ : state)
        if (runQuietly(words) != 0) {
            state.SkipWithError("routine-check did not pass the class of shipped libraries");
            break;
        }
}

void checkClassOneAfterAnother(benchmark::State& state)
{
    for (auto _ : state)
        for (const std::string& folder : classFolders())
            if (runQuietly({CHECKER, "Pettrix", folder + "/libPettrix.so"}) != 0) {
                state.SkipWithError("routine-check did not pass a shipped library");
                return;
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
BENCHMARK(checkMorvane)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(checkSamplePettrix)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(checkSamplePettrixNotSandboxed)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(checkClassOneAfterAnother)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(checkClassInOneCommand)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The repetitions of the benchmarks take turns, so that a load that comes and goes on a
    // shared machine falls on each alike; given again on the command line, the option there
    // stands.
    std::vector<char*> arguments(argv, argv + argc);
    char interleaved[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaved);
    arguments.push_back(nullptr);
    int count = argc + 1;
    return runBenchmarksWithRatios(count, arguments.data(), {{"checkSampleOstrum", "startNothing"},
                                                       {"checkMorvane", "startNothing"},
                                                       {"checkSamplePettrix", "startNothing"},
                                                       {"checkSamplePettrix", "checkSamplePettrixNotSandboxed"},
                                                       {"checkClassInOneCommand", "checkClassOneAfterAnother"}});
}
