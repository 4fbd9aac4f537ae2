// An array of Variants as Korvik passes one whole: its elements, its descriptor and the
// variable that holds the descriptor's address, each a piece of its own.
#pragma once

#include "call.h"

#include <optional>
#include <string>
#include <vector>

struct ArrayArgument {
    std::string name;             // the routine's argument, for the sentences
    int position;                 // where the routine receives it, from 1
    std::vector<VARIANT> initial; // the elements as the program filled them
    VARIANT* elements;
    SAFEARRAY* descriptor;
    SAFEARRAY before;     // the descriptor as it was passed
    SAFEARRAY** variable; // holds the descriptor's address
};

// A fixed array of index 1 to 10 holding `initial`: the argument `name` in sentences, the
// program's array `programName` in listings, and `variable`, the variable that holds its
// descriptor's address; every piece of it is named with the variable's position.
ArrayArgument placeArray(Call& call, const std::string& name, const std::string& programName,
                         const std::vector<VARIANT>& initial, const PieceName& variable);

// The descriptor of a fixed local array of index 1 to 10 of Variants whose elements lie at
// `elements`, as the programs create one.
SAFEARRAY arrayDescriptor(VARIANT* elements);

// Ten Variants holding the 16-bit integers first, first + step, ... (all 16 bytes set, as the
// program's Variants are).
std::vector<VARIANT> smallIntegers(int16_t first, int16_t step);

// Ten empty Variants, all 16 bytes zero.
std::vector<VARIANT> emptyVariants();

// An element whose tag names one kind while its payload holds another, wider one: a 32-bit
// real (VT_R4) over the bytes of a normal 64-bit real that reads otherwise as 32 bits, or a
// 16-bit integer (VT_I2) over a 32-bit integer beyond 16 bits (65536 or more, or below
// -32768). The program reads the tag's kind from the first bytes.
struct TagMismatch {
    VARTYPE tagged;
    VARTYPE held;
    std::string heldValue; // the payload read as the held kind ("100")
};
std::optional<TagMismatch> tagMismatch(const VARIANT& element);

// "a 32-bit real (VT_R4)", for the kinds a Variant holds a number in.
std::string kindNamed(VARTYPE kind);
