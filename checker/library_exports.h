// What a loaded library exports, read from its dynamic symbol table in memory.
#pragma once

#include <string>
#include <vector>

// The names of the functions and data a loaded library defines and exports, in the order of
// its symbol table. `handle` is what dlopen returned.
std::vector<std::string> exportedNames(void* handle);

// Whether `name` is exported by the library behind `handle` itself, not by one it depends on.
void* ownExport(void* handle, const char* name);
