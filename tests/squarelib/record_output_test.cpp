// record_output_test.cpp: the trace's record output on its own: the text of formatted and
// list-directed records, and what units do with files.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <latch>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "record_output.h"
#include "scratch_directory.h"
#include "trace_records.h"

namespace {

using record_output::Field;
using record_output::integerField;
using record_output::textField;
using record_output::WholeNumber;

constexpr std::int32_t smallest = INT32_MIN;
constexpr std::int32_t largest = INT32_MAX;

// ---- One integer field ----------------------------------------------------------------

struct IntegerFieldCase {
    std::size_t width;
    std::size_t minimumDigits;
    WholeNumber value;
    const char *text;
};

const IntegerFieldCase integerFieldCases[] = {
    {5, 1, 3, "    3"},
    {5, 1, 0, "    0"},
    {5, 1, -2, "   -2"},
    {5, 1, 99999, "99999"},
    {5, 1, 100000, "*****"},
    {5, 1, -9999, "-9999"},
    {5, 1, -10000, "*****"},
    {5, 3, 7, "  007"},
    {5, 3, -7, " -007"},
    {5, 3, 12345, "12345"},
    {5, 4, -7, "-0007"},
    {5, 5, -7, "*****"}, // sign and five digits need six columns
    {5, 1, smallest, "*****"},
    {11, 1, smallest, "-2147483648"},
    {10, 1, largest, "2147483647"},
    {9, 1, largest, "*********"},
    {1, 1, 0, "0"},
    {1, 1, -1, "*"},
    {5, 1, std::nullopt, "*****"},
    {3, 1, std::nullopt, "***"},
};

TEST(FormattedRecord, IntegerFieldShowsSignDigitsOrAsterisks)
{
    for (const IntegerFieldCase &row : integerFieldCases) {
        SCOPED_TRACE(testing::Message() << "I" << row.width << "." << row.minimumDigits << " of "
                                        << (row.value ? std::to_string(*row.value) : "no value"));
        const Field format[] = {integerField(row.width, row.minimumDigits)};
        EXPECT_EQ(record_output::formattedRecord(format, {row.value}), row.text);
    }
}

// ---- Text fields and whole records -----------------------------------------------------

const Field traceLine[] = {textField("x = "), integerField(5, 1), textField("   y = "), integerField(5, 1)};

TEST(FormattedRecord, TextFieldsStandAsWrittenBetweenIntegerFields)
{
    EXPECT_EQ(record_output::formattedRecord(traceLine, {3, 9}), "x =     3   y =     9");
    EXPECT_EQ(record_output::formattedRecord(traceLine, {-2, 100489}), "x =    -2   y = *****");
}

TEST(FormattedRecord, TextOnlyFormatNeedsNoValues)
{
    const Field format[] = {textField("a b"), textField(""), textField(" c ")};
    EXPECT_EQ(record_output::formattedRecord(format, {}), "a b c ");
}

TEST(FormattedRecord, RecordEndsAtFirstIntegerFieldWithoutValue)
{
    EXPECT_EQ(record_output::formattedRecord(traceLine, {3}), "x =     3   y = ");
    EXPECT_EQ(record_output::formattedRecord(traceLine, {}), "x = ");
}

TEST(FormattedRecord, ValuesBeyondTheFormatAreNotWritten)
{
    const Field format[] = {integerField(2, 1)};
    EXPECT_EQ(record_output::formattedRecord(format, {1, 2, 3}), " 1");
}

// ---- List-directed records ---------------------------------------------------------------

struct ListDirectedCase {
    WholeNumber value;
    const char *text;
};

const ListDirectedCase listDirectedCases[] = {
    {1, "           1"},       {-1, "          -1"},       {0, "           0"},
    {largest, "  2147483647"}, {smallest, " -2147483648"}, {std::nullopt, " ***********"},
};

TEST(ListDirectedRecord, ValueTakesABlankAndElevenColumns)
{
    for (const ListDirectedCase &row : listDirectedCases) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(record_output::listDirectedRecord({row.value}), row.text);
    }
}

TEST(ListDirectedRecord, ValuesFollowOneAnother)
{
    EXPECT_EQ(record_output::listDirectedRecord({1, -22}), "           1         -22");
    EXPECT_EQ(record_output::listDirectedRecord({}), "");
}

// ---- Morvane's trace records ------------------------------------------------------------

struct TraceCase {
    const char *what;
    double n, x, y;
    const char *record1;
    const char *record2;
};

