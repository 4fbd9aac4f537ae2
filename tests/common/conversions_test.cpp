// Conversions between numbers and text, with their rounding and range rules.
#include "arithmetic.h"
#include "conversions.h"
#include "runtime_error.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>

namespace {

struct TextToNumber {
    std::u16string text;
    double number;
};

TEST(NumberFromText, ReadsTheLongestLeadingNumber)
{
    const TextToNumber cases[] = {
        {u"3", 3},
        {u"2.5", 2.5},
        {u"-3", -3},
        {u"+4", 4},
        {u"", 0},
        {u"abc", 0},
        {u"12abc", 12},
        {u"1 2", 12},
        {u" \t\n- 1 .5", -1.5},
        {u".25", 0.25},
        {u"5.", 5},
        {u".", 0},
        {u"-", 0},
        {u"1.2.3", 1.2},
        {u"1E3", 1000},
        {u"1e-2", 0.01},
        {u"2E+2x", 200},
        {u"1 E 2", 100},
        {u"1E", 1},
        {u"1E+", 1},
        {u"7Eabc", 7},
        {u"32767.5", 32767.5},
        {u"1,5", 1},
        {u"1E-400", 0},
        {u"\r5", 0},
        {u"0.1", 0.1},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(numberFromText(text), number) << std::string(text.begin(), text.end());
}

TEST(NumberFromText, ANumberTooLargeForARealIsAnOverflow)
{
    EXPECT_THROW(numberFromText(u"1E400"), RuntimeError);
    EXPECT_THROW(numberFromText(u"-9" + std::u16string(400, u'9')), RuntimeError);
    EXPECT_EQ(numberFromText(u"0.000" + std::u16string(400, u'0') + u"1"), 0.0);
}

TEST(Rounding, TiesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {0.5, 0},
        {1.5, 2},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {0.49999999999999994, 0},
        {4503599627370495.5, 4503599627370496},
    };
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(toNearestEven(value), rounded) << value;
}

TEST(Rounding, SixteenBitRangeIsCheckedAfterRounding)
{
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);
    EXPECT_EQ(toInt16(-32767.5), -32768);
    EXPECT_THROW(toInt16(32767.5), RuntimeError);
    EXPECT_THROW(toInt16(-32768.6), RuntimeError);
    EXPECT_THROW(toInt16(40000), RuntimeError);
    EXPECT_THROW(toInt16(std::nan("")), RuntimeError);
}

