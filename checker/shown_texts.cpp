#include "shown_texts.h"

#include "ansi_copy.h"
#include "conversions.h"
#include "runtime_error.h"
#include "variant.h"

#include <charconv>
#include <cmath>
#include <cstring>

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
    return korvikSquareShowsBeforeResult(x) + utf8(textForJoining(result));
}

std::string korvikSquareShowsBeforeResult(float x)
{
    return "xx = " + utf8(textForJoining(x)) + ", xx^2 = ";
}

std::string korvikTransnumberShows(int16_t a, int16_t b)
{
    return korvikNumberShows(a) + "  " + korvikNumberShows(b);
}

std::string korvikNumberShows(int16_t number)
{
    return utf8(textForJoining(number));
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

std::string korvikCharaShows(const char* textB)
{
    AnsiCopy copyOfStrB(u"aaaa                ");
    std::memcpy(copyOfStrB.data(), textB, copyOfStrB.size());
    return utf8(copyOfStrB.text());
}

std::optional<std::string> korvikElementShows(const VARIANT& raw)
{
    const VARTYPE kind = raw.kind;
    if (kind != VT_EMPTY && kind != VT_I2 && kind != VT_I4 && kind != VT_R4 && kind != VT_R8 && kind != VT_BOOL)
        return std::nullopt;
    // The element's own bytes in a Variant of the checker's, which owns nothing of these kinds.
    Variant value;
    *value.raw() = raw;
    return utf8(value.toText());
}

std::optional<ListingShown> korvikListingShows(int16_t count, const VARIANT* x, const VARIANT* y)
{
    const auto plain = [](VARTYPE kind) {
        return kind == VT_EMPTY || kind == VT_I2 || kind == VT_I4 || kind == VT_R4 || kind == VT_R8 || kind == VT_BOOL;
    };
    for (int i = 0; i < 10; ++i)
        if (!plain(x[i].kind) || !plain(y[i].kind))
            return std::nullopt;
    // The elements' own bytes in Variants of the checker's, which own nothing of these kinds.
    const auto element = [](const VARIANT& raw) {
        Variant value;
        *value.raw() = raw;
        return value;
    };
    ListingShown shown;
    for (int16_t j = 1; j <= count; ++j) {
        if (j > 10) {
            shown.error = RuntimeError(ErrorCode::SubscriptOutOfRange).what();
            break;
        }
        shown.lines.push_back("i = " + utf8(textForJoining(j)) + "   x = " + utf8(element(x[j - 1]).toText()) +
                              "   x^2 = " + utf8(element(y[j - 1]).toText()));
    }
    return shown;
}

std::string quotedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "\"" : ", \"") + line + "\"";
    return text;
}
