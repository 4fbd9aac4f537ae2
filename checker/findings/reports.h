// The machine-readable reports of a check: a JSON object a line, and a JUnit file, which
// continuous-integration services and autograders read.
#pragma once

#include "library_result.h"

#include <optional>
#include <string>
#include <vector>

// One library as one line of JSON, without its end of line.
std::string jsonLine(const LibraryResult& result);

// The library a line of jsonLine() describes; nothing when the line is not one.
std::optional<LibraryResult> fromJsonLine(const std::string& line);

// A JUnit document: a test suite per library, a test case per routine of its contract, a
// failure per fault (its sentences), an error for a library that could not be checked.
std::string junitDocument(const std::vector<LibraryResult>& results);
