// What the C calling convention asks a routine to keep, seen at each call: on x86-64, rbx,
// rbp and r12 to r15 as it found them, the stack pointer where the call left it, and the
// direction flag clear. A routine that breaks it may return to a program that crashes later,
// far from the routine (Tolvan ends with SIGSEGV a moment after the click).
#pragma once

#include "finding.h"

#include <vector>

// The address to call instead of `routine`: an entry that calls `routine` with the same
// arguments and notes what it returned with. Where there is no such entry (not x86-64), the
// routine itself.
void* keptRegistersEntry(void* routine);

// A fault for each thing the latest call through the entry did not keep; empty
// when it kept everything, or when no call went through the entry since the last question.
std::vector<Finding> unkeptRegisters();
