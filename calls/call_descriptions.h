// call_descriptions.h: each routine of the three contracts as its program calls it, as data.
//
// For every routine, its arguments in order; for every argument, the contract's name for it,
// the kind its address points at, how the program passes it, the program's own name for what
// it passes (as the handler names it), the value it holds at the call and whether the routine
// may only read it. routine-check places its arguments from these, and the teaching pages name
// the regions they show from them; the handlers themselves (console/form1.cpp,
// squareclient/form1.cpp, sumclient/form1.cpp) stay the place where a call is written out.
//
// Plain C++ and the standard library alone. The kinds (value_kind.h) are checked against the
// contract headers when the target call_descriptions_checked is built (declared_kinds.h).
#pragma once

#include "value_kind.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

// How the program passes an argument.
enum class Passing {
    OwnAddress,       // a variable of the routine's kind, by its own address
    Temporary,        // a temporary of the routine's kind, stored back into the variable after the call
    TextCopy,         // a zero-terminated 8-bit copy of a text
    ArrayElement,     // the address of an element: the elements from it on lie side by side
    ArrayByReference, // the address of the variable that holds the address of the array's descriptor
    TaggedVariant,    // a Variant tagged VT_BYREF | VT_ARRAY | VT_VARIANT that refers to that variable
};

// Every array the programs pass is a fixed array of index 1 to 10.
inline constexpr int arrayFirstIndex = 1;
inline constexpr int arrayLength = 10;

// An array of the program's, as it holds it at the call: each element empty, or the 16-bit
// integers first, first + step, ... from index 1 on.
struct ArrayContents {
    std::string_view name = {}; // the program's array: "x"
    bool empty = true;
    int16_t first = 0;
    int16_t step = 0;
    int passedIndex = arrayFirstIndex; // for ArrayElement: the element whose address is passed
};

struct ArgumentDescription {
    std::string_view name;       // as the contract names it: "count"
    ValueKind kind;              // what its address points at
    Passing passing;
    std::string_view callerName; // what the handler passes: "nTemporary", "copyOfStrB", "x(1)", "wrapped"
    double number = 0;           // the value of a number
    std::string_view text = {};  // the characters of a text
    ArrayContents array = {};    // for an element, an array or a Variant that refers to one
    bool onlyRead = false;       // the routine may only read it: it lies in read-only storage when checked
};

// One routine as its program calls it.
struct CallDescription {
    std::string_view routine; // "yArray"
    std::span<const ArgumentDescription> arguments;
    ValueKind result = VALUE_NONE; // the kind of result the program reads; VALUE_NONE when it reads none

    // The argument of that name; evaluated as the program is compiled, so a name the routine
    // does not have stops the build.
    consteval const ArgumentDescription& argument(std::string_view name) const
    {
        for (const ArgumentDescription& described : arguments)
            if (described.name == name)
                return described;
        throw std::logic_error("no argument of that name");
    }
};

// One contract: its library, the program that calls it and its routines in the contract's order.
struct ContractCalls {
    std::string_view library; // "Ostrum"
    std::string_view program; // "Korvik"
    std::span<const CallDescription> calls;

    // The call of that routine; null when the contract has none.
    constexpr const CallDescription* find(std::string_view routine) const
    {
        for (const CallDescription& described : calls)
            if (described.routine == routine)
                return &described;
        return nullptr;
    }

    // The call of that routine, where a missing one is a mistake of the program's own.
    // (A loop of its own, not find(): GCC's undefined-behaviour checks make a comparison of an
    // address with null no constant expression.)
    constexpr const CallDescription& call(std::string_view routine) const
    {
        for (const CallDescription& described : calls)
            if (described.routine == routine)
                return described;
        throw std::logic_error("no routine of that name");
    }
};

// ---- Ostrum, as Korvik calls it (tests 1, 2, 3, 5, 6 and 7) ------------------------------------

