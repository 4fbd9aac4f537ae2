// What makes a file unfit to hand to the system's loader as a library, found before the
// loader touches it. The loader waits forever on a FIFO, and a library file cut short (a copy
// that stopped half-way) makes it fault when it maps the missing part; both end a program
// with no report, so a file is checked first and a problem is reported in words instead.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// What is wrong with the file at `path` as a library to load, as a sentence that begins with
// "the file" ("the file is a FIFO, not a regular file"), or nothing when it may be loaded. The
// file must be a regular file, and where libraries are ELF files it must also be whole: its
// ELF header, program headers and section headers, and every segment the program headers
// describe lie within the file, and it must be built for the machine the programs run on (the
// loader calls a library for another "No such file"). The file is opened without waiting, so a FIFO is reported,
// never waited on. Whether the loader then accepts the library is the loader's to say.
std::optional<std::string> libraryFileProblem(const std::string& path);

// The ELF checks of libraryFileProblem on a whole file's bytes, `image` from its first byte to
// its last.
std::optional<std::string> elfImageProblem(std::span<const unsigned char> image);
