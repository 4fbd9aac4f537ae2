// What a loaded library exports, read from its dynamic symbol table in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The names of the functions and data a loaded library defines and exports, in the order of
// its symbol table. `handle` is what dlopen returned.
std::vector<std::string> exportedNames(void* handle);

// Which file a loaded library was mapped from: its device and inode, as the process's own
// mappings show them, for knowing a file again in another process whatever path led to it.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file behind `handle`, or nothing when its mapping is not found.
std::optional<FileIdentity> loadedFileIdentity(void* handle);

// The identity of the file at `path`, or nothing when it cannot be examined.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// The file behind `handle`, as the loader names it.
std::string loadedFileName(void* handle);

// How a routine that the library holds and does not export was declared.
enum class Unexported { Static, Hidden };

// Whether the library file at `path` holds a routine `name` in its own symbol table (.symtab)
// that it does not export, and how: a C `static` routine, or one hidden by the visibility
// settings (-fvisibility=hidden without an export attribute). Nothing when the file is
// stripped, unreadable, or holds no such routine.
std::optional<Unexported> unexportedRoutine(const std::string& path, const std::string& name);
