// square_test.cpp: Morvane's `square` as a client reaches it: the library loaded by its file
// name, the routine found by its exported name, every check on the bits of y and the bytes
// of "square.dat".
#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "opened_library.h"
#include "routine_abi.h"
#include "scratch_directory.h"
#include "trace_records.h"

namespace {

using SquareRoutine = int32_t(ROUTINE_CALL *)(double *n, double *x, double *y);

// The library stays loaded for the whole run, as a client keeps it.
OpenedLibrary morvane(MORVANE_LIBRARY);

std::uint64_t bits(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

// Each test runs in its own empty current directory, where "square.dat" does not exist yet.
class SquareTest : public testing::Test {
protected:
    void SetUp() override
    {
        square = morvane.function<int32_t ROUTINE_CALL(double *, double *, double *)>("square");
        ASSERT_NE(square, nullptr) << morvane.failure();
    }

    ScratchDirectory scratch;
    SquareRoutine square = nullptr;
};

// ---- One call: the bits of y and the two records ---------------------------------------

struct EdgeCase {
    const char *what;
    double n;
    double x;
    double y; // compared bit for bit
    const char *record1;
    const char *record2;
};

// Record 1 is one blank and the whole part of n right-aligned in 11 columns.
const EdgeCase edgeCases[] = {
    {"3 squares exactly", 1, 3, 9.0, "           1", "x =     3   y =     9"},
    {"1.1 keeps a 24-bit significand", 1, 1.1, 1.2100000381469727, "           1", "x =     1   y =     1"},
    {"2.5 truncates, not rounds", 1, 2.5, 6.25, "           1", "x =     2   y =     6"},
    {"-2.7 truncates toward zero", 1, -2.7, 7.289999961853027, "           1", "x =    -2   y =     7"},
    {"zero", 1, 0.0, 0.0, "           1", "x =     0   y =     0"},
    {"minus zero squares to plus zero", 1, -0.0, 0.0, "           1", "x =     0   y =     0"},
    {"316 squared fills the y field", 1, 316, 99856.0, "           1", "x =   316   y = 99856"},
    {"317 squared overflows the y field", 1, 317, 100489.0, "           1", "x =   317   y = *****"},
    // 99980001 lies between the 32-bit reals 99980000 and 99980008, nearer the first.
    {"-9999 fills the x field; y rounds to 32 bits", 1, -9999, 99980000.0, "           1", "x = -9999   y = *****"},
    {"-10000 overflows both fields", 1, -10000, 100000000.0, "           1", "x = *****   y = *****"},
    {"n 1.9 truncates to 1", 1.9, 3, 9.0, "           1", "x =     3   y =     9"},
    {"n -1.9 truncates to -1", -1.9, 3, 9.0, "          -1", "x =     3   y =     9"},
    {"n just under 2^31", 2147483647.9, 3, 9.0, "  2147483647", "x =     3   y =     9"},
    {"n just above -2^31 - 1", -2147483648.9, 3, 9.0, " -2147483648", "x =     3   y =     9"},
    {"n 2^31 has no 32-bit whole part", 2147483648.0, 3, 9.0, " ***********", "x =     3   y =     9"},
    {"n -2^31 - 1 has no 32-bit whole part", -2147483649.0, 3, 9.0, " ***********", "x =     3   y =     9"},
    {"n not a number", notANumber, 3, 9.0, " ***********", "x =     3   y =     9"},
    {"n infinite", -infinity, 3, 9.0, " ***********", "x =     3   y =     9"},
    // 1e20 is not a 32-bit real; the nearest one is 100000002004087734272.
    {"x 1e10 is beyond 32-bit whole parts", 1, 1e10, 100000002004087734272.0, "           1", "x = *****   y = *****"},
    {"a square beyond 32-bit reals is infinite", 1, 1e20, infinity, "           1", "x = *****   y = *****"},
};

TEST_F(SquareTest, EdgeCasesGiveExactResultAndRecords)
{
    for (const EdgeCase &edge : edgeCases) {
        SCOPED_TRACE(edge.what);
        std::filesystem::remove("square.dat");
        double n = edge.n;
        double x = edge.x;
        double y = -123.0;

        EXPECT_EQ(square(&n, &x, &y), 0);

        EXPECT_EQ(bits(y), bits(edge.y)) << "y is " << y;
        EXPECT_EQ(bits(n), bits(edge.n)) << "n was written";
        EXPECT_EQ(bits(x), bits(edge.x)) << "x was written";
        EXPECT_EQ(fileBytes("square.dat"), std::string(edge.record1) + "\n" + edge.record2 + "\n");
        // routine-check predicts the records with the trace's own formatting.
        EXPECT_EQ(fileBytes("square.dat"), trace_records::record1(n) + "\n" + trace_records::record2(x, y) + "\n");
    }
}

TEST_F(SquareTest, NotANumberGivesNotANumberAndAsterisks)
{
    double n = 1;
    double x = notANumber;
    double y = 0;

    EXPECT_EQ(square(&n, &x, &y), 0);

    EXPECT_TRUE(std::isnan(y)) << "y is " << y;
    EXPECT_EQ(fileBytes("square.dat"), "           1\nx = *****   y = *****\n");
}

// ---- The caller's rounding direction ------------------------------------------------------

struct DirectionCase {
    const char *what;
    int direction;
    double x;
    double y;
    const char *record2;
};

// Each row would show a different y, or a different whole part, if the caller's direction
// leaked into the square or the truncation.
const DirectionCase directionCases[] = {
    // Upward would give 7.2900004386901855, and a y field of 8.
    {"upward", FE_UPWARD, -2.7, 7.289999961853027, "x =    -2   y =     7"},
    // Toward zero would give 1.2099999189376831.
    {"toward zero", FE_TOWARDZERO, 1.1, 1.2100000381469727, "x =     1   y =     1"},
    // Downward would give an x field of -3.
    {"downward", FE_DOWNWARD, -2.7, 7.289999961853027, "x =    -2   y =     7"},
};

TEST_F(SquareTest, CallerRoundingDirectionNeitherUsedNorChanged)
{
    for (const DirectionCase &row : directionCases) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove("square.dat");
        double n = 1;
        double x = row.x;
        double y = 0;

        ASSERT_EQ(std::fesetround(row.direction), 0);
        const int result = square(&n, &x, &y);
        const int directionAfter = std::fegetround();
        std::fesetround(FE_TONEAREST);

        EXPECT_EQ(result, 0);
        EXPECT_EQ(directionAfter, row.direction) << "square left another rounding direction";
        EXPECT_EQ(bits(y), bits(row.y)) << "y is " << y;
        EXPECT_EQ(fileBytes("square.dat"), std::string("           1\n") + row.record2 + "\n");
    }
}

// ---- x and y at the same address --------------------------------------------------------

struct SharedAddressCase {
    double value;
    double square;
    const char *record2;
};

// The input is replaced before record 2 is written, so both fields show the square.
const SharedAddressCase sharedAddressCases[] = {
    {3, 9.0, "x =     9   y =     9"},
    {-2.7, 7.289999961853027, "x =     7   y =     7"},
    {317, 100489.0, "x = *****   y = *****"},
};

TEST_F(SquareTest, SameAddressForXAndYShowsTheSquareTwice)
{
    for (const SharedAddressCase &row : sharedAddressCases) {
        SCOPED_TRACE(row.value);
        std::filesystem::remove("square.dat");
        double n = 2;
        double value = row.value;

        EXPECT_EQ(square(&n, &value, &value), 0);

        EXPECT_EQ(bits(value), bits(row.square));
        EXPECT_EQ(fileBytes("square.dat"), std::string("           2\n") + row.record2 + "\n");
    }
}

// ---- The trace file over several calls --------------------------------------------------

TEST_F(SquareTest, EachCallAppendsItsRecords)
{
    std::FILE *earlier = std::fopen("square.dat", "w");
    ASSERT_NE(earlier, nullptr);
    std::fputs("earlier\n", earlier);
    std::fclose(earlier);

    double n = 1, x = 3, y = 0;
    square(&n, &x, &y);
    n = -4, x = 2.5;
    square(&n, &x, &y);

    EXPECT_EQ(fileBytes("square.dat"),
              "earlier\n"
              "           1\nx =     3   y =     9\n"
              "          -4\nx =     2   y =     6\n");
}

// ---- A trace that cannot be written -----------------------------------------------------

struct BlockedTrace {
    const char *what;
    void (*block)();
};

const BlockedTrace blockedTraces[] = {
    {"square.dat is a directory", [] { std::filesystem::create_directory("square.dat"); }},
    {"square.dat leads into a missing directory",
     [] { std::filesystem::create_symlink("missing/directory/square.dat", "square.dat"); }},
    {"the disk is full", [] { std::filesystem::create_symlink("/dev/full", "square.dat"); }},
};

TEST_F(SquareTest, UnwritableTraceStillGivesResult)
{
    for (const BlockedTrace &row : blockedTraces) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove_all("square.dat");
        row.block();
        double n = 1, x = -2.7, y = 0;

        EXPECT_EQ(square(&n, &x, &y), 0);

        EXPECT_EQ(bits(y), bits(7.289999961853027));
        EXPECT_EQ(std::fegetround(), FE_TONEAREST);
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator("."))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"square.dat"}) << "the trace went somewhere else";

        // The failed call released the trace unit: the next call writes normally.
        std::filesystem::remove_all("square.dat");
        x = 3;
        EXPECT_EQ(square(&n, &x, &y), 0);
        EXPECT_EQ(fileBytes("square.dat"), "           1\nx =     3   y =     9\n");
    }
}

