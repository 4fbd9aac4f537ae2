// Why a routine of the contract is not exported, read from what the library exports instead,
// and which of its exports are the compiler's own rather than the author's.
#pragma once

#include <string>
#include <vector>

// A name as a C++ reader writes it ("square(double*, double*, double*)"); a C name as it is.
std::string readableName(const std::string& name);

// An export that looks like a routine of the contract written another way, and the likely
// cause as a clause in parentheses that begins with a blank.
struct NameCause {
    std::string exported; // empty when no export looks like the routine
    std::string clause;
};

// With gfortran's trailing underscore, as a module procedure, in another letter case, or as a
// C++ name.
NameCause missingNameCause(const std::string& routine, const std::vector<std::string>& exports);

// gfortran's own symbols for what a module holds ("__routine_abi_MOD___def_init_..."): every
// module procedure and variable gets one, and no program calls them.
bool isModuleSymbol(const std::string& name);
