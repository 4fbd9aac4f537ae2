// What the check of one library found, as data: what the report lines, the JSON Lines of a
// class and its JUnit file are all written from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Verdict { Ok, Fault, NotChecked };

struct FindingRecord {
    bool fault = true;    // a fault, or a note that passes
    std::string kind;     // what happened, as a name that does not change with the wording
    std::string argument; // the contract's name of the argument; empty when none
    int position = 0;     // where the routine receives it, from 1; 0 when none
    std::string cause;    // the likely cause, when one is known
    std::string sentence; // as the report line says it
};

struct RoutineResult {
    std::string name;
    bool fault = false;
    std::vector<FindingRecord> findings;
    std::string shows;  // what the program's window shows after the first call
    std::string output; // what the routine printed, made printable
};

struct LibraryResult {
    std::string path;     // the file checked
    std::string student;  // the folder it was found in, for a class; empty for one library
    std::string contract; // Ostrum, Morvane or Pettrix
    Verdict verdict = Verdict::NotChecked;
    std::string problem;               // why it could not be checked
    std::optional<std::uint64_t> seed; // the seed of the inputs drawn at random
    std::vector<RoutineResult> routines;
    std::vector<std::string> notes; // about the library as a whole ("also exports ...")
};

// "ok", "fault", "not checked".
const char* verdictName(Verdict verdict);
