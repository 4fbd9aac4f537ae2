// Numbers at the ends of the 64-bit range, and numbers written with very long digit strings:
// every text the set writes reads back, and a number is judged by its digits and its exponent
// together.
#include "conversions.h"
#include "runtime_error.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <optional>
#include <string>

namespace {

std::string narrow(const std::u16string& text)
{
    std::string narrowed;
    for (char16_t c : text)
        narrowed += c < 0x80 ? static_cast<char>(c) : '?';
    return narrowed.size() > 60 ? narrowed.substr(0, 30) + "..." + narrowed.substr(narrowed.size() - 30) : narrowed;
}

// The number read, or empty for an Overflow.
std::optional<double> reading(const std::u16string& text)
{
    try {
        return numberFromText(text);
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.code(), ErrorCode::Overflow) << error.what();
        return std::nullopt;
    }
}

struct ReadingCase {
    std::u16string text;
    std::optional<double> number; // empty: Overflow
};

std::u16string zeros(std::size_t count)
{
    return std::u16string(count, u'0');
}

TEST(NumberFromText, NumbersThatRoundToTheLargestRealReadAsIt)
{
    const ReadingCase cases[] = {
        {u"1.79769313486232E+308", DBL_MAX},
        {u"-1.79769313486232E+308", -DBL_MAX},
        {u" 1.79769313486232E+308", DBL_MAX},
        {u"1.7976931348623157E+308", DBL_MAX},
        {u"1.797693134862325E+308", DBL_MAX}, // rounds to ...232 at 15 digits, ties to even
        {u"0.0179769313486232E+310", DBL_MAX},
        {u"179769313486232" + zeros(294), DBL_MAX},
        {u"1.79769313486231E+308", 1.79769313486231E+308},
        {u"1.7976931348623251E+308", std::nullopt},
        {u"1.79769313486233E+308", std::nullopt},
        {u"1.8E+308", std::nullopt},
        {u"1E+309", std::nullopt},
        {u"-1E+309", std::nullopt},
    };
    for (const ReadingCase& c : cases)
        EXPECT_EQ(reading(c.text), c.number) << narrow(c.text);
}

TEST(NumberFromText, WhatTheSetWritesReadsBackAsTheSameText)
{
    const double values[] = {
        DBL_MAX,
        -DBL_MAX,
        std::nextafter(DBL_MAX, 0.0),
        1.797693134862315E+308,
        1.7976931348623E+308,
        DBL_MIN,
        DBL_TRUE_MIN,
        -DBL_TRUE_MIN,
        1E+308,
        9.99999999999999E+307,
        0.1,
        1.0 / 3,
    };
    for (double value : values) {
        for (const std::u16string& text : {textForJoining(value, u'.'), explicitNumberText(value)}) {
            SCOPED_TRACE(narrow(text));
            const std::optional<double> read = reading(text);
            ASSERT_TRUE(read.has_value());
            EXPECT_EQ(textForJoining(*read, u'.'), textForJoining(value, u'.'));
        }
    }
    for (float value : {FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN}) {
        const std::u16string text = textForJoining(value, u'.');
        SCOPED_TRACE(narrow(text));
        const std::optional<double> read = reading(text);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(textForJoining(toSingle(*read), u'.'), text);
    }
}

TEST(NumberFromText, LongDigitStringsMoveTheExponentAsFarAsTheyShould)
{
    const std::size_t many = 2'000'000;
    const ReadingCase cases[] = {
        {u"1" + zeros(many) + u"e-1000000000", 0.0},
        {u"0." + zeros(many) + u"1e1000000000", std::nullopt},
        {u"1" + zeros(many) + u"e-2000000", 1.0},
        {u"0." + zeros(many) + u"25e2000001", 2.5},
        {u"-" + std::u16string(40000, u'1') + u"e-40000", -0.1111111111111111},
        {u"1e99999999999999999999999", std::nullopt},
        {u"1e-99999999999999999999999", 0.0},
        {u"0e99999999999999999999999", 0.0},
        // 2^53 + 1 lies half-way between two reals: a nonzero digit far beyond decides it.
        {u"9007199254740993", 9007199254740992.0},
        {u"9007199254740993." + zeros(900) + u"1", 9007199254740994.0},
        {u"9007199254740993" + zeros(1000) + u"1e-1001", 9007199254740994.0},
    };
    for (const ReadingCase& c : cases)
        EXPECT_EQ(reading(c.text), c.number) << narrow(c.text);
}

} // namespace
