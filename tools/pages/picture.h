// The picture of the memory at a recorded call (recorded_call.h), as the teaching pages show
// it: the call with one row per parameter (and the register that carries it), then a box per
// region the routine reached, with one row per field, and an arrow for every address from
// where it is held to where it points.
#pragma once

#include "recorded_call.h"

#include <string>

// The picture as SVG text.
std::string pictureOf(const RecordedCall& call);
