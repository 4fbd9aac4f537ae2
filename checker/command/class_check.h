// A class in one command: each library found in the PATHs checked by a check of its own (this
// program started again with --format=json for one library), several at once, then a line per
// library and a summary, or JSON Lines, and a JUnit file when asked for.
#pragma once

#include "contracts.h"
#include "library_result.h"
#include "options.h"

#include <cstdint>
#include <string>
#include <vector>

// The exit status: 0 when every library is ok, 1 when any has a fault, 2 when any could not
// be checked. `contract` is null when each file's name gives its own.
int checkClass(const Options& options, const Contract* contract, const std::vector<std::string>& paths,
               std::uint64_t seed);

// Writes a JUnit report of `results` to `file`; false, with the reason in `problem`, when it
// cannot be written.
bool writeJunit(const std::string& file, const std::vector<LibraryResult>& results, std::string& problem);
