// Runs the registered benchmarks and, after the usual table, prints how each named pair
// compares: the first benchmark's time divided by the second's, both measured in this run, in
// real time and in CPU time (on a loaded machine the real time holds the waits for a core).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs) : pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                times_[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [measured, baseline] : pairs_) {
            const auto a = times_.find(measured), b = times_.find(baseline);
            if (a != times_.end() && b != times_.end() && b->second.real > 0 && b->second.cpu > 0)
                std::printf("ratio %s / %s = %.2f (CPU time %.2f)\n", measured.c_str(), baseline.c_str(),
                            a->second.real / b->second.real, a->second.cpu / b->second.cpu);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> times_;
};

inline int runBenchmarksWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
