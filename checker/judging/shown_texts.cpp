#include "shown_texts.h"

#include "ansi_copy.h"
#include "conversions.h"
#include "printable_text.h"
#include "runtime_error.h"
#include "trace_records.h"
#include "variant.h"
#include "window_texts.h"

#include <charconv>
#include <cstring>

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

std::string tolvanHeading()
{
    return utf8(sumHeading);
}

std::string tolvanShows(int16_t c)
{
    return utf8(sumPrompt(c));
}

std::string vandrelShows(double y)
{
    return utf8(resultCaption(y));
}

// The temporary and the result as the handler stores them back: Variants holding 32-bit reals.
std::string korvikSquareShows(float x, float result)
{
    return utf8(squareCaption(x, result));
}

// The caption up to the result: an empty Variant is joined as no text at all.
std::string korvikSquareShowsBeforeResult(float x)
{
    return utf8(squareCaption(x, Variant()));
}

// numA as the handler stores its temporary back: a Variant holding a 16-bit integer.
std::string korvikTransnumberShows(int16_t a, int16_t b)
{
    return utf8(transnumberCaption(a, b));
}

std::string korvikNumberShows(int16_t number)
{
    return utf8(textForJoining(number));
}

std::string korvikYArrayShows()
{
    return utf8(yArrayCaption);
}

std::string korvikZArrayShows()
{
    return utf8(zArrayCaption);
}

std::string korvikFirstListingLine(int16_t element)
{
    return utf8(firstListingLine(element));
}

// Record 1's leading blanks are free, so it is predicted without them.
std::string traceRecord1(double n)
{
    const std::string record = trace_records::record1(n);
    const std::size_t start = record.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : record.substr(start);
}

std::string traceRecord2(double x, double y)
{
    return trace_records::record2(x, y);
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
        shown.lines.push_back(utf8(xArrayListingLine(j, element(x[j - 1]), element(y[j - 1]))));
    }
    return shown;
}

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    result += printable(text);
    result += '"';
    return result;
}

std::string quotedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : ", ") + quoted(line);
    return text;
}
