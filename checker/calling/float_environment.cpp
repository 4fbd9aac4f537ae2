#include "float_environment.h"

#include <cfenv>
#include <vector>

namespace {

// Exception bits in the order x86 keeps them, in both its control and status words.
constexpr const char* exceptionNames[] = {"invalid", "denormal", "divide-by-zero", "overflow", "underflow", "inexact"};

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

#if defined(__x86_64__) || defined(__i386__)

// The programs' setting: nearest, all six exceptions masked, flags clear.
constexpr uint32_t defaultSse = 0x1F80;
constexpr uint32_t defaultX87 = 0x037F;

constexpr const char* roundingNames[] = {"rounding to nearest", "rounding downward", "rounding upward",
                                         "rounding toward zero"};

void addMaskChanges(std::vector<std::string>& changes, uint32_t masks)
{
    for (int bit = 0; bit < 6; ++bit)
        if (!(masks & (1u << bit)))
            changes.push_back(std::string("the ") + exceptionNames[bit] + " exception unmasked");
}

std::vector<std::string> sseChanges(uint32_t sse)
{
    std::vector<std::string> changes;
    if ((sse >> 13 & 3) != (defaultSse >> 13 & 3))
        changes.push_back(roundingNames[sse >> 13 & 3]);
    addMaskChanges(changes, sse >> 7 & 0x3F);
    if (sse & 0x8000)
        changes.push_back("flush to zero");
    if (sse & 0x0040)
        changes.push_back("denormals are zero");
    return changes;
}

std::vector<std::string> x87Changes(uint32_t x87)
{
    std::vector<std::string> changes;
    if ((x87 >> 10 & 3) != (defaultX87 >> 10 & 3))
        changes.push_back(roundingNames[x87 >> 10 & 3]);
    addMaskChanges(changes, x87 & 0x3F);
    if ((x87 >> 8 & 3) != (defaultX87 >> 8 & 3)) {
        constexpr const char* precisions[] = {"24-bit precision", "an invalid precision", "53-bit precision",
                                              "64-bit precision"};
        changes.push_back(precisions[x87 >> 8 & 3]);
    }
    return changes;
}

} // namespace

void setProgramsEnvironment()
{
    const uint32_t sse = defaultSse;
    const uint16_t x87 = defaultX87;
    asm volatile("fnclex\n\tfldcw %0" : : "m"(x87));
    asm volatile("ldmxcsr %0" : : "m"(sse));
}

FloatEnvironment currentEnvironment()
{
    uint32_t sse = 0;
    uint16_t x87 = 0;
    uint16_t status = 0;
    asm volatile("stmxcsr %0" : "=m"(sse));
    asm volatile("fnstcw %0" : "=m"(x87));
    asm volatile("fnstsw %0" : "=m"(status));
    return {sse & ~0x3Fu, x87 & 0x0F3Fu, (sse | status) & 0x3Fu};
}

std::string describeChange(const FloatEnvironment& after)
{
    const std::string sse = joined(sseChanges(after.sse));
    const std::string x87 = joined(x87Changes(after.x87));
    if (sse.empty() && x87.empty())
        return "";
    if (sse == x87)
        return "SSE and x87: " + sse;
    if (x87.empty())
        return "SSE: " + sse;
    if (sse.empty())
        return "x87: " + x87;
    return "SSE: " + sse + "; x87: " + x87;
}

std::string describeFlags(const FloatEnvironment& after)
{
    std::vector<std::string> raised;
    for (int bit = 0; bit < 6; ++bit)
        if (after.flags & (1u << bit))
            raised.emplace_back(exceptionNames[bit]);
    return joined(raised);
}

#else

} // namespace

// Elsewhere the standard interface says as much as is portable: the rounding direction and,
// through the GNU extension, which exceptions trap.
void setProgramsEnvironment()
{
    std::feclearexcept(FE_ALL_EXCEPT);
    std::fesetround(FE_TONEAREST);
    fedisableexcept(FE_ALL_EXCEPT);
}

FloatEnvironment currentEnvironment()
{
    return {static_cast<uint32_t>(std::fegetround()), static_cast<uint32_t>(fegetexcept()),
            static_cast<uint32_t>(std::fetestexcept(FE_ALL_EXCEPT))};
}

std::string describeChange(const FloatEnvironment& after)
{
    std::vector<std::string> changes;
    if (after.sse != FE_TONEAREST)
        changes.push_back("the rounding direction");
    if (after.x87 != 0)
        changes.push_back("exceptions unmasked");
    return joined(changes);
}

std::string describeFlags(const FloatEnvironment& after)
{
    const std::pair<int, const char*> flags[] = {{FE_INVALID, "invalid"},
                                                 {FE_DIVBYZERO, "divide-by-zero"},
                                                 {FE_OVERFLOW, "overflow"},
                                                 {FE_UNDERFLOW, "underflow"},
                                                 {FE_INEXACT, "inexact"}};
    std::vector<std::string> raised;
    for (const auto& [flag, name] : flags)
        if (after.flags & static_cast<uint32_t>(flag))
            raised.emplace_back(name);
    return joined(raised);
}

#endif
