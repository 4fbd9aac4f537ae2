// What the operands ask for: one library (today's single check) or a class, and for one
// library, the file to check.
#pragma once

#include "contracts.h"
#include "library_exports.h"
#include "routine_checker.h"

#include <optional>
#include <string>
#include <vector>

// [CONTRACT] PATH...: one PATH that is no folder, or none, is one library; several PATHs, or a
// folder, are a class.
struct Asked {
    const Contract* contract = nullptr; // named first, or given by a file's name
    bool aClass = false;
    std::vector<std::string> paths; // after the contract's name
    std::string problem;            // why the operands ask for nothing that can be checked
};
Asked whatIsAsked(const std::vector<std::string>& operands);

struct FileToCheck {
    std::string candidate; // a path, or the bare file name for the system's search
    std::string how;       // how it was chosen, for the first line; empty when named
    bool found = false;    // chosen as the program would choose it, not named
};

// The file named, else the file the program would load: beside the program first, else
// through the system's search, by the same name. Here the checker stands where the program
// would.
FileToCheck fileToCheck(const Contract& contract, const std::vector<std::string>& paths);

// A file named or found beside the checker is looked at before the loader opens it: the
// loader waits forever on a FIFO and faults on a file cut short.
std::optional<std::string> problemBeforeLoading(const Contract& contract, const FileToCheck& file);

// Why the file did not load; for the file the system's search was to find, where it looked.
std::string loadProblem(const Contract& contract, const FileToCheck& file, const LibraryFacts& facts);