// ---- Calls from several threads at once ---------------------------------------------------

TEST_F(SquareTest, OverlappingCallsKeepEveryPairOfRecordsWhole)
{
    constexpr int threadCount = 4;
    constexpr int callsPerThread = 250;

    // Call i of thread t has n = 1000 t + i and x = i, so each pair says which call wrote it.
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < callsPerThread; ++i) {
                double n = 1000.0 * t + i, x = i, y = 0;
                square(&n, &x, &y);
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();

    const std::vector<std::string> lines = fileLines("square.dat");
    ASSERT_EQ(lines.size(), 2u * threadCount * callsPerThread);

    std::set<int> callsSeen;
    for (std::size_t k = 0; k < lines.size(); k += 2) {
        ASSERT_EQ(lines[k].size(), 12u) << "record 1 at line " << k + 1 << ": " << lines[k];
        const int n = std::stoi(lines[k]);
        const int i = n % 1000;
        // The exact columns are checked call by call above; here record 2 must be whole and
        // belong to the call that wrote record 1.
        int x = -1, y = -1;
        const bool read = std::sscanf(lines[k + 1].c_str(), "x = %d y = %d", &x, &y) == 2;
        EXPECT_TRUE(read && x == i && y == i * i && lines[k + 1].size() == 21u)
            << "record 2 at line " << k + 2 << " after n = " << n << ": " << lines[k + 1];
        EXPECT_TRUE(callsSeen.insert(n).second) << "n = " << n << " written twice";
    }
    EXPECT_EQ(callsSeen.size(), std::size_t{threadCount * callsPerThread});
}

} // namespace
