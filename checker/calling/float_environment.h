// The floating-point environment a routine is called in, and what it left behind.
//
// The programs run with the platform's default: rounding to nearest, every exception masked
// (on x86 both the SSE control register and the x87 control word). A routine that leaves
// another setting behind changes every later calculation of the program that called it.
#pragma once

#include <cstdint>
#include <string>

struct FloatEnvironment {
    uint32_t sse = 0;   // MXCSR on x86, the rounding direction elsewhere
    uint32_t x87 = 0;   // the x87 control word on x86, the enabled exceptions elsewhere
    uint32_t flags = 0; // exception flags raised, as FE_* bits
};

// Sets what the programs run with: default rounding and masks, no flags raised.
void setProgramsEnvironment();

// The environment as it stands now.
FloatEnvironment currentEnvironment();

// What a routine changed, in words ("SSE: rounding toward zero"); empty when nothing.
std::string describeChange(const FloatEnvironment& after);

// The exception flags raised, in words ("inexact, overflow"); empty when none.
std::string describeFlags(const FloatEnvironment& after);
