#include "conversions.h"

#include "runtime_error.h"

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The decimal power of the leading digit of mantissa × 10^exponent: positive for a number
// too large to hold, negative or zero for one too small.
long long leadingPower(const std::string& mantissa, long long exponent)
{
    const auto first = mantissa.find_first_of("123456789");
    auto point = mantissa.find('.');
    if (point == std::string::npos)
        point = mantissa.size();
    const long long offset = first < point ? static_cast<long long>(point - first) - 1
                                           : -static_cast<long long>(first - point);
    return exponent + offset;
}

// The digits of the mantissa from its first nonzero digit to its last, without the point.
std::string significantDigits(const std::string& mantissa)
{
    std::string digits;
    for (char c : mantissa)
        if (c != '.' && (c != '0' || !digits.empty()))
            digits += c;
    digits.erase(digits.find_last_not_of('0') + 1);
    return digits;
}

// An exponent is kept up to this magnitude: no text holds enough digits to bring a number
// with a larger one back into the range of a 64-bit real, or to make it nonzero.
constexpr long long exponentLimit = 1'000'000'000'000'000;

// Leading powers beyond which a number is too large for a 64-bit real, or rounds to 0.
constexpr long long largestPower = 308;
constexpr long long smallestPower = -400;

// The digits that decide how a number rounds: no double lies between two numbers that
// agree in their first 800 significant digits and both have more.
constexpr std::size_t decidingDigits = 800;

// The largest 64-bit real as the set writes it, 1.79769313486232E+308 (15 digits), and the
// digits of the largest number that rounds to that text: anything from the largest real up
// to it reads as the largest real, so that every text the set writes reads back.
constexpr std::string_view largestWrittenDigits = "1797693134862325";

// %G-style text with the given significant digits: "E" for the exponent, no "-0".
std::u16string generalForm(double value, int digits, char16_t decimalPoint)
{
    if (std::isnan(value))
        return u"NaN";
    if (std::isinf(value))
        return value < 0 ? u"-Infinity" : u"Infinity";
    if (value == 0)
        value = 0; // a negative zero reads as 0
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::u16string text;
    for (const char* c = buffer; c != end; ++c)
        text += *c == '.' ? decimalPoint : *c == 'e' ? u'E' : static_cast<char16_t>(*c);
    return text;
}

} // namespace

double numberFromText(std::u16string_view text)
{
    std::size_t i = 0;
    auto next = [&]() -> char16_t {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        return i < text.size() ? text[i] : u'\0';
    };

    bool negative = false;
    if (next() == u'+' || next() == u'-')
        negative = text[i++] == u'-';

    std::string mantissa;
    bool point = false;
    for (char16_t c = next(); isDigit(c) || (c == u'.' && !point); ++i, c = next()) {
        point = point || c == u'.';
        mantissa += static_cast<char>(c);
    }
    if (mantissa.find_first_of("0123456789") == std::string::npos)
        return 0;

    // An exponent counts only when at least one digit follows the E and its sign.
    long long exponent = 0;
    if (next() == u'E' || next() == u'e') {
        ++i;
        const bool negativeExponent = (next() == u'+' || next() == u'-') && text[i++] == u'-';
        for (char16_t c = next(); isDigit(c); ++i, c = next())
            exponent = std::min(exponent * 10 + (c - u'0'), exponentLimit);
        if (negativeExponent)
            exponent = -exponent;
    }

    // The magnitude is judged from the digits and the exponent together, so that a long run
    // of digits before or after the point moves the exponent as far as it should.
    const std::string digits = significantDigits(mantissa);
    const long long power = digits.empty() ? 0 : leadingPower(mantissa, exponent);
    if (power > largestPower)
        throw RuntimeError(ErrorCode::Overflow, "the number read from text is too large for a 64-bit real");
    double value = 0;
    if (!digits.empty() && power >= smallestPower) {
        // d.ddd…e<power>, with a last 1 standing for the nonzero digits beyond the deciding ones.
        // Appended piece by piece into the one string: GCC 12 at -O3 takes the insertion that
        // "." + std::string makes for an overlapping copy (-Wrestrict).
        std::string number = digits.substr(0, 1);
        if (digits.size() > 1) {
            number += '.';
            number.append(digits, 1, decidingDigits - 1);
            if (digits.size() > decidingDigits)
                number += '1';
        }
        number += 'e';
        number += std::to_string(power);
        auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (ec == std::errc::result_out_of_range) {
            if (power > 0 && !(power == largestPower && digits <= largestWrittenDigits))
                throw RuntimeError(ErrorCode::Overflow, "the number read from text is too large for a 64-bit real");
            value = power > 0 ? DBL_MAX : 0;
        }
    }
    return negative ? -value : value;
}

// From the whole part and the fraction, which the subtraction gives exactly: std::round is not
// used, since MinGW-w64's adds one half first and so rounds 0.49999999999999994 up to 1.
double toNearestEven(double value)
{
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    const bool awayFromZero = fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0);
    return awayFromZero ? whole + std::copysign(1.0, value) : whole;
}

int16_t toInt16(double value)
{
    const double whole = toNearestEven(value);
    if (!(whole >= -32768.0 && whole <= 32767.0))
        throw RuntimeError(ErrorCode::Overflow,
                           textForMessage(value) + " is outside the 16-bit integer range -32768 to 32767");
    return static_cast<int16_t>(whole);
}

int32_t toInt32(double value)
{
    const double whole = toNearestEven(value);
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0))
        throw RuntimeError(ErrorCode::Overflow,
                           textForMessage(value) + " is outside the 32-bit integer range -2147483648 to 2147483647");
    return static_cast<int32_t>(whole);
}

float toSingle(double value)
{
    // Values from FLT_MAX up to half a step beyond it still round to FLT_MAX.
    constexpr double limit = static_cast<double>(FLT_MAX) + 0x1p103;
    if (std::isfinite(value) && std::fabs(value) >= limit)
        throw RuntimeError(ErrorCode::Overflow, textForMessage(value) + " is outside the range of a 32-bit real");
    return static_cast<float>(value);
}

int32_t textLength(std::u16string_view text)
{
    return static_cast<int32_t>(text.size());
}

std::u16string textForJoining(int16_t value)
{
    return textForJoining(int32_t{value});
}

std::u16string textForJoining(int32_t value)
{
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

std::u16string textForJoining(float value, char16_t decimalPoint)
{
    return generalForm(value, 7, decimalPoint ? decimalPoint : userDecimalPoint());
}

std::u16string textForJoining(double value, char16_t decimalPoint)
{
    return generalForm(value, 15, decimalPoint ? decimalPoint : userDecimalPoint());
}

// The text of a number is ASCII, so each unit is its own byte.
static std::string narrowed(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}

std::string textForMessage(float value)
{
    return narrowed(textForJoining(value, u'.'));
}

std::string textForMessage(double value)
{
    return narrowed(textForJoining(value, u'.'));
}

std::u16string explicitNumberText(double value)
{
    std::u16string text = generalForm(value, 15, u'.');
    const bool negative = text.front() == u'-';
    const std::size_t digitsStart = negative ? 1 : 0;
    if (text.compare(digitsStart, 2, u"0.") == 0)
        text.erase(digitsStart, 1);
    return negative ? text : u" " + text;
}

char16_t userDecimalPoint()
{
    const char* point = std::localeconv()->decimal_point;
    if (point && point[0] && !point[1] && static_cast<unsigned char>(point[0]) < 0x80)
        return static_cast<char16_t>(point[0]);
    return u'.';
}
