// A check's findings as the data the machine-readable reports are written from: each made
// from the typed findings, worded by the same table as the report lines.
#pragma once

#include "library_result.h"
#include "routine_checker.h"

#include <string>

FindingRecord recordOf(const Finding& finding);

// One routine's findings, what its program's window shows and what it printed.
RoutineResult routineResult(const char* name, const RoutineReport& report);

// The class's line for one library: the student (or its path), then "ok", or each faulty
// routine's first fault as its own report says it ("sumdll fault: ..."), or "could not be
// checked: " and why.
std::string classLine(const LibraryResult& result);
