// The Fortran types of routine_abi.f90 against the C types of routine_abi.h: a Fortran routine
// reports each size and offset as the Fortran compiler lays the types out.
#include "routine_abi.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>

extern "C" int32_t report_layout(size_t* entries);

namespace {

struct LayoutRow {
    const char* what;
    size_t inC;
};

// In the order report_layout writes them.
const LayoutRow layoutRows[] = {
    {"size of VARIANT", sizeof(VARIANT)},
    {"VARIANT kind", offsetof(VARIANT, kind)},
    {"VARIANT reserved", offsetof(VARIANT, reserved)},
    {"VARIANT payload", offsetof(VARIANT, value)},
    {"size of SAFEARRAYBOUND", sizeof(SAFEARRAYBOUND)},
    {"SAFEARRAYBOUND elementCount", offsetof(SAFEARRAYBOUND, elementCount)},
    {"SAFEARRAYBOUND lowerBound", offsetof(SAFEARRAYBOUND, lowerBound)},
    {"size of SAFEARRAY", sizeof(SAFEARRAY)},
    {"SAFEARRAY dimensions", offsetof(SAFEARRAY, dimensions)},
    {"SAFEARRAY features", offsetof(SAFEARRAY, features)},
    {"SAFEARRAY elementSize", offsetof(SAFEARRAY, elementSize)},
    {"SAFEARRAY locks", offsetof(SAFEARRAY, locks)},
    {"SAFEARRAY data", offsetof(SAFEARRAY, data)},
    {"SAFEARRAY bounds", offsetof(SAFEARRAY, bounds)},
};

TEST(FortranLayout, EverySizeAndOffsetIsTheCHeaders)
{
    constexpr size_t rows = std::size(layoutRows);
    size_t reported[rows] = {};
    ASSERT_EQ(report_layout(reported), static_cast<int32_t>(rows));
    for (size_t i = 0; i < rows; ++i)
        EXPECT_EQ(reported[i], layoutRows[i].inC) << layoutRows[i].what;
}

} // namespace
