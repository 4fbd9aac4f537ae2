// A text as it crosses to a routine: an 8-bit copy, turned back over its full length.
#include "ansi_copy.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(AnsiCopy, IsOneBytePerUnitAndATerminator)
{
    AnsiCopy copy(u"aaaa                ");
    EXPECT_EQ(copy.size(), 20u);
    EXPECT_EQ(std::memcmp(copy.data(), "aaaa                ", 21), 0);
}

TEST(AnsiCopy, UnitsBeyondLatin1BecomeQuestionMarks)
{
    AnsiCopy copy(u"\u00e9\u00ff\u0100\u20ac\U0001F600");
    const unsigned char expected[] = {0xE9, 0xFF, '?', '?', '?', '?', 0};
    EXPECT_EQ(std::memcmp(copy.data(), expected, sizeof expected), 0);
    EXPECT_EQ(copy.text(), u"\u00e9\u00ff????");
}

TEST(AnsiCopy, TurnsBackOverItsFullLength)
{
    AnsiCopy copy(u"aaaa                ");
    std::memcpy(copy.data(), "abc\0", 4); // what a routine might write
    const std::u16string back = copy.text();
    EXPECT_EQ(back.size(), 20u);
    EXPECT_EQ(back, std::u16string(u"abc\0", 4) + std::u16string(16, u' '));
}

TEST(AnsiCopy, TheEmptyTextIsTheTerminatorAlone)
{
    AnsiCopy copy(u"");
    EXPECT_EQ(copy.size(), 0u);
    EXPECT_EQ(copy.data()[0], '\0');
    EXPECT_EQ(copy.text(), u"");
}

} // namespace
