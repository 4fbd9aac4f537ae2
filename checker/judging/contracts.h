// The three contracts the checker knows, each as its program calls it.
//
// A routine's check places the arguments exactly as its program passes them (same values,
// kinds, tags, descriptors, lengths and sizes), calls the routine once through Call::run,
// and then compares what the program relies on.
#pragma once

#include "call.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What the calls of a routine place in the storage the checker shares, in their order, and
// how many calls of the routine they make.
struct SharedPlan {
    std::vector<ArenaPiece> pieces;
    std::size_t calls = 0;
    std::size_t recordSize = 0; // what the calls give back in registers, recorded
};

// What the calls left of a routine's results, judged from the shared storage's bytes: its
// findings, and what the program's window shows after the first call.
struct SharedJudgement {
    std::vector<Finding> findings;
    std::string shows;
};

// A routine whose calls lie in the storage the checker shares: its plan, and the judgement of
// its results from the bytes, given how many of its calls returned (a result of a call that did
// not return is never judged).
struct SharedCalls {
    SharedPlan (*plan)();
    SharedJudgement (*judge)(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned);
};

struct RoutineCheck {
    const char* name;
    void (*check)(void* address, Call& call);
    // For a routine that writes a file (Morvane's square.dat): its name, and one call as the
    // program makes it, made once more where a folder stands in the file's place, so that it
    // cannot be written.
    const char* fileWritten = nullptr;
    void (*callOnce)(void* address, Call& call) = nullptr;
    // For a routine whose calls the checker judges from the storage it shares.
    const SharedCalls* shared = nullptr;
};

struct Contract {
    const char* name;                   // the library's own name
    const char* library;                // as its program declares it
    const char* program;                // the program that calls it
    std::vector<RoutineCheck> routines; // in the contract's order
    bool drawsInputs = false;           // adds inputs drawn from the run's seed to the fixed ones
};

extern const Contract ostrumContract;  // Korvik's tests 1 to 7
extern const Contract morvaneContract; // Vandrel's first click
extern const Contract pettrixContract; // Tolvan's first click

// The contract of a library named as a program declares it, in any letter case, with or
// without a trailing ".dll"; null for any other name.
const Contract* contractNamed(std::string_view name);

// The contract a library file's name gives: "libOstrum.so", "Ostrum.dll" or "Ostrum.so" in any
// folder, in any letter case; null when the name ends neither in .so nor in .dll, or names
// no contract.
const Contract* contractOfFile(std::string_view path);
