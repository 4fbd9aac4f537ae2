// trace_records.h: the two records of "square.dat" that each call of Morvane's square writes,
// as square writes them and as routine-check predicts them: record 1, the whole part of n in
// free layout; record 2, "x = " and "   y = " each followed by a whole part in 5 columns.
#ifndef TRACE_RECORDS_H
#define TRACE_RECORDS_H

#include <cstdint>
#include <string>

#include "record_format.h"

namespace trace_records {

// The value truncated toward zero, or no value when the result would not fit a 32-bit integer
// (NaN included): its field is then filled with asterisks. The cast truncates whatever the
// rounding direction, and is reached only inside the range, where it is defined; NaN fails both
// comparisons.
inline record_output::WholeNumber wholePart(double value)
{
    if (value > -2147483649.0 && value < 2147483648.0)
        return static_cast<std::int32_t>(value);
    return std::nullopt;
}

// Record 2's format: "x = ", the whole part of x in 5 columns, "   y = ", the whole part of y
// in 5 columns.
inline constexpr record_output::Field record2Format[] = {
    record_output::textField("x = "),
    record_output::integerField(5, 1),
    record_output::textField("   y = "),
    record_output::integerField(5, 1),
};

// The records' characters, without their line ends: record 1 for n ("           1"), record 2
// for x and y as they are read after y has been stored ("x =     3   y =     9").
inline std::string record1(double n)
{
    return record_output::listDirectedRecord({wholePart(n)});
}

inline std::string record2(double x, double y)
{
    return record_output::formattedRecord(record2Format, {wholePart(x), wholePart(y)});
}

} // namespace trace_records

#endif // TRACE_RECORDS_H
