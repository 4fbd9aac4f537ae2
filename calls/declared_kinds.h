// declared_kinds.h: whether a call's description (call_descriptions.h) agrees with the routine's
// declaration in its contract header: as many arguments, each the address of the kind
// described, and the result the program reads of the kind declared. Used in static_assert, so
// that a description and a header that part stop the build.
#pragma once

#include "call_descriptions.h"
#include "routine_abi.h"

#include <cstddef>
#include <type_traits>

template <typename Declaration>
struct DeclaredKinds;

template <typename Result, typename... Parameters>
struct DeclaredKinds<Result(Parameters...)> {
    static constexpr bool agreeWith(const CallDescription& described)
    {
        if (described.arguments.size() != sizeof...(Parameters))
            return false;
        if (described.result != VALUE_NONE && described.result != kindOf<Result>())
            return false;
        const ValueKind declared[] = {kindOf<std::remove_pointer_t<Parameters>>()...};
        constexpr bool allAddresses = (std::is_pointer_v<Parameters> && ...);
        for (std::size_t i = 0; i < described.arguments.size(); ++i)
            if (declared[i] != described.arguments[i].kind)
                return false;
        return allAddresses;
    }
};

// static_assert(kindsAsDeclared<decltype(::chara)>(ostrumCalls.call("chara")));
template <typename Declaration>
constexpr bool kindsAsDeclared(const CallDescription& described)
{
    return DeclaredKinds<Declaration>::agreeWith(described);
}
