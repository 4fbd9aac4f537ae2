// The texts the windows show, from the values their handlers hold after the call: each row a
// value a routine can leave and the exact text the control then shows.
#include "window_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

// ---- Korvik ------------------------------------------------------------------------------------

struct ListingCase {
    const char* what;
    Variant x;
    Variant y;
    std::u16string line;
};

// What xArray may leave in an element, each kind written as joined to text.
const ListingCase xArrayLines[] = {
    {"16-bit integers, as the handler filled x", int16_t{3}, int16_t{9}, u"i = 1   x = 3   x^2 = 9"},
    {"y left empty reads as nothing", int16_t{3}, Variant(), u"i = 1   x = 3   x^2 = "},
    {"32-bit reals, whole ones without a point", 2.0f, 4.0f, u"i = 1   x = 2   x^2 = 4"},
    {"a 32-bit real to 7 digits", 1.1f, 1.21f, u"i = 1   x = 1.1   x^2 = 1.21"},
    {"a 64-bit real to 15 digits", 1.1, 1.2100000381469727, u"i = 1   x = 1.1   x^2 = 1.21000003814697"},
    {"32-bit integers and a negative one", int32_t{-70000}, int32_t{0}, u"i = 1   x = -70000   x^2 = 0"},
    {"Booleans by their names", Variant::boolean(true), Variant::boolean(false),
     u"i = 1   x = True   x^2 = False"},
    {"a large 64-bit real in exponent form", 1e16, 1e-5, u"i = 1   x = 1E+16   x^2 = 1E-05"},
};

TEST(KorvikTexts, SecondListingLineForEachElementKind)
{
    for (const ListingCase& row : xArrayLines) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(xArrayListingLine(1, row.x, row.y), row.line);
    }
}

TEST(KorvikTexts, SecondListingLineNumbersTheLineByItsCounter)
{
    EXPECT_EQ(xArrayListingLine(10, int16_t{10}, int16_t{100}), u"i = 10   x = 10   x^2 = 100");
    EXPECT_EQ(xArrayListingLine(-1, Variant(), Variant()), u"i = -1   x =    x^2 = ");
}

TEST(KorvikTexts, FirstListingLineShowsTheElementAfterItsLiteralName)
{
    EXPECT_EQ(firstListingLine(int16_t{1}), u"x(i) = 1");
    EXPECT_EQ(firstListingLine(int16_t{10}), u"x(i) = 10");
}

TEST(KorvikTexts, TheTwoListingsOfTenElementsHaveTheirLengths)
{
    std::u16string first, sample;
    for (int16_t i = 1; i <= 10; ++i) {
        first += firstListingLine(i) + u"\r\n";
        sample += sampleListingLine(static_cast<float>(i), static_cast<double>(i * i)) + u"\r\n";
    }
    EXPECT_EQ(first.size(), 101u);
    EXPECT_EQ(sample.size(), 219u);
    EXPECT_EQ(sampleListingLine(10.0f, 100.0), u"xxx = 10   xxx^2 = 100");
}

struct CaptionCase {
    const char* what;
    std::u16string shown;
    std::u16string expected;
};

TEST(KorvikTexts, CaptionsOfTestsThreeFiveSixAndSeven)
{
    const float infinite = std::numeric_limits<float>::infinity();
    const CaptionCase captions[] = {
        {"square of 5", squareCaption(5.0f, 25.0f), u"xx = 5, xx^2 = 25"},
        {"square that changed its argument", squareCaption(6.5f, 1e-7f), u"xx = 6.5, xx^2 = 1E-07"},
        {"square of an infinite result", squareCaption(5.0f, infinite), u"xx = 5, xx^2 = Infinity"},
        {"transnumber that writes nothing", transnumberCaption(int16_t{15}, 0), u"15  0"},
        {"transnumber that exchanges", transnumberCaption(int16_t{0}, 15), u"0  15"},
        {"transnumber with negatives", transnumberCaption(int16_t{-32768}, -1), u"-32768  -1"},
        {"test 6", std::u16string(yArrayCaption), u"OKey"},
        {"test 7", std::u16string(zArrayCaption), u"O-Key"},
    };
    for (const CaptionCase& row : captions) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.shown, row.expected);
    }
}

// ---- Vandrel -----------------------------------------------------------------------------------

struct ResultCase {
    double y;
    std::u16string caption;
};

// Squares as Morvane stores them: a blank for the sign, no 0 before the point, 15 digits.
const ResultCase results[] = {
    {9, u" 9"},
    {6.25, u" 6.25"},
    {0.25, u" .25"},
    {1.2100000381469727, u" 1.21000003814697"},
    {0, u" 0"},
    {100489, u" 100489"},
    {1e20, u" 1E+20"},
    {std::numeric_limits<double>::infinity(), u"Overflow"},
};

TEST(VandrelTexts, ResultCaptionOfEachSquare)
{
    for (const ResultCase& row : results) {
        SCOPED_TRACE(row.y);
        EXPECT_EQ(resultCaption(row.y), row.caption);
    }
}

// ---- Tolvan ------------------------------------------------------------------------------------

struct PromptCase {
    int16_t c;
    std::u16string prompt;
};

// Decimal text with "-" before a negative sum and no blank before any other.
const PromptCase prompts[] = {
    {30, u"30"}, {0, u"0"}, {-7, u"-7"}, {-1, u"-1"}, {-32768, u"-32768"}, {32767, u"32767"},
};

TEST(TolvanTexts, SumPromptForEachSum)
{
    for (const PromptCase& row : prompts) {
        SCOPED_TRACE(row.c);
        EXPECT_EQ(sumPrompt(row.c), row.prompt);
    }
    EXPECT_EQ(sumHeading, u"a+b=");
}

} // namespace
