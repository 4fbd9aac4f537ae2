// Checking a routine library against its contract: loading it, and calling each routine in a
// child process of its own, twice, in guarded storage.
#pragma once

#include "contracts.h"
#include "library_exports.h"

#include <optional>

#include <string>
#include <vector>

// A fault makes the routine's line "fault:" and the exit status 1; a note is said and passes.
enum class Severity { Fault, Note };

struct Finding {
    Severity severity;
    std::string sentence;
};

// What the calls of one routine showed.
struct RoutineReport {
    std::vector<Finding> findings;
    std::string shown; // with --show: the listing before and after the first call
    std::string shows; // what the program's window shows after the first call; empty when unknown
};

struct LibraryFacts {
    bool loaded = false;
    std::string file;                      // the file the loader loaded
    std::string problem;                   // why it did not load, in a sentence
    std::vector<std::string> exported;     // the contract's routines that it exports
    std::vector<std::string> alsoExported; // what it exports beyond the contract
};

class RoutineChecker {
public:
    // Children run in `directory`, each with `timeLimit` seconds; with `show`, the bytes of
    // the first call's pieces are listed before and after it.
    RoutineChecker(const Contract& contract, std::string directory, double timeLimit, bool show);

    // Loads `candidate` (a path, or a bare file name for the system's search) in a child, so
    // that start-up code that crashes, hangs or ends the process ends only the child.
    LibraryFacts load(const std::string& candidate) const;

    // Both calls of one routine of the loaded file, and what they showed.
    RoutineReport check(const std::string& file, const RoutineCheck& routine) const;

private:
    std::string timeText() const;

    const Contract& contract_;
    std::string directory_;
    double timeLimit_;
    bool show_;
    // The file load() found, known again by its device and inode in each new process.
    mutable std::optional<FileIdentity> loadedIdentity_;
};
