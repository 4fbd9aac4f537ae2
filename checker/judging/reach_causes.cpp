#include "reach_causes.h"

#include "placements.h"
#include "wording.h"

#include <vector>

#include <string>

namespace {

// The contract's arguments other than the one at `position` whose size a reach of `reach`
// bytes from that argument's start matches: a text's characters, with or without its
// terminator, or a number's bytes. A routine that declares its arguments in another order
// takes the argument at `position` for one of them.
std::vector<const ArgumentDescription*> argumentsOfSize(const CallDescription& described, int position,
                                                        std::size_t reach)
{
    const auto sizeOf = [](ValueKind kind) -> std::size_t {
        switch (kind) {
        case VALUE_INT16: return 2;
        case VALUE_INT32:
        case VALUE_REAL32: return 4;
        case VALUE_REAL64: return 8;
        default: return 0;
        }
    };
    std::vector<const ArgumentDescription*> fitting;
    for (const ArgumentDescription& argument : described.arguments) {
        if (positionOf(argument) == position)
            continue;
        const bool fits = argument.kind == VALUE_TEXT
            ? reach == argument.text.size() || reach == argument.text.size() + 1
            : sizeOf(argument.kind) == reach;
        if (fits)
            fitting.push_back(&argument);
    }
    return fitting;
}

} // namespace

Cause kindCause(ValueKind layout, Side side, std::size_t distance)
{
    struct Kind {
        ValueKind layout;
        std::size_t reach; // past the end
        const char* taken;
        const char* declared;
    };
    constexpr Kind kinds[] = {
        {VALUE_INT16, 2, "a 32-bit integer", "int16_t * in C, integer(c_int16_t) in Fortran"},
        {VALUE_INT16, 6, "a 64-bit integer", "int16_t * in C, integer(c_int16_t) in Fortran"},
        {VALUE_INT32, 4, "a 64-bit number", "int32_t * in C, integer(c_int32_t) in Fortran"},
        {VALUE_REAL32, 4, "a 64-bit real", "float * in C, real(c_float) in Fortran"},
    };
    if (side == Side::End)
        for (const Kind& kind : kinds)
            if (kind.layout == layout && kind.reach == distance)
                return {CauseKind::TakenWider, {}, {kind.taken, kind.declared}};
    if (side == Side::Start && layout == VALUE_VARIANTS && distance == sizeof(VARIANT))
        return {CauseKind::ElementBeforeFirst};
    return {};
}

// The routine with its arguments in the contract's order: "chara(textA, lengthA, textB, lengthB)".
std::string declarationOf(const CallDescription& described)
{
    std::string declaration;
    for (const ArgumentDescription& argument : described.arguments)
        declaration += (declaration.empty() ? "" : ", ") + std::string(argument.name);
    return std::string(described.routine) + "(" + declaration + ")";
}

// The cause that names the arguments a reach fits and the declaration in the contract's
// order, or none when the reach fits no other argument.
Cause orderCause(const CallDescription& described, int position, std::size_t reach)
{
    const std::vector<const ArgumentDescription*> fitting = argumentsOfSize(described, position, reach);
    if (fitting.empty())
        return {};
    std::string names, positions;
    for (const ArgumentDescription* argument : fitting) {
        const char* joint = names.empty() ? "" : " or ";
        names += joint + std::string(argument->name);
        positions += joint + ordinal(positionOf(*argument));
    }
    return {
        CauseKind::DeclaredInOtherOrder, {}, {static_cast<int64_t>(reach), names, positions, declarationOf(described)}};
}
