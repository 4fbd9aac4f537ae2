// square.cpp: Morvane's one routine. It stores the square of x, rounded to a 32-bit real,
// into y, and leaves a two-record trace of the call at the end of "square.dat".
#include <cfenv>
#include <cstdint>

#include "record_output.h"
#include "routine_abi.h"

namespace {

constexpr int traceUnit = 10;

// Record 2: "x = ", the whole part of x in 5 columns, "   y = ", the whole part of y in 5 columns.
constexpr record_output::Field traceLineFormat[] = {
    record_output::textField("x = "),
    record_output::integerField(5, 1),
    record_output::textField("   y = "),
    record_output::integerField(5, 1),
};

// The value truncated toward zero, or no value when the result would not fit a 32-bit
// integer (NaN fails both comparisons). The cast truncates whatever the rounding direction,
// and is reached only inside the range, where it is defined.
record_output::WholeNumber wholePart(double value)
{
    if (value > -2147483649.0 && value < 2147483648.0)
        return static_cast<std::int32_t>(value);
    return std::nullopt;
}

} // namespace

// n and x are only read; y is written once. The trace layer absorbs its own failures, so
// the result is always 0.
extern "C" ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y)
{
    record_output::Connection trace = record_output::open(traceUnit, "square.dat");
    trace.writeListDirected({wholePart(*n)});

    // Nearest, ties to even, whatever direction the caller has set. y is stored before the
    // caller's direction is put back, so the multiply and the narrowing stay in between.
    const int callerRounding = std::fegetround();
    std::fesetround(FE_TONEAREST);
    *y = static_cast<float>(*x * *x);
    std::fesetround(callerRounding);

    trace.writeFormatted(traceLineFormat, {wholePart(*x), wholePart(*y)});
    trace.close();
    return 0;
}
