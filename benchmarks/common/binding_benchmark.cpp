// A call through the routine binding beside a call of the same routine through a plain
// function pointer, and a 20-character text through its 8-bit copy and back. Allocations
// per call are counted too: once bound, a call allocates nothing.
#include "allocation_counter.h"
#include "ansi_copy.h"
#include "opened_library.h"
#include "routine_binding.h"
#include "../ratio_reporter.h"

#include <filesystem>

namespace {

void callThroughFunctionPointer(benchmark::State& state)
{
    OpenedLibrary library((std::filesystem::path(programDirectory()) / "libBenchRoutine.so").string());
    auto* add = library.function<void ROUTINE_CALL(int16_t*, int16_t*, int16_t*)>("benchAdd");
    if (!add) {
        state.SkipWithError(library.failure().c_str());
        return;
    }
    int16_t a = 2, b = 3, sum = 0;
    const long before = allocationCount();
    for (auto _ : state) {
        add(&a, &b, &sum);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["allocations"] = benchmark::Counter(double(allocationCount() - before),
                                                       benchmark::Counter::kAvgIterations);
}

Routine<void ROUTINE_CALL(int16_t*, int16_t*, int16_t*)> benchAdd{"BenchRoutine", "benchAdd"};

void callThroughBinding(benchmark::State& state)
{
    int16_t a = 2, b = 3, sum = 0;
    benchAdd(&a, &b, &sum); // binds the library and the routine
    const long before = allocationCount();
    for (auto _ : state) {
        benchAdd(&a, &b, &sum);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["allocations"] = benchmark::Counter(double(allocationCount() - before),
                                                       benchmark::Counter::kAvgIterations);
}

void textThroughAnsiCopy(benchmark::State& state)
{
    const std::u16string text = u"aaaa                ";
    for (auto _ : state) {
        AnsiCopy copy(text);
        benchmark::DoNotOptimize(copy.data());
        std::u16string back = copy.text();
        benchmark::DoNotOptimize(back.data());
    }
}

void textCopiedAsIs(benchmark::State& state)
{
    const std::u16string text = u"aaaa                ";
    for (auto _ : state) {
        std::u16string copy = text;
        benchmark::DoNotOptimize(copy.data());
    }
}

} // namespace

BENCHMARK(callThroughFunctionPointer);
BENCHMARK(callThroughBinding);
BENCHMARK(textCopiedAsIs);
BENCHMARK(textThroughAnsiCopy);

int main(int argc, char** argv)
{
    return runBenchmarksWithRatios(
        argc, argv, {{"callThroughBinding", "callThroughFunctionPointer"}, {"textThroughAnsiCopy", "textCopiedAsIs"}});
}
