// Libraries that would end a program with no report: a library that exports data under a
// routine's name, and library files that are spoiled (cut short by a careless copy, a FIFO
// under the library's name). Each is reported as a runtime error in words instead.
#include "library_file.h"
#include "printable_text.h"
#include "routine_binding.h"
#include "runtime_error.h"

#include "child_process.h"
#include "scratch_directory.h"

#include <elf.h>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

// ---- A name that is exported but is not code -------------------------------------------

TEST(BindingWhatIsCode, DataUnderARoutinesNameIsNotBound)
{
    const struct {
        const char* name;
        const char* what;
        std::optional<int32_t> result; // empty: not a routine
    } cases[] = {
        {"chara", "initialised data", std::nullopt},
        {"square", "read-only data", std::nullopt},
        {"transnumber", "zero-initialised data", std::nullopt},
        {"yArray", "a thread-local variable", std::nullopt},
        {"xArray", "a routine", 7},
        {"zArray", "an indirect routine", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", " + c.what);
        Routine<int32_t ROUTINE_CALL()> routine{"Impostor", c.name};
        if (c.result) {
            EXPECT_EQ(routine(), *c.result);
            continue;
        }
        try {
            routine();
            ADD_FAILURE() << "bound and called";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.code(), ErrorCode::RoutineNotFound);
            EXPECT_THAT(error.what(),
                        testing::StartsWith("Routine not found '" + std::string(c.name) + "' in library 'Impostor'"));
            EXPECT_THAT(error.what(), HasSubstr("the library exports the name, but what it names is not a routine"));
        }
        EXPECT_FALSE(routine.isBound());
    }
}

// ---- Names from a library in the error report -------------------------------------------

// The loader names the routine that the library needs and no library has: its escape sequence
// is shown as an escape, never sent to the terminal.
TEST(BindingErrorReport, NamesFromTheLibraryArePrintable)
{
    Routine<int32_t ROUTINE_CALL()> routine{"NeedsOddName", "callsMissing"};
    try {
        routine();
        ADD_FAILURE() << "loaded a library that needs a routine no library has";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.code(), ErrorCode::CannotLoadLibrary);
        EXPECT_THAT(error.what(), HasSubstr("missing\\x1b[2Jname"));
        EXPECT_EQ(std::string(error.what()).find('\x1b'), std::string::npos);
    }
}

TEST(PrintableText, EscapesWhatIsNotPrintable)
{
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"plain sumdll", "plain sumdll"},
        {"clear\x1b[2J", "clear\\x1b[2J"},
        {"back\rover\nline\tand\x7f", "back\\x0dover\\x0aline\\x09and\\x7f"},
        {"\xc3\x9c" "bung", "\xc3\x9c" "bung"}, // Ü, kept
        {"latin\xe9", "latin\\xe9"},        // not UTF-8
        {"\xc2\x9b" "31m", "\\xc2\\x9b31m"}, // the C1 control CSI
        {"a\\b", "a\\\\b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(printable(c.text), c.shown) << c.text;
}

// ---- Library files cut short, and what is not a file -----------------------------------

// The parts of a built library that a copy cut short loses in turn, from its end.
struct LibraryLayout {
    std::uint64_t size;
    std::uint64_t programHeadersEnd;
    std::uint64_t segmentsEnd;
    std::uint64_t sectionHeadersEnd;
};

std::string bytesOf(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

LibraryLayout layoutOf(const std::string& bytes)
{
    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    LibraryLayout layout{bytes.size(), header.e_phoff + std::uint64_t{header.e_phnum} * header.e_phentsize, 0,
                         header.e_shoff + std::uint64_t{header.e_shnum} * header.e_shentsize};
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        std::memcpy(&segment, bytes.data() + header.e_phoff + i * header.e_phentsize, sizeof segment);
        layout.segmentsEnd = std::max(layout.segmentsEnd, segment.p_offset + segment.p_filesz);
    }
    return layout;
}

// A library's bytes with the class and machine of its ELF header changed, as a library built
// for another machine has them.
std::string withMachine(std::string bytes, unsigned char elfClass, std::uint16_t machine)
{
    bytes[EI_CLASS] = static_cast<char>(elfClass);
    bytes[18] = static_cast<char>(machine & 0xFF);
    bytes[19] = static_cast<char>(machine >> 8);
    return bytes;
}

