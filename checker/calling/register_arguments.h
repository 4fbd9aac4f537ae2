// Calling a routine with chosen contents in the registers a program never sets for it. A
// routine that takes an argument by value (Fortran's value attribute, a C parameter without
// *) where the program passes its address reads a register: for a real, one of the vector
// registers that carry reals (xmm0 to xmm7 on x86-64), which the program leaves holding
// whatever they held. What the routine returns then follows that register, not the argument.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

inline constexpr int vectorRegisterCount = 8; // xmm0 to xmm7

// What a routine gave back called with `arguments` in the integer argument registers, as the
// program passes them: twice with the usual contents in the vector registers, then once with
// each vector register in turn loaded with another real. `realResult` reads the result where
// a real is returned (xmm0), otherwise where an integer is (rax). Nothing is called on a
// platform where the registers cannot be loaded.
struct RegisterResults {
    bool made = false;
    uint64_t usual[2] = {0, 0};
    uint64_t changed[vectorRegisterCount] = {};
};
RegisterResults resultsWithRegisters(void* routine, std::initializer_list<const void*> arguments, bool realResult);

// The vector register whose contents the result follows: "xmm0". Nothing when the result
// stays the same, or when the routine gave different results for the same registers.
std::optional<std::string> registerFollowed(const RegisterResults& results);
