// Reading numbers from text. No text crashes the reading or raises anything but Overflow, and
// the decimal point moved through a long run of zeros, with the exponent moved to match, never
// changes what is read: the magnitude must be judged from the digits and the exponent together.
#include "conversions.h"
#include "runtime_error.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The number read, or empty for an Overflow. Any other error is a fault.
std::optional<double> reading(const std::u16string& text)
{
    try {
        return numberFromText(text);
    } catch (const RuntimeError& error) {
        if (error.code() != ErrorCode::Overflow) {
            std::fprintf(stderr, "reading raised %s\n", error.what());
            std::abort();
        }
        return std::nullopt;
    }
}

std::u16string wide(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::string describe(const std::optional<double>& number)
{
    return number ? std::to_string(*number) : "Overflow";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Any text at all, its bytes taken as characters.
    reading(std::u16string(data, data + size));

    // One number three ways: digits × 10^exponent, the digits followed by zeros with the
    // exponent lowered to match, and the digits after "0." and zeros with it raised to match.
    FuzzedDataProvider input(data, size);
    const bool longRun = input.ConsumeBool();
    const std::size_t zeros = longRun ? input.ConsumeIntegralInRange<std::size_t>(1'000'000, 2'500'000)
                                      : input.ConsumeIntegralInRange<std::size_t>(0, 2'000);
    const long long exponent = input.ConsumeIntegralInRange<long long>(-2'000'000'000, 2'000'000'000);
    std::string digits;
    for (char c : input.ConsumeRandomLengthString(40))
        digits += static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
    if (digits.empty())
        digits = "1";

    const std::string padding(zeros, '0');
    const long long shift = static_cast<long long>(zeros);
    const std::optional<double> plain = reading(wide(digits + "e" + std::to_string(exponent)));
    const std::optional<double> zerosAfter = reading(wide(digits + padding + "e" + std::to_string(exponent - shift)));
    const std::optional<double> zerosBefore = reading(
        wide("0." + padding + digits + "e" + std::to_string(exponent + shift + static_cast<long long>(digits.size()))));
    if (plain != zerosAfter || plain != zerosBefore) {
        std::fprintf(stderr, "%se%lld read as %s, with %zu zeros after it as %s, before it as %s\n", digits.c_str(),
                     exponent, describe(plain).c_str(), zeros, describe(zerosAfter).c_str(),
                     describe(zerosBefore).c_str());
        std::abort();
    }
    return 0;
}
