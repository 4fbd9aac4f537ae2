// Counted text: the UTF-16 text that a Variant holds (a BSTR, see routine_abi.h).
//
// One pair of functions allocates and frees it, so whoever receives a BSTR can release it
// without knowing who made it. Handler code itself works with std::u16string.
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
