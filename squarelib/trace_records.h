// trace_records.h: the two records of "square.dat" that each call of Morvane's square writes,
// as square writes them and as routine-check predicts them: record 1, the whole part of n in
// free layout; record 2, "x = " and "   y = " each followed by a whole part in 5 columns.
#ifndef TRACE_RECORDS_H
#define TRACE_RECORDS_H

#include <string>

#include "record_format.h"

namespace trace_records {

// The value truncated toward zero, or no value when the result would not fit a 32-bit integer
// (NaN included): its field is then filled with asterisks.
record_output::WholeNumber wholePart(double value);

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
std::string record1(double n);
std::string record2(double x, double y);

} // namespace trace_records

#endif // TRACE_RECORDS_H