TEST(Rounding, ThirtyTwoBitRangeIsCheckedAfterRounding)
{
    EXPECT_EQ(toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(toInt32(-2147483648.5), -2147483647 - 1);
    EXPECT_THROW(toInt32(2147483647.5), RuntimeError);
    EXPECT_THROW(toInt32(INFINITY), RuntimeError);
}

// A message writes a number as the windows do: "10000000000" and "1E+16", not "1e+10".
TEST(Rounding, OverflowSaysWhatDidNotFit)
{
    const struct {
        std::function<void()> raise;
        const char* message;
    } cases[] = {
        {[] { toInt16(40000); }, "Overflow: 40000 is outside the 16-bit integer range -32768 to 32767"},
        {[] { toInt16(1e10); }, "Overflow: 10000000000 is outside the 16-bit integer range -32768 to 32767"},
        {[] { toInt16(1e16); }, "Overflow: 1E+16 is outside the 16-bit integer range -32768 to 32767"},
        {[] { toInt32(-2.5e15); }, "Overflow: -2.5E+15 is outside the 32-bit integer range -2147483648 to 2147483647"},
        {[] { toSingle(-1e39); }, "Overflow: -1E+39 is outside the range of a 32-bit real"},
        {[] { power(10, 400); }, "Floating-point overflow: 10 ^ 400 is too large for a 64-bit real"},
        {[] { scaledSingle(1e38f, 7, 2); }, "Floating-point overflow: 1E+38 * 7 / 2 is too large for a 32-bit real"},
    };
    for (const auto& c : cases) {
        try {
            c.raise();
            ADD_FAILURE() << c.message << ": no error";
        } catch (const RuntimeError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(ToSingle, KeepsTheRangeOfA32BitReal)
{
    EXPECT_EQ(toSingle(1.1), 1.1f);
    EXPECT_EQ(toSingle(FLT_MAX), FLT_MAX);
    // Just below half a step beyond FLT_MAX still rounds down to it; half a step is too far.
    EXPECT_EQ(toSingle(double{FLT_MAX} + 0x1p102), FLT_MAX);
    EXPECT_THROW(toSingle(double{FLT_MAX} + 0x1p103), RuntimeError);
    EXPECT_THROW(toSingle(-1e39), RuntimeError);
    EXPECT_TRUE(std::isinf(toSingle(INFINITY)));
}

TEST(SixteenBitArithmetic, OverflowsOutsideItsRange)
{
    EXPECT_EQ(add16(32766, 1), 32767);
    EXPECT_EQ(multiply16(10, 2), 20);
    EXPECT_EQ(subtract16(-32767, 1), -32768);
    EXPECT_THROW(add16(32767, 1), RuntimeError);
    EXPECT_THROW(subtract16(-32768, 1), RuntimeError);
    EXPECT_THROW(multiply16(16384, 2), RuntimeError);
    EXPECT_EQ(multiply16(-16384, 2), -32768);
}

TEST(Power, IsA64BitRealAndChecksItsResult)
{
    EXPECT_EQ(power(10, 2), 100.0);
    EXPECT_EQ(power(2, 0.5), std::sqrt(2.0));
    EXPECT_EQ(power(1.5f, 2), 2.25);
    const std::pair<std::pair<double, double>, ErrorCode> errors[] = {
        {{-8, 1.0 / 3}, ErrorCode::InvalidFloatingPointOperation},
        {{0, -1}, ErrorCode::DivisionByZero},
        {{10, 400}, ErrorCode::FloatingPointOverflow},
    };
    for (const auto& [operands, code] : errors) {
        try {
            power(operands.first, operands.second);
            ADD_FAILURE() << operands.first << " ^ " << operands.second << " raised nothing";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.code(), code) << error.what();
        }
    }
}

TEST(ScaledSingle, IsComputedInDoubleAndRoundedOnce)
{
    const char16_t* sevenths[] = {u"14.28571", u"28.57143", u"42.85714", u"57.14286", u"71.42857", u"85.71429", u"100"};
    for (int k = 1; k <= 7; ++k) {
        const float step = scaledSingle(100.0f, k, 7);
        EXPECT_EQ(step, static_cast<float>(100.0 * k / 7.0)) << k;
        EXPECT_EQ(textForJoining(step, u'.'), sevenths[k - 1]);
    }
    EXPECT_EQ(scaledSingle(FLT_MAX, 7, 7), FLT_MAX);
    EXPECT_EQ(scaledSingle(FLT_MAX, 2, 7), static_cast<float>(double{FLT_MAX} * 2 / 7));
    EXPECT_EQ(scaledSingle(7.0f, 3, 7), 3.0f);
}

TEST(ScaledSingle, RaisesWhatTheComputationSignals)
{
    const struct {
        float value;
        int multiplier;
        int divisor;
        ErrorCode code;
    } cases[] = {
        {1.0f, 1, 0, ErrorCode::DivisionByZero},
        {INFINITY, 0, 7, ErrorCode::InvalidFloatingPointOperation},
        {FLT_MAX, 2, 1, ErrorCode::FloatingPointOverflow}, // overflows only in the rounding to 32 bits
        {0.0f, 0, 0, ErrorCode::InvalidFloatingPointOperation},
    };
    for (const auto& c : cases) {
        try {
            scaledSingle(c.value, c.multiplier, c.divisor);
            ADD_FAILURE() << c.value << " * " << c.multiplier << " / " << c.divisor << " raised nothing";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.code(), c.code) << error.what();
        }
    }
}

TEST(TextForJoining, WritesNumbersAsTheyReadInText)
{
    EXPECT_EQ(textForJoining(int16_t{-32768}), u"-32768");
    EXPECT_EQ(textForJoining(int32_t{20}), u"20");
    const std::pair<float, std::u16string> singles[] = {
        {5.0f, u"5"},         {25.0f, u"25"},   {1.0f / 3, u"0.3333333"}, {-2.5f, u"-2.5"},
        {1.21f, u"1.21"},     {1e7f, u"1E+07"}, {1234567.0f, u"1234567"}, {0.0001f, u"0.0001"},
        {0.00001f, u"1E-05"}, {-0.0f, u"0"},    {100.0f, u"100"},
    };
    for (const auto& [value, text] : singles)
        EXPECT_EQ(textForJoining(value, u'.'), text) << value;
    const std::pair<double, std::u16string> doubles[] = {
        {100.0, u"100"},
        {1e16, u"1E+16"},
        {1e15, u"1E+15"},
        {123456789012345.0, u"123456789012345"},
        {0.1, u"0.1"},
        {1.0 / 3, u"0.333333333333333"},
        {1.2100000381469727, u"1.21000003814697"},
        {-1e-20, u"-1E-20"},
        {INFINITY, u"Infinity"},
        {std::nan(""), u"NaN"},
    };
    for (const auto& [value, text] : doubles)
        EXPECT_EQ(textForJoining(value, u'.'), text) << value;
}

TEST(TextForJoining, UsesTheGivenDecimalPoint)
{
    EXPECT_EQ(textForJoining(14.285714f, u','), u"14,28571");
    EXPECT_EQ(textForJoining(2.5, u','), u"2,5");
}

TEST(ExplicitNumberText, HasASignBlankAndNoLeadingZero)
{
    const std::pair<double, std::u16string> cases[] = {
        {9, u" 9"},
        {6.25, u" 6.25"},
        {0.25, u" .25"},
        {-0.25, u"-.25"},
        {0, u" 0"},
        {-3, u"-3"},
        {1.2100000381469727, u" 1.21000003814697"},
        {1e16, u" 1E+16"},
        {-0.0, u" 0"},
        {100489, u" 100489"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(explicitNumberText(value), text) << value;
}

TEST(TextLength, CountsUtf16CodeUnits)
{
    EXPECT_EQ(textLength(u"Woo HaHaHaHa        "), 20);
    EXPECT_EQ(textLength(u""), 0);
    EXPECT_EQ(textLength(u"\U0001F600"), 2);
    EXPECT_EQ(textLength(std::u16string(3, u'\0')), 3);
}

} // namespace
