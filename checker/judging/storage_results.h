// What a routine must leave of an array it is given, judged from its bytes before and after the
// call: pure functions of the values, apart from the call that left them.
#pragma once

#include "finding.h"

#include "routine_abi.h"

#include <vector>

// A fault for each field of an array's descriptor the routine changed.
std::vector<Finding> descriptorChanges(const Argument& array, const SAFEARRAY& before, const SAFEARRAY& after);

// A fault for each element left holding something the program would release or follow as its
// own (a text, an array or a reference it did not make); elements numbered from `firstIndex`.
std::vector<Finding> unsafeElements(const Argument& array, const std::vector<VARIANT>& before,
                                    const std::vector<VARIANT>& after, int firstIndex);
