// A text as it crosses to a routine: an 8-bit copy, turned back over its full length.
#include "ansi_copy.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

TEST(AnsiCopy, IsOneBytePerUnitAndATerminator)
{
    AnsiCopy copy(u"aaaa                ");
    EXPECT_EQ(copy.size(), 20u);
    EXPECT_EQ(std::memcmp(copy.data(), "aaaa                ", 21), 0);
}

#ifdef _WIN32
// On Windows the copy is in the system's ANSI code page; Western European (1252) holds the
// euro sign at 0x80 and neither U+0100 nor a unit of a surrogate pair.
TEST(AnsiCopy, UnitsOutsideTheCodePageBecomeQuestionMarks)
{
    ASSERT_EQ(GetACP(), 1252u) << "the tests run with the Western European code page";
    AnsiCopy copy(u"\u00e9\u00ff\u0100\u20ac\U0001F600");
    const unsigned char expected[] = {0xE9, 0xFF, '?', 0x80, '?', '?', 0};
    EXPECT_EQ(std::memcmp(copy.data(), expected, sizeof expected), 0);
    EXPECT_EQ(copy.text(), u"\u00e9\u00ff?\u20ac??");
}
#else
TEST(AnsiCopy, UnitsBeyondLatin1BecomeQuestionMarks)
{
    AnsiCopy copy(u"\u00e9\u00ff\u0100\u20ac\U0001F600");
    const unsigned char expected[] = {0xE9, 0xFF, '?', '?', '?', '?', 0};
    EXPECT_EQ(std::memcmp(copy.data(), expected, sizeof expected), 0);
    EXPECT_EQ(copy.text(), u"\u00e9\u00ff????");
}
#endif

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