namespace ostrum_calls {

// Test 1: text A as an 8-bit copy that is discarded, its length through a 32-bit temporary;
// text B as an 8-bit copy that is turned back, its length, already 32-bit, by its own address.
inline constexpr ArgumentDescription chara[] = {
    {"textA", VALUE_TEXT, Passing::TextCopy, "copyOfStrA", 0, "Woo HaHaHaHa        "},
    {"lengthA", VALUE_INT32, Passing::Temporary, "lenATemporary", 20},
    {"textB", VALUE_TEXT, Passing::TextCopy, "copyOfStrB", 0, "aaaa                "},
    {"lengthB", VALUE_INT32, Passing::OwnAddress, "lenB", 20},
};

// Test 2: the count by its own address, and element 1 of each of two arrays: x holds the 16-bit
// integers 1 to 10, y is empty.
inline constexpr ArgumentDescription xArray[] = {
    {"count", VALUE_INT16, Passing::OwnAddress, "n", 10},
    {"x", VALUE_VARIANT, Passing::ArrayElement, "x(1)", 0, {}, {"x", false, 1, 1, 1}},
    {"y", VALUE_VARIANT, Passing::ArrayElement, "y(1)", 0, {}, {"y", true, 0, 0, 1}},
};

// Test 3: xx, a 16-bit integer holding 5, through a 32-bit real temporary.
inline constexpr ArgumentDescription square[] = {
    {"x", VALUE_REAL32, Passing::Temporary, "xxTemporary", 5},
};

// Test 5: numA through a 16-bit temporary holding 15, numB, a 16-bit integer holding 0, by its
// own address.
inline constexpr ArgumentDescription transnumber[] = {
    {"a", VALUE_INT16, Passing::Temporary, "numATemporary", 15},
    {"b", VALUE_INT16, Passing::OwnAddress, "numB", 0},
};

// Test 6: the count through a 16-bit temporary, and x by reference holding 2, 4, ..., 20.
inline constexpr ArgumentDescription yArray[] = {
    {"count", VALUE_INT16, Passing::Temporary, "nTemporary", 10},
    {"array", VALUE_DESCRIPTOR_ADDRESS, Passing::ArrayByReference, "x", 0, {}, {"x", false, 2, 2}},
};

// Test 7: a Variant that refers to x, which holds 1 to 10.
inline constexpr ArgumentDescription zArray[] = {
    {"array", VALUE_VARIANT, Passing::TaggedVariant, "wrapped", 0, {}, {"x", false, 1, 1}},
};

inline constexpr CallDescription calls[] = {
    {"chara", chara},
    {"xArray", xArray},
    {"square", square, VALUE_REAL32},
    {"transnumber", transnumber},
    {"yArray", yArray},
    {"zArray", zArray},
};

} // namespace ostrum_calls

inline constexpr ContractCalls ostrumCalls{"Ostrum", "Korvik", ostrum_calls::calls};

// ---- Morvane, as Vandrel calls it at its first click, with the texts "3" and "1" --------------

namespace morvane_calls {

// All three are 64-bit reals by their own addresses; n and x are only read, y receives the
// square. The status result is not read.
inline constexpr ArgumentDescription square[] = {
    {"n", VALUE_REAL64, Passing::OwnAddress, "n", 1, {}, {}, true},
    {"x", VALUE_REAL64, Passing::OwnAddress, "x", 3, {}, {}, true},
    {"y", VALUE_REAL64, Passing::OwnAddress, "y", 0},
};

inline constexpr CallDescription calls[] = {
    {"square", square},
};

} // namespace morvane_calls

inline constexpr ContractCalls morvaneCalls{"Morvane", "Vandrel", morvane_calls::calls};

// ---- Pettrix, as Tolvan calls it at its first click, with the texts "10" and "20" -------------

namespace pettrix_calls {

// a, b and c are 16-bit integers by their own addresses; a and b are only read, c holds 0.
inline constexpr ArgumentDescription sumdll[] = {
    {"a", VALUE_INT16, Passing::OwnAddress, "a", 10, {}, {}, true},
    {"b", VALUE_INT16, Passing::OwnAddress, "b", 20, {}, {}, true},
    {"c", VALUE_INT16, Passing::OwnAddress, "c", 0},
};

inline constexpr CallDescription calls[] = {
    {"sumdll", sumdll},
};

} // namespace pettrix_calls

inline constexpr ContractCalls pettrixCalls{"Pettrix", "Tolvan", pettrix_calls::calls};

// The three contracts, in the order the programs are named: Korvik, Vandrel, Tolvan.
inline constexpr const ContractCalls* allContractCalls[] = {&ostrumCalls, &morvaneCalls, &pettrixCalls};

// The contract a program calls ("Korvik"); null for any other name.
constexpr const ContractCalls* contractCallsOf(std::string_view program)
{
    for (const ContractCalls* contract : allContractCalls)
        if (contract->program == program)
            return contract;
    return nullptr;
}
