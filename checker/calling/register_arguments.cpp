#include "register_arguments.h"

#if defined(__x86_64__)

namespace {

constexpr int integerRegisters = 6;
constexpr int vectorRegisters = vectorRegisterCount;

// Laid out as kept_registers_x86_64.S reads and writes it.
struct LoadedCall {
    uint64_t target;
    uint64_t integer[integerRegisters];  // rdi, rsi, rdx, rcx, r8, r9
    uint64_t vector[vectorRegisters];    // the low 64 bits of xmm0 to xmm7
    uint64_t returnedInteger;            // rax
    uint64_t returnedVector;             // the low 64 bits of xmm0
};

static_assert(sizeof(LoadedCall) == 136, "as the entry lays it out");

// Reals that read as small numbers both as a 32-bit real (low half) and as a 64-bit one:
// 3 and 7.
constexpr uint64_t usualContents = 0x4008000040400000u;
constexpr uint64_t otherContents = 0x401C000040E00000u;

} // namespace

extern "C" void routine_check_call_loaded(LoadedCall* call);

RegisterResults resultsWithRegisters(void* routine, std::initializer_list<const void*> arguments, bool realResult)
{
    RegisterResults results;
    if (arguments.size() > integerRegisters)
        return results;
    const auto resultWith = [&](int changed) {
        LoadedCall call{};
        call.target = reinterpret_cast<uintptr_t>(routine);
        int next = 0;
        for (const void* argument : arguments)
            call.integer[next++] = reinterpret_cast<uintptr_t>(argument);
        for (int i = 0; i < vectorRegisters; ++i)
            call.vector[i] = i == changed ? otherContents : usualContents;
        routine_check_call_loaded(&call);
        return realResult ? call.returnedVector : call.returnedInteger;
    };
    results.usual[0] = resultWith(-1);
    results.usual[1] = resultWith(-1);
    for (int i = 0; i < vectorRegisters; ++i)
        results.changed[i] = resultWith(i);
    results.made = true;
    return results;
}

#else

RegisterResults resultsWithRegisters(void*, std::initializer_list<const void*>, bool)
{
    return {};
}

#endif

std::optional<std::string> registerFollowed(const RegisterResults& results)
{
    if (!results.made || results.usual[1] != results.usual[0])
        return std::nullopt;
    for (int i = 0; i < vectorRegisterCount; ++i)
        if (results.changed[i] != results.usual[0])
            return "xmm" + std::to_string(i);
    return std::nullopt;
}
