// power and scaledSingle build the text of their error report only when they raise the error:
// a call that succeeds allocates nothing. Counted through the replaced operator new of
// allocation_counter.cpp, which this test program alone links.
#include "allocation_counter.h"
#include "arithmetic.h"
#include "runtime_error.h"

#include <gtest/gtest.h>

namespace {

struct SucceedingCall {
    const char* what;
    double (*call)();
};

const SucceedingCall succeedingCalls[] = {
    {"2 ^ 10", [] { return power(2, 10); }},
    {"10 ^ -2", [] { return power(10, -2); }},
    {"0 ^ 0", [] { return power(0, 0); }},
    {"100 * 3 / 7", [] { return double{scaledSingle(100.0f, 3, 7)}; }},
    {"the largest single * 7 / 7", [] { return double{scaledSingle(3.4e38f, 7, 7)}; }},
};

TEST(ArithmeticThatSucceeds, BuildsNoErrorText)
{
    for (const SucceedingCall& row : succeedingCalls) {
        const long before = allocationCount();
        const volatile double result = row.call();
        EXPECT_EQ(allocationCount() - before, 0) << row.what << " gave " << result;
    }
}

TEST(ArithmeticThatFails, StillNamesTheOperation)
{
    const long before = allocationCount();
    EXPECT_THROW(power(0, -1), RuntimeError);
    EXPECT_GT(allocationCount() - before, 0) << "the report of 0 ^ -1 holds its text";
}

} // namespace
