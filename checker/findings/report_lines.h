// The lines of the report: each routine's findings worded, what its program's window shows,
// what it printed, and after the routines the library's own note and the summary.
#pragma once

#include "contracts.h"
#include "library_process.h"
#include "routine_checker.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// What a library's code printed, quoted a line at a time after its name and `when`
// ("sumdll printed: ", "Pettrix printed while loading: "), its control characters escaped,
// and then how much there was in all when not all of it is quoted.
std::vector<std::string> printedLines(const std::string& name, const std::string& when, const Printed& printed);

// One routine's lines: "ok" when it has no fault and was checked whole, what the checker could
// not check, its faults, its notes, what its program's window shows, then with --show the
// listing of its first call.
void printRoutine(std::ostream& out, const Contract& contract, const char* name, const RoutineReport& report);

// What the library exports beyond the contract that its author wrote ("also exports helper,
// which Tolvan never calls"), without the library's name; nothing when there is none.
std::optional<std::string> exportsNote(const Contract& contract, const LibraryFacts& facts,
                                       const std::vector<std::string>& explained);

// "summary: 6 routines, 5 ok, 1 with a fault".
std::string summaryLine(const Contract& contract, int withFault, int unchecked);

// What the library exports beyond the contract, and the summary line: `explained` are the
// exports already named as the cause of a missing routine, `withFault` and `unchecked` how
// many routines had a fault or could not be checked.
void printEnd(std::ostream& out, const Contract& contract, const LibraryFacts& facts,
              const std::vector<std::string>& explained, int withFault, int unchecked);