// Whole parts truncate toward zero; one without 32 bits fills its field with asterisks.
const TraceCase traceCases[] = {
    {"Vandrel's first click", 1, 3, 9, "           1", "x =     3   y =     9"},
    {"2.9 and -2.7 truncate", 2.9, -2.7, 7.289999961853027, "           2", "x =    -2   y =     7"},
    {"-1.9 truncates to -1", -1.9, 1.9, 3.609999895095825, "          -1", "x =     1   y =     3"},
    {"a y field too narrow", 1, 317, 100489, "           1", "x =   317   y = *****"},
    {"no 32-bit whole part", 2147483648.0, 1e10, 1e20, " ***********", "x = *****   y = *****"},
    {"not a number", std::nan(""), std::nan(""), std::nan(""), " ***********", "x = *****   y = *****"},
};

TEST(TraceRecords, BothRecordsOfACall)
{
    for (const TraceCase &row : traceCases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(trace_records::record1(row.n), row.record1);
        EXPECT_EQ(trace_records::record2(row.x, row.y), row.record2);
    }
}

// ---- Units and files ---------------------------------------------------------------------

// Appends to `file` through unit 10, from open to close, a list-directed record of `value`
// and, when asked, the trace line of 3 and 9.
void appendRecords(std::int32_t value, bool withTraceLine, const char *file = "out.txt")
{
    record_output::Connection unit = record_output::open(10, file);
    unit.writeListDirected({value});
    if (withTraceLine)
        unit.writeFormatted(traceLine, {3, 9});
    unit.close();
}

void appendRecord(std::int32_t value)
{
    appendRecords(value, false);
}

TEST(Unit, RecordsEndWithLineFeedAndAreInTheFileAfterClose)
{
    ScratchDirectory scratch;
    appendRecords(42, true);
    EXPECT_EQ(fileBytes("out.txt"), "          42\nx =     3   y =     9\n");
}

TEST(Unit, OpenAppendsToWhatTheFileHolds)
{
    ScratchDirectory scratch;
    for (std::int32_t value : {1, 2})
        appendRecord(value);
    EXPECT_EQ(fileBytes("out.txt"), "           1\n           2\n");
}

TEST(Unit, FileThatCannotBeOpenedTakesNothingAndReleasesTheUnit)
{
    ScratchDirectory scratch;
    appendRecords(1, true, "missing/out.txt");
    EXPECT_TRUE(std::filesystem::is_empty(".")) << "a failed open left a file behind";

    // Would wait for ever if the failed connection still held unit 10.
    appendRecord(2);
    EXPECT_EQ(fileBytes("out.txt"), "           2\n");
}

TEST(Unit, ConnectionLeftOpenClosesWhenDestroyed)
{
    ScratchDirectory scratch;
    {
        record_output::Connection unit = record_output::open(10, "out.txt");
        unit.writeListDirected({1});
    }
    EXPECT_EQ(fileBytes("out.txt"), "           1\n");

    appendRecord(2);
    EXPECT_EQ(fileBytes("out.txt"), "           1\n           2\n");
}

// Each connection writes more than one buffer's worth, so the file would receive it in
// several pieces; holding the unit from open to close keeps those pieces together.
TEST(Unit, ConnectionsOfOneUnitFromSeveralThreadsDoNotInterleave)
{
    ScratchDirectory scratch;
    constexpr int threadCount = 4;
    constexpr int connectionsPerThread = 10;
    constexpr int recordsPerConnection = 2000;

    std::latch start(threadCount);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([t, &start] {
            start.arrive_and_wait();
            for (int c = 0; c < connectionsPerThread; ++c) {
                record_output::Connection unit = record_output::open(10, "out.txt");
                for (int r = 0; r < recordsPerConnection; ++r) {
                    unit.writeListDirected({t});
                    std::this_thread::yield(); // lets another thread in, were the unit not held
                }
                unit.close();
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();

    const std::vector<std::string> lines = fileLines("out.txt");
    ASSERT_EQ(lines.size(), std::size_t{threadCount * connectionsPerThread * recordsPerConnection});
    for (std::size_t first = 0; first < lines.size(); first += recordsPerConnection) {
        for (std::size_t k = first; k < first + recordsPerConnection; ++k)
            ASSERT_EQ(lines[k], lines[first])
                << "line " << k + 1 << " breaks the connection begun at line " << first + 1;
    }
}

TEST(Unit, NumbersOutsideTheUnitTableWriteNothing)
{
    ScratchDirectory scratch;
    for (int unitNumber : {-1, record_output::unitCount}) {
        record_output::Connection unit = record_output::open(unitNumber, "out.txt");
        unit.writeListDirected({1});
        unit.close();
    }
    EXPECT_FALSE(std::filesystem::exists("out.txt"));
}

} // namespace
