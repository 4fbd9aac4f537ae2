// trace_records.cpp: the records of Morvane's trace, made by the record output's own formatting.
#include "trace_records.h"

#include <cstdint>

namespace trace_records {

// The cast truncates whatever the rounding direction, and is reached only inside the range,
// where it is defined; NaN fails both comparisons.
record_output::WholeNumber wholePart(double value)
{
    if (value > -2147483649.0 && value < 2147483648.0)
        return static_cast<std::int32_t>(value);
    return std::nullopt;
}

std::string record1(double n)
{
    return record_output::listDirectedRecord({wholePart(n)});
}

std::string record2(double x, double y)
{
    return record_output::formattedRecord(record2Format, {wholePart(x), wholePart(y)});
}

} // namespace trace_records
