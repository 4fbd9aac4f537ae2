// The sample Pettrix as built: sumdll called directly, and behind Tolvan's window. A sum
// outside 16 bits wraps around in two's complement.
#include "tolvan_test.h"

#include "pettrix.h"

#include <gmock/gmock.h>

#include "opened_library.h"

namespace {

struct SumRow {
    int16_t a;
    int16_t b;
    int16_t c;
};

const SumRow sumRows[] = {
    {10, 20, 30},
    {-5, 3, -2},
    {0, 0, 0},
    {32767, 0, 32767},
    {-32768, 0, -32768},
    {32766, 1, 32767},
    {-32767, -1, -32768},
    {32767, 1, -32768},
    {-32768, -1, 32767},
    {32767, 32767, -2},
    {-32768, -32768, 0},
    {20000, 20000, -25536},
    {-20000, -20000, 25536},
    {32767, -32768, -1},
};

TEST(SamplePettrix, StoresTheSumWrappedToSixteenBitsAndLeavesAAndBAlone)
{
    OpenedLibrary library(SAMPLE_PETTRIX);
    auto* sum = library.function<decltype(sumdll)>("sumdll");
    ASSERT_NE(sum, nullptr) << library.failure();

    for (const SumRow& row : sumRows) {
        int16_t a = row.a;
        int16_t b = row.b;
        int16_t c = 12345; // not a row's sum: a routine that stores nothing fails every row
        sum(&a, &b, &c);
        EXPECT_EQ(c, row.c) << row.a << " + " << row.b;
        EXPECT_EQ(a, row.a);
        EXPECT_EQ(b, row.b);
    }
}

struct WindowRow {
    const char* text1;
    const char* text2;
    const char* sumShown;
};

const WindowRow windowRows[] = {
    {"10", "20", "30"},
    {"32767", "1", "-32768"},
    {"-32768", "-1", "32767"},
    {"32767.4", "32767.4", "-2"},
};

using TolvanWithSamplePettrix = TolvanTest;

TEST_F(TolvanWithSamplePettrix, TheSecondBoxShowsWhatTheSampleStores)
{
    for (const WindowRow& row : windowRows) {
        SCOPED_TRACE(std::string(row.text1) + " + " + row.text2);
        typeInto(&form, "Text1", QString::fromUtf8(row.text1));
        typeInto(&form, "Text2", QString::fromUtf8(row.text2));
        MessageBoxAnswerer answerer;
        clickButton(&form, "Command1");
        ASSERT_EQ(answerer.seen().size(), 2u);
        EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("a+b="));
        EXPECT_EQ(answerer.seen()[1].text, QString::fromUtf8(row.sumShown));
    }
}

} // namespace
