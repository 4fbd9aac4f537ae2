// Checking a library file before it is loaded. No file's bytes crash the check or make it read
// outside them: libFuzzer hands each input in a buffer of exactly its size, and the address
// sanitizer catches a read past its end.
#include "library_file.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    elfImageProblem(std::span<const unsigned char>(data, size));
    return 0;
}
