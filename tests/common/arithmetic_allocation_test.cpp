// power and scaledSingle build the text of their error report only when they raise the error:
// a call that succeeds allocates nothing. Counted through the replaced operator new of
// allocation_counter.cpp, which this test program alone links. (The error texts themselves
// are checked in conversions_test.cpp.)
#include "allocation_counter.h"
#include "arithmetic.h"

#include <gtest/gtest.h>

namespace {

struct SucceedingCall {
    const char* what;
    double (*call)();
};

// Operands whose texts are too long for a string to hold without allocating.
const SucceedingCall succeedingCalls[] = {
    {"1.23456789012345 ^ 2", [] { return power(1.23456789012345, 2); }},
    {"10 ^ -2.71828182845905", [] { return power(10, -2.71828182845905); }},
    {"1.234567 * 32767 / 32767", [] { return double{scaledSingle(1.234567f, 32767, 32767)}; }},
    {"the largest single * 32767 / 32767", [] { return double{scaledSingle(3.4e38f, 32767, 32767)}; }},
};

TEST(ArithmeticThatSucceeds, BuildsNoErrorText)
{
    for (const SucceedingCall& row : succeedingCalls) {
        const long before = allocationCount();
        const volatile double result = row.call();
        EXPECT_EQ(allocationCount() - before, 0) << row.what << " gave " << result;
    }
}

} // namespace
