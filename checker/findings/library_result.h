// What the check of one library found, as data: what the JSON Lines of a class and its JUnit
// file are written from, and what a class reads back from each library's own check.
#pragma once

#include "finding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Verdict { Ok, Fault, NotChecked };

// A finding as a report gives it: its kind and cause by their names (kind_names.h), its
// argument, its values as found, and its sentence as the report line says it.
struct FindingRecord {
    Severity severity = Severity::Fault;
    std::string kind;          // what happened, as a name that does not change with the wording
    std::string argument = {}; // the contract's name of the argument; empty when none
    int position = 0;          // where the routine receives it, from 1; 0 when none
    std::string cause = {};    // the likely cause by its name, when one is known
    std::string sentence = {}; // as the report line says it
    std::vector<Value> values = {}; // the numbers and texts the sentence is made of, in its order
};

struct RoutineResult {
    std::string name;
    Verdict verdict = Verdict::Ok;
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
    bool sandboxed = true;             // its code ran in the sandbox
    std::vector<std::string> notes; // about the library as a whole ("also exports ...", "not sandboxed ...")
};

// "ok", "fault", "not checked".
const char* verdictName(Verdict verdict);
