// The arguments of a call placed as its program passes them, from the call's description
// (call_descriptions.h): each piece named by the contract's name and the program's own, and
// holding what the program puts into it.
#pragma once

#include "array_arguments.h"
#include "call.h"

#include "call_descriptions.h"

#include <cstring>
#include <string>
#include <vector>

// Where the routine receives the argument, from 1: its place in its call's description; 0 for
// an argument of no description.
int positionOf(const ArgumentDescription& argument);

// The argument's own piece: named by the contract, reached through that name, called by the
// program's name for it; elements are called after their array ("x(1)" on).
PieceName pieceNameOf(const ArgumentDescription& argument);

// A number of the routine's own kind, holding the value the program passes, in read-only
// storage when the routine may only read it.
template <typename T>
T* placeValue(Call& call, const ArgumentDescription& argument)
{
    return call.value<T>(pieceNameOf(argument), static_cast<T>(argument.number), argument.onlyRead);
}

// The same piece holding another value than the program's, for a further call with other
// arguments.
template <typename T>
T* placeOtherValue(Call& call, const ArgumentDescription& argument, T number)
{
    return call.value<T>(pieceNameOf(argument), number, argument.onlyRead);
}

// The same number as a piece of the shared storage's plan: its bytes, placed in call `call`
// as placeValue() and placeOtherValue() place it.
template <typename T>
ArenaPiece sharedValue(uint32_t call, const ArgumentDescription& argument, T number)
{
    ArenaPiece piece;
    piece.call = call;
    piece.initial.resize(sizeof number);
    std::memcpy(piece.initial.data(), &number, sizeof number);
    piece.alignment = alignof(T);
    piece.readOnly = argument.onlyRead;
    piece.argument = {std::string(argument.name), positionOf(argument)};
    piece.layout = kindOf<T>();
    return piece;
}

// The 8-bit copy of the text the program passes.
char* placeText(Call& call, const ArgumentDescription& argument);

// The same text as a piece of the shared storage's plan, placed in call `call`.
ArenaPiece sharedText(uint32_t call, const ArgumentDescription& argument);

// Elements of an array of Variants as a piece of the plan, as Call::elements() places them.
ArenaPiece sharedElements(uint32_t call, const ArgumentDescription& argument, const std::vector<VARIANT>& elements);

// The elements of the argument's array from the one passed to the last, as the program holds
// them.
std::vector<VARIANT> elementsOf(const ArrayContents& array);

// The array an argument passes by reference, or that its Variant refers to: elements,
// descriptor and the variable that holds the descriptor's address.
ArrayArgument placeArray(Call& call, const ArgumentDescription& argument);

// The same three pieces added to a plan, as placeArray() places them in call `call`: the
// descriptor holds the address of the elements, the variable the descriptor's.
void planArray(std::vector<ArenaPiece>& pieces, uint32_t call, const ArgumentDescription& argument);
