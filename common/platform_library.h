// The platform's own loader, as the routine binding uses it: the dynamic loader on Linux,
// LoadLibrary and GetProcAddress on Windows. Kept apart from the value kinds: the platform's
// headers on Windows declare their own VARIANT, SAFEARRAY and BSTR, which the set's
// routine_abi.h declares too, so no file includes both.
#pragma once

#include <string>

// The loaded library, or null (the reason in lastLoaderError()).
void* openLibrary(const std::string& file);

// The address the library exports under `name`, or null.
void* findSymbol(void* library, const char* name);

// The loader's own words for its last failure.
std::string lastLoaderError();

// The platform's words for a name that findSymbol did not find, when it has words of its own
// to add to the sentence that names routine and library; empty where it has none (Linux).
std::string missingSymbolWords();

// Whether an exported address is code that can be called, as far as the platform tells.
bool isRoutine(void* address);

// The running program's own file, as a full path; empty when the platform does not say.
std::string programFile();
