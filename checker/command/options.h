// routine-check's command line: what it may hold, the text of --help, and the reading of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Format { Text, Json };

struct Options {
    bool help = false;
    bool version = false;
    bool show = false;
    bool noSandbox = false;
    double timeLimit = 2;
    Format format = Format::Text;
    std::string junit;                 // the JUnit file to write; empty for none
    std::optional<std::uint64_t> seed; // the inputs drawn at random; a fresh seed when none
    std::vector<std::string> operands; // [CONTRACT] PATH...
};

extern const char* const usage;
extern const char* const helpText;

// The options of the command line, or the sentence that says what is wrong with them (the
// usage lines after it). What follows --help or --version is not judged.
std::optional<std::string> readOptions(int argc, char** argv, Options& options);
