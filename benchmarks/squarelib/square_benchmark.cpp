// square_benchmark.cpp: one call of Morvane's `square` (open, two records, close) beside plain
// C stdio writing the same two records to the same file. The target is a ratio of at most 1.05.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "../ratio_reporter.h"

#include "opened_library.h"
#include "routine_abi.h"
#include "scratch_directory.h"

namespace {

using SquareRoutine = int32_t(ROUTINE_CALL *)(double *n, double *x, double *y);

SquareRoutine boundSquare()
{
    static OpenedLibrary morvane(MORVANE_LIBRARY);
    return morvane.function<int32_t ROUTINE_CALL(double *, double *, double *)>("square");
}

void squareThroughMorvane(benchmark::State &state)
{
    SquareRoutine square = boundSquare();
    if (!square) {
        state.SkipWithError("could not bind square in " MORVANE_LIBRARY);
        return;
    }
    ScratchDirectory scratch;
    double n = 1, x = 3, y = 0;
    for (auto _ : state) {
        square(&n, &x, &y);
        benchmark::DoNotOptimize(y);
    }
}

void plainStdioBaseline(benchmark::State &state)
{
    ScratchDirectory scratch;
    int n = 1, x = 3, y = 9;
    for (auto _ : state) {
        std::FILE *file = std::fopen("square.dat", "a");
        if (!file) {
            state.SkipWithError("could not open square.dat");
            break;
        }
        std::fprintf(file, " %11d\n", n);
        std::fprintf(file, "x = %5d   y = %5d\n", x, y);
        std::fclose(file);
    }
}

} // namespace

BENCHMARK(plainStdioBaseline);
BENCHMARK(squareThroughMorvane);

int main(int argc, char **argv)
{
    return runBenchmarksWithRatios(argc, argv, {{"squareThroughMorvane", "plainStdioBaseline"}});
}
