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

// The vector register whose contents the routine's result follows when it is called with
// `arguments` in the integer argument registers, as the program passes them, and one vector
// register at a time loaded with another real: "xmm0". Nothing when the result stays the same
// (or when the routine gives different results for the same registers, or on a platform
// where the registers cannot be loaded). `realResult` reads the result where a real is
// returned (xmm0), otherwise where an integer is (rax).
std::optional<std::string> vectorRegisterFollowed(void* routine, std::initializer_list<const void*> arguments,
                                                  bool realResult);