void writeFile(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(LibraryFileProblem, SaysWhatIsWrongWithTheFile)
{
    const std::string library = bytesOf(PROBE_LIBRARY);
    ASSERT_GT(library.size(), sizeof(Elf64_Ehdr));
    ASSERT_EQ(library[EI_CLASS], ELFCLASS64);
    const LibraryLayout layout = layoutOf(library);
    ASSERT_EQ(layout.sectionHeadersEnd, layout.size) << "the section headers are expected last";

    ScratchDirectory scratch;
    const struct {
        const char* what;
        std::function<void()> make; // makes "lib.so"
        const char* problem;        // empty: none
    } cases[] = {
        {"a whole copy", [&] { writeFile("lib.so", library); }, ""},
        {"an empty file", [] { writeFile("lib.so", ""); }, "the file is empty"},
        {"a text", [] { writeFile("lib.so", "INPUT(libc.so.6)\n"); }, "does not begin with an ELF header"},
        {"ten bytes left", [&] { writeFile("lib.so", library.substr(0, 10)); },
         "the identification at the start of its ELF header ends at byte 16"},
        {"the ELF header cut", [&] { writeFile("lib.so", library.substr(0, 40)); }, "its ELF header ends at byte 64"},
        {"the program headers cut", [&] { writeFile("lib.so", library.substr(0, layout.programHeadersEnd - 1)); },
         "its program header table ends at byte"},
        {"the last segment cut", [&] { writeFile("lib.so", library.substr(0, layout.segmentsEnd - 1)); },
         "the file is cut short: segment"},
        {"only the last byte missing", [&] { writeFile("lib.so", library.substr(0, layout.size - 1)); },
         "its section header table ends at byte"},
        {"built for aarch64", [&] { writeFile("lib.so", withMachine(library, ELFCLASS64, EM_AARCH64)); },
         "the file is built for aarch64; these programs run on x86-64"},
        {"a 32-bit header", [&] { writeFile("lib.so", withMachine(library, ELFCLASS32, EM_386)); },
         "the file is built for i386 (32-bit x86); these programs run on x86-64"},
        {"a dangling link", [] { fs::create_symlink("/nowhere/libGone.so", "lib.so"); },
         "the file is a symbolic link to /nowhere/libGone.so, which does not exist"},
        {"a FIFO", [] { mkfifo("lib.so", 0600); }, "the file is a FIFO (a named pipe), not a regular file"},
        {"a directory", [] { fs::create_directory("lib.so"); }, "the file is a directory, not a regular file"},
        {"nothing", [] {}, "the file does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const std::optional<std::string> problem = libraryFileProblem("lib.so");
        if (*c.problem)
            EXPECT_THAT(problem.value_or("no problem"), HasSubstr(c.problem));
        else
            EXPECT_EQ(problem, std::nullopt);
        fs::remove("lib.so");
    }
}

// A spoiled file beside the program, where a library is looked for first: its load must be
// reported, neither waited on nor faulted in.
TEST(LibraryFileProblem, ASpoiledLibraryBesideTheProgramIsReported)
{
    const std::string library = bytesOf(PROBE_LIBRARY);
    const LibraryLayout layout = layoutOf(library);
    const fs::path beside = programDirectory();
    const struct {
        const char* declared;
        std::function<void(const fs::path&)> make;
        const char* problem;
    } cases[] = {
        {"CutShort", [&](const fs::path& file) { writeFile(file, library.substr(0, layout.segmentsEnd / 2)); },
         "the file is cut short"},
        {"Piped.dll", [](const fs::path& file) { mkfifo(file.c_str(), 0600); }, "the file is a FIFO"},
        {"Foreign", [&](const fs::path& file) { writeFile(file, withMachine(library, ELFCLASS64, EM_AARCH64)); },
         "the file is built for aarch64; these programs run on x86-64"},
        // A link that leads nowhere is reported, not passed over for the system's search.
        {"Dangling", [](const fs::path& file) { fs::create_symlink("/nowhere/libDangling.so", file); },
         "the file is a symbolic link to /nowhere/libDangling.so, which does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.declared);
        const fs::path file = beside / libraryFileName(c.declared);
        fs::remove(file);
        c.make(file);
        const std::string outcome = inChildProcess([&]() -> std::string {
            try {
                Routine<int32_t ROUTINE_CALL()>{c.declared, "probeOrigin"}();
                return "loaded";
            } catch (const RuntimeError& error) {
                return error.code() == ErrorCode::CannotLoadLibrary ? error.what() : "another error";
            }
        });
        fs::remove(file);
        EXPECT_THAT(
            outcome,
            testing::StartsWith("Cannot load library '" + std::string(c.declared) + "': " + file.string() + ": "));
        EXPECT_THAT(outcome, HasSubstr(c.problem));
    }
}

} // namespace
