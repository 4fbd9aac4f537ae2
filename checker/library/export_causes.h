// Why a routine of the contract is not exported, read from what the library exports instead,
// and which of its exports are the compiler's own rather than the author's.
#pragma once

#include "finding.h"

#include <string>
#include <vector>

// A name as a C++ reader writes it ("square(double*, double*, double*)"); a C name as it is.
std::string readableName(const std::string& name);

// An export that looks like a routine of the contract written another way, and the likely
// cause.
struct NameCause {
    std::string exported; // empty when no export looks like the routine
    Cause cause;
};

// With gfortran's trailing underscore, as a module procedure, in another letter case, or as a
// C++ name.
NameCause missingNameCause(const std::string& routine, const std::vector<std::string>& exports);

// gfortran's own symbols for what a module holds ("__routine_abi_MOD___def_init_..."): every
// module procedure and variable gets one, and no program calls them.
bool isModuleSymbol(const std::string& name);

// Whose an export is: the author's; the compiler's own name for what a module holds (gfortran's
// module symbols, LLVM Flang's "_QMmysumPsumdll" and its constants "_QQcl..."); or a symbol of
// a runtime linked into the library whole (LLVM Flang's Fortran runtime, which it links in by
// default, or a C++ runtime linked in with -static-libstdc++). None of the last three is
// anything the author wrote or a program calls.
enum class ExportOrigin { Author, CompilersOwn, FortranRuntime, CppRuntime };
ExportOrigin originOf(const std::string& name);
