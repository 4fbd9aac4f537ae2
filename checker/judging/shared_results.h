// What the calls left around every piece in the storage the checker shares, judged from its
// bytes: pure functions of the layout and the bytes, apart from the process that left them.
#pragma once

#include "arena.h"
#include "finding.h"

#include <cstddef>
#include <vector>

// For each piece: a fault for a write into the fill before it or after it (the farthest changed
// byte gives the distance), and for a change to a piece the routine must only read.
std::vector<Finding> judgeSharedPieces(const ArenaLayout& layout, const std::byte* bytes);

// How many calls returned, one after another from the first, by their markers.
std::size_t callsReturned(const ArenaLayout& layout, const std::byte* bytes);
