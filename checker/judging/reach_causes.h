// The usual causes of a reach beyond an argument, from what the checker knows of the call:
// the kind the program passes, and the contract's arguments in their order.
#pragma once

#include "finding.h"
#include "call.h"

#include "call_descriptions.h"
#include "value_kind.h"

#include <cstddef>
#include <string>

// The usual cause of reaching `distance` bytes beyond a piece of `layout` on `side`: a number
// taken as a wider kind than the program passes, or the element before an array's first; no
// cause when there is none.
Cause kindCause(ValueKind layout, Side side, std::size_t distance);

// A routine that declares its arguments in another order takes the argument at `position`
// for another: the cause names the contract's arguments whose size a reach of `reach` bytes
// from that argument's start matches (a text's characters, with or without its terminator,
// or a number's bytes) and the declaration in the contract's order; no cause when it fits
// none.
Cause orderCause(const CallDescription& described, int position, std::size_t reach);

// The routine with its arguments in the contract's order: "chara(textA, lengthA, textB, lengthB)".
std::string declarationOf(const CallDescription& described);
