// square.cpp: Morvane's one routine. It stores the square of x, rounded to a 32-bit real,
// into y, and leaves a two-record trace of the call at the end of "square.dat".
#include <cfenv>
#include <cstdint>

#include "record_output.h"
#include "routine_abi.h"
#include "trace_records.h"

namespace {

constexpr int traceUnit = 10;

} // namespace

// n and x are only read; y is written once. The trace layer absorbs its own failures, so
// the result is always 0.
extern "C" ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    record_output::Connection trace = record_output::open(traceUnit, "square.dat");
    trace.writeListDirected({trace_records::wholePart(*n)});

    // Nearest, ties to even, whatever direction the caller has set. y is stored before the
    // caller's direction is put back, so the multiply and the narrowing stay in between.
    const int callerRounding = std::fegetround();
    std::fesetround(FE_TONEAREST);
    *y = static_cast<float>(*x * *x);
    std::fesetround(callerRounding);

    trace.writeFormatted(trace_records::record2Format,
                         {trace_records::wholePart(*x), trace_records::wholePart(*y)});
    trace.close();
    return 0;
}
