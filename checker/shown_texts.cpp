#include "shown_texts.h"

#include "conversions.h"

#include <charconv>
#include <cmath>

namespace {

// Truncated toward zero to a 32-bit integer, in a right-aligned field of five columns;
// five asterisks when sign and digits need more, or the value has no 32-bit whole part.
std::string wholePartField(double value)
{
    const std::string stars = "*****";
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return stars;
    const std::string digits = std::to_string(static_cast<int32_t>(std::trunc(value)));
    return digits.size() > 5 ? stars : std::string(5 - digits.size(), ' ') + digits;
}

} // namespace

std::string utf8(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t unit : text) {
        const auto code = static_cast<uint32_t>(unit);
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | code >> 6);
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | code >> 12);
            bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

std::string tolvanShows(int16_t c)
{
    return utf8(textForJoining(c));
}

std::string vandrelShows(double y)
{
    return utf8(explicitNumberText(y));
}

std::string korvikSquareShows(float x, float result)
{
    return "xx = " + utf8(textForJoining(x)) + ", xx^2 = " + utf8(textForJoining(result));
}

std::string korvikTransnumberShows(int16_t a, int16_t b)
{
    return utf8(textForJoining(a)) + "  " + utf8(textForJoining(b));
}

std::string traceRecord1(double n)
{
    if (!(n > -2147483649.0 && n < 2147483648.0))
        return "*";
    return std::to_string(static_cast<int32_t>(std::trunc(n)));
}

std::string traceRecord2(double x, double y)
{
    return "x = " + wholePartField(x) + "   y = " + wholePartField(y);
}

std::string shortestText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}
