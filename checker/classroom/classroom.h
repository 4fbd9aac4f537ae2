// A class in one command: the libraries of many students, each checked on its own, several at
// once, by a check of its own (this same program, started again for one library), whose
// report comes back as one line of JSON.
#pragma once

#include "library_result.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A library to check: the file, or why there is none.
struct Candidate {
    std::string path;     // the file; empty when none was found
    std::string student;  // the folder it was found in; empty for a file named alone
    std::string contract; // the contract its file's name gives
    std::string problem;  // why it cannot be checked
};

// The contract a file's name gives ("libPettrix.so" gives "Pettrix"), or empty.
using ContractOfName = std::function<std::string(std::string_view fileName)>;

// Each path as a library to check. A file is checked as it is. A folder is one student's,
// named by the folder: searched (it and two levels of folders below it, links not followed) for the file of
// `contract`, or of any contract when `contract` is empty; the shallowest file found is it,
// and two at the same depth are a problem to name, not a guess.
std::vector<Candidate> candidatesOf(const std::vector<std::string>& paths, const std::string& contract,
                                    const ContractOfName& contractOf);

// Checks every candidate by running `command` with the contract's name and the file after
// it, at most `atOnce` at a time, and reads each one's JSON line. A candidate without a file,
// or a check that gives no line, is a library that could not be checked. The results come
// in the candidates' order. When `interrupted` names a signal, no check starts any more and
// the running ones are sent that signal.
std::vector<LibraryResult> checkAll(const std::vector<Candidate>& candidates, const std::vector<std::string>& command,
                                    unsigned atOnce, const std::function<int()>& interrupted = {});
