#include "kept_registers.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)

namespace {

constexpr int keptCount = 6;
constexpr const char* keptNames[keptCount] = {"rbx", "rbp", "r12", "r13", "r14", "r15"};

// Laid out as kept_registers_x86_64.S reads and writes it.
struct RegisterState {
    uint64_t target;
    uint64_t callerStack;
    uint64_t caller[keptCount];
    uint64_t expected[keptCount]; // what the routine finds, each unlike any address or count
    uint64_t after[keptCount];
    uint64_t stackBeforeCall;
    uint64_t stackAfterCall;
    uint64_t flagsAfterCall;
    uint64_t returned;
};

static_assert(offsetof(RegisterState, expected) == 64 && offsetof(RegisterState, after) == 112 &&
              offsetof(RegisterState, stackBeforeCall) == 160 && offsetof(RegisterState, returned) == 184 &&
              sizeof(RegisterState) <= 192);

constexpr uint64_t directionFlag = 1u << 10;

} // namespace

extern "C" {
extern RegisterState routine_check_registers;
void routine_check_kept_entry();
}

void* keptRegistersEntry(void* routine)
{
    RegisterState& state = routine_check_registers;
    state.target = reinterpret_cast<uintptr_t>(routine);
    for (int i = 0; i < keptCount; ++i)
        state.expected[i] = 0x5EC0DE0000000000u | static_cast<uint64_t>(i + 1) << 32 | 0xC0FFEEu;
    state.returned = 0;
    return reinterpret_cast<void*>(&routine_check_kept_entry);
}

std::vector<Finding> unkeptRegisters()
{
    RegisterState& state = routine_check_registers;
    std::vector<Finding> faults;
    if (!state.returned)
        return faults;
    state.returned = 0;
    for (int i = 0; i < keptCount; ++i)
        if (state.after[i] != state.expected[i])
            faults.push_back({FindingKind::RegisterNotKept, {}, {std::string(keptNames[i])}});
    if (state.stackAfterCall != state.stackBeforeCall) {
        const bool up = state.stackAfterCall > state.stackBeforeCall;
        const uint64_t moved = up ? state.stackAfterCall - state.stackBeforeCall
                                  : state.stackBeforeCall - state.stackAfterCall;
        faults.push_back({up ? FindingKind::StackPointerMovedUp : FindingKind::StackPointerMovedDown, {},
                          {static_cast<int64_t>(moved)}});
    }
    if (state.flagsAfterCall & directionFlag)
        faults.push_back({FindingKind::DirectionFlagSet});
    return faults;
}

#else

void* keptRegistersEntry(void* routine)
{
    return routine;
}

std::vector<Finding> unkeptRegisters()
{
    return {};
}

#endif
