// What a routine must leave of what it is given, judged from bytes: of an array, its bytes
// before and after the call; of every piece in the storage the checker shares with the
// routine's process, the bytes around it and what it must only read. Pure functions of the
// values, apart from the calls and the process that left them.
#pragma once

#include "arena.h"
#include "finding.h"

#include "routine_abi.h"

#include <cstddef>
#include <vector>

// A fault for each field of an array's descriptor the routine changed.
std::vector<Finding> descriptorChanges(const Argument& array, const SAFEARRAY& before, const SAFEARRAY& after);

// A fault for each element left holding something the program would release or follow as its
// own (a text, an array or a reference it did not make); elements numbered from `firstIndex`.
std::vector<Finding> unsafeElements(const Argument& array, const std::vector<VARIANT>& before,
                                    const std::vector<VARIANT>& after, int firstIndex);

// For each piece of the shared storage: a fault for a write into the fill before it or after
// it (the farthest changed byte gives the distance), and for a change to a piece the routine
// must only read.
std::vector<Finding> judgeSharedPieces(const ArenaLayout& layout, const std::byte* bytes);

// How many calls returned, one after another from the first, by their markers.
std::size_t callsReturned(const ArenaLayout& layout, const std::byte* bytes);
