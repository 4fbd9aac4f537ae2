// The names that machine-readable reports give each kind of finding and each cause: they
// stay the same when a sentence's wording changes, so that a grader can match on them.
#pragma once

#include "finding.h"

// "wrote-past-end", "sum-wrong"...
const char* kindName(FindingKind kind);
// "declared-in-other-order"...; "" for CauseKind::None.
const char* causeName(CauseKind kind);
// "fault", "note", "not checked".
const char* severityName(Severity severity);
