#include "arithmetic.h"

#include "conversions.h"
#include "runtime_error.h"

#include <cfenv>
#include <cmath>
#include <string>

namespace {

int16_t checked16(int32_t result, int16_t a, const char* operation, int16_t b)
{
    if (result < -32768 || result > 32767)
        throw RuntimeError(ErrorCode::Overflow,
                           std::to_string(a) + operation + std::to_string(b) +
                               " leaves the 16-bit integer range -32768 to 32767");
    return static_cast<int16_t>(result);
}

// The operations as the error reports name them ("2 ^ 1024", "1E+38 * 7 / 2"), built only
// when an error is raised: the calls that succeed build no text.
std::string powerText(double base, double exponent)
{
    return textForMessage(base) + " ^ " + textForMessage(exponent);
}

std::string scalingText(float value, int multiplier, int divisor)
{
    return textForMessage(value) + " * " + std::to_string(multiplier) + " / " + std::to_string(divisor);
}

} // namespace

int16_t add16(int16_t a, int16_t b)
{
    return checked16(int32_t{a} + b, a, " + ", b);
}

int16_t subtract16(int16_t a, int16_t b)
{
    return checked16(int32_t{a} - b, a, " - ", b);
}

int16_t multiply16(int16_t a, int16_t b)
{
    return checked16(int32_t{a} * b, a, " * ", b);
}

double power(double base, double exponent)
{
    const double result = std::pow(base, exponent);
    if (std::isnan(result) && !std::isnan(base) && !std::isnan(exponent))
        throw RuntimeError(ErrorCode::InvalidFloatingPointOperation, powerText(base, exponent) + " is not a number");
    if (std::isinf(result) && std::isfinite(base) && std::isfinite(exponent)) {
        if (base == 0)
            throw RuntimeError(ErrorCode::DivisionByZero, powerText(base, exponent));
        throw RuntimeError(ErrorCode::FloatingPointOverflow,
                           powerText(base, exponent) + " is too large for a 64-bit real");
    }
    return result;
}

float scaledSingle(float value, int multiplier, int divisor)
{
    constexpr int checked = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
    // The volatile operands keep the arithmetic between clearing and testing the status.
    const volatile float operand = value;
    const volatile int times = multiplier;
    const volatile int by = divisor;
    std::feclearexcept(checked);
    const volatile double quotient = double{operand} * times / by;
    const volatile float result = static_cast<float>(quotient);
    const int raised = std::fetestexcept(checked);

    if (raised & FE_INVALID)
        throw RuntimeError(ErrorCode::InvalidFloatingPointOperation, scalingText(value, multiplier, divisor));
    if (raised & FE_DIVBYZERO)
        throw RuntimeError(ErrorCode::DivisionByZero, scalingText(value, multiplier, divisor));
    if (raised & FE_OVERFLOW)
        throw RuntimeError(ErrorCode::FloatingPointOverflow,
                           scalingText(value, multiplier, divisor) + " is too large for a 32-bit real");
    return result;
}
