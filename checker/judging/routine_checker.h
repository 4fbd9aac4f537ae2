// Checking a routine library against its contract: loading it once, and calling each routine
// in a process of its own started from the loaded library, twice, in guarded storage.
#pragma once

#include "library_process.h"
#include "routine_serving.h"
#include "contracts.h"
#include "library_exports.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "finding.h"

// What the calls of one routine showed.
struct RoutineReport {
    std::vector<Finding> findings;
    std::string shown; // with --show: the listing before and after the first call
    std::string shows; // what the program's window shows after the first call; empty when unknown
    Printed printed = {}; // what the routine printed on its standard output and error while it was checked
};

struct LibraryFacts {
    bool loaded = false;
    std::string file;                      // the file the loader loaded
    std::string problem;                   // why it did not load, in a sentence
    std::vector<std::string> exported;     // the contract's routines that it exports
    std::vector<std::string> alsoExported; // what it exports beyond the contract
    Printed printed;                       // what its start-up code printed
    bool sandboxNotMade = false;           // sandboxed: no sandbox was made, and none of its code ran
};

class RoutineChecker {
public:
    // Children run in `directory`, each with `timeLimit` seconds; with `show`, the bytes of
    // the first call's pieces are listed before and after it. `sandboxed`, they run in the
    // sandbox instead, in a work folder of its own, and `directory` is not used.
    RoutineChecker(const Contract& contract, std::string directory, double timeLimit, bool show,
                   bool sandboxed = true);

    // Loads `candidate` (a path, or a bare file name for the system's search) in the library's
    // process, so that start-up code that crashes, hangs or ends the process ends only that.
    LibraryFacts load(const std::string& candidate);

    // Both calls of one routine of the contract in the loaded file, each request in a process
    // of its own, and what they showed.
    RoutineReport check(const RoutineCheck& routine);

    // Tells the routines' processes to end, without waiting; waitForTheEnd() waits for them
    // and what they left, as the checker's end does.
    void stop();
    void waitForTheEnd();

private:
    // With `arena`, the descriptor of the storage shared with the routine's process.
    ChildOutcome runCalls(const RoutineRequest& request, int arena = -1);
    void callWhereItsFileCannotBeWritten(const RoutineCheck& routine, RoutineReport& report);

    const Contract& contract_;
    std::string directory_;
    double timeLimit_;
    bool show_;
    bool sandboxed_;
    std::string candidate_;
    std::unique_ptr<LibraryProcess> library_;
    std::optional<uint32_t> nextPart_; // the routine the running process calls next
    bool served_ = false; // the last runCalls() came from a routine's process, not the checker's own failure
    // The file load() found, known again by its device and inode when it is loaded again.
    std::optional<FileIdentity> loadedIdentity_;
};

// What one routine of the loaded file did; a routine it does not export is a fault unchecked,
// with the likely cause read from what it exports instead, and that export kept in `explained`.
RoutineReport checkRoutine(RoutineChecker& checker, const Contract& contract, const LibraryFacts& facts,
                           const RoutineCheck& routine, std::vector<std::string>& explained);

// Whether a routine's findings have one of `severity`; a fault.
bool has(const RoutineReport& report, Severity severity);
bool hasFault(const RoutineReport& report);
