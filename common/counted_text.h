// Counted text: the UTF-16 text that a Variant holds (a BSTR, see routine_abi.h).
//
// The program makes and releases its texts itself, with the pair of functions below; they are
// part of the program and exported to no library. So a routine that receives a BSTR (inside a
// Variant) can read it, but can neither release it nor put a text of its own in its place: the
// program releases what it made, and would release a text the routine made with an allocator
// that is not its own. Handler code itself works with std::u16string.
#pragma once

#include "routine_abi.h"

#include <string>
#include <string_view>

// A new counted text holding a copy of `text`: length word, code units, zero terminator.
BSTR allocText(std::u16string_view text);

// Releases a text made by allocText; a null text is ignored.
void freeText(BSTR text);

// The code units of a counted text (all of them, zero units included).
std::u16string_view viewText(const TEXTUNIT* text);
