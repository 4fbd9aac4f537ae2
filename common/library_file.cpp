#include "library_file.h"

#include "printable_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <system_error>

#if !defined(_WIN32) && !defined(__APPLE__)
#define LIBRARIES_ARE_ELF_FILES 1
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Reads `size` bytes of the file from `offset` into `into`; false when the file holds fewer.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t size, unsigned char* into)>;

// Where a field lies in an ELF structure: its offset and its width in bytes.
struct Field {
    std::size_t offset;
    std::size_t width;
};

// The parts of the 32-bit and the 64-bit ELF layouts that say where the rest of a file lies.
struct ElfLayout {
    std::size_t headerSize;
    Field programHeadersAt, sectionHeadersAt;
    Field programHeaderSize, programHeaderCount, sectionHeaderSize, sectionHeaderCount;
    std::size_t programHeaderEntry;
    Field segmentType, segmentOffset, segmentFileSize;
    std::size_t sectionHeaderEntry;
    Field sectionInfo;
};

constexpr ElfLayout elf32{52, {28, 4}, {32, 4}, {42, 2}, {44, 2}, {46, 2}, {48, 2},
                          32, {0, 4},  {4, 4},  {16, 4}, 40,      {28, 4}};
constexpr ElfLayout elf64{64, {32, 8}, {40, 8}, {54, 2}, {56, 2}, {58, 2}, {60, 2},
                          56, {0, 4},  {8, 8},  {32, 8}, 64,      {44, 4}};

// A program header count of 0xFFFF means the count is the first section header's info field.
constexpr std::uint64_t manyProgramHeaders = 0xFFFF;
// Room for the largest entry read: a 64-bit section header.
constexpr std::size_t largestEntry = 64;
// The bytes at the start of every ELF file that give its kind, class and byte order.
constexpr std::uint64_t identificationSize = 16;

std::uint64_t fieldValue(const unsigned char* bytes, Field field, bool bigEndian)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < field.width; ++i)
        value |= std::uint64_t{bytes[field.offset + (bigEndian ? field.width - 1 - i : i)]} << (8 * i);
    return value;
}

// offset + size, or the largest number when the sum does not fit.
std::uint64_t endOf(std::uint64_t offset, std::uint64_t size)
{
    return size > std::numeric_limits<std::uint64_t>::max() - offset ? std::numeric_limits<std::uint64_t>::max()
                                                                     : offset + size;
}

std::string cutShort(const std::string& part, std::uint64_t end, std::uint64_t fileSize)
{
    return "the file is cut short: " + part + " ends at byte " + std::to_string(end) + ", but the file holds only " +
        std::to_string(fileSize) + " bytes";
}

// The machines a library file may be built for, by the ELF header's machine field and class.
struct Machine {
    std::uint64_t number;
    int elfClass; // 1 for 32 bits, 2 for 64, 0 for either
    const char* name;
};

constexpr Machine machines[] = {
    {3, 1, "i386 (32-bit x86)"}, {62, 2, "x86-64"},       {62, 1, "x32 (x86-64 with 32-bit addresses)"},
    {40, 1, "arm (32-bit)"},     {183, 2, "aarch64"},     {183, 1, "aarch64 with 32-bit addresses"},
    {8, 0, "mips"},              {20, 1, "powerpc"},      {21, 2, "powerpc64"},
    {22, 0, "s390"},             {2, 0, "sparc"},         {43, 2, "sparc64"},
    {243, 1, "riscv32"},         {243, 2, "riscv64"},     {258, 2, "loongarch64"},
};

// The machine and class these programs are built for, and run on.
#if defined(__x86_64__) && defined(__ILP32__)
constexpr Machine host{62, 1, "x32 (x86-64 with 32-bit addresses)"};
#elif defined(__x86_64__)
constexpr Machine host{62, 2, "x86-64"};
#elif defined(__i386__)
constexpr Machine host{3, 1, "i386 (32-bit x86)"};
#elif defined(__aarch64__)
constexpr Machine host{183, 2, "aarch64"};
#elif defined(__arm__)
constexpr Machine host{40, 1, "arm (32-bit)"};
#elif defined(__riscv) && __riscv_xlen == 64
constexpr Machine host{243, 2, "riscv64"};
#elif defined(__powerpc64__)
constexpr Machine host{21, 2, "powerpc64"};
#else
constexpr Machine host{0, 0, ""}; // not checked
#endif

std::string machineName(std::uint64_t number, int elfClass)
{
    for (const Machine& machine : machines)
        if (machine.number == number && (machine.elfClass == 0 || machine.elfClass == elfClass))
            return machine.name;
    return "machine " + std::to_string(number) + (elfClass == 1 ? ", 32-bit" : ", 64-bit");
}

std::optional<std::string> elfProblem(const ReadAt& read, std::uint64_t fileSize)
{
    unsigned char header[64] = {};
    if (fileSize == 0)
        return "the file is empty";
    if (!read(0, static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, sizeof header)), header) || fileSize < 4 ||
        std::memcmp(header,
                    "\x7F"
                    "ELF",
                    4) != 0)
        return "the file is not a library: it does not begin with an ELF header";
    if (fileSize < identificationSize)
        return cutShort("the identification at the start of its ELF header", identificationSize, fileSize);
    if (header[4] != 1 && header[4] != 2)
        return "the file is not a library that can be loaded: its ELF header names neither 32 nor 64 bits";
    if (header[5] != 1 && header[5] != 2)
        return "the file is not a library that can be loaded: its ELF header names no byte order";
    const ElfLayout& layout = header[4] == 1 ? elf32 : elf64;
    const bool bigEndian = header[5] == 2;
    auto value = [&](const unsigned char* bytes, Field field) { return fieldValue(bytes, field, bigEndian); };

    if (fileSize < layout.headerSize)
        return cutShort("its ELF header", layout.headerSize, fileSize);

    // The loader calls a library for another machine "No such file", though it is there.
    constexpr Field machineField{18, 2};
    const std::uint64_t machine = value(header, machineField);
    if (host.number != 0 && (machine != host.number || header[4] != host.elfClass))
        return "the file is built for " + machineName(machine, header[4]) + "; these programs run on " + host.name;

    const std::uint64_t sectionsAt = value(header, layout.sectionHeadersAt);
    const std::uint64_t sectionEntry = value(header, layout.sectionHeaderSize);
    const std::uint64_t programsAt = value(header, layout.programHeadersAt);
    const std::uint64_t programEntry = value(header, layout.programHeaderSize);
    std::uint64_t programCount = value(header, layout.programHeaderCount);
    if (programCount == manyProgramHeaders) {
        unsigned char firstSection[largestEntry] = {};
        if (sectionsAt == 0 || sectionEntry < layout.sectionHeaderEntry)
            return "the file is not a library that can be loaded: it keeps its segment count in a section "
                   "header that it does not have";
        if (!read(sectionsAt, layout.sectionHeaderEntry, firstSection))
            return cutShort("its first section header", endOf(sectionsAt, layout.sectionHeaderEntry), fileSize);
        programCount = value(firstSection, layout.sectionInfo);
    }
    if (programCount == 0)
        return "the file is not a library that can be loaded: it describes no segments";
    if (programEntry < layout.programHeaderEntry)
        return "the file is not a library that can be loaded: its program headers are " + std::to_string(programEntry) +
            " bytes long, too short for what each must hold";
    const std::uint64_t programsEnd = endOf(programsAt, programCount * programEntry);
    if (programsEnd > fileSize)
        return cutShort("its program header table", programsEnd, fileSize);

    for (std::uint64_t i = 0; i < programCount; ++i) {
        unsigned char entry[largestEntry] = {};
        read(programsAt + i * programEntry, layout.programHeaderEntry, entry);
        const std::uint64_t fileBytes = value(entry, layout.segmentFileSize);
        if (value(entry, layout.segmentType) == 0 || fileBytes == 0)
            continue; // an unused entry, or a segment with nothing in the file
        const std::uint64_t end = endOf(value(entry, layout.segmentOffset), fileBytes);
        if (end > fileSize)
            return cutShort("segment " + std::to_string(i + 1) + " of its " + std::to_string(programCount), end,
                            fileSize);
    }

    // The loader reads no section header, but a file cut short there is not whole either. A
    // count of 0 means the first section header holds the count; that one must be there.
    if (sectionsAt != 0) {
        const std::uint64_t sectionCount = std::max<std::uint64_t>(value(header, layout.sectionHeaderCount), 1);
        const std::uint64_t end = endOf(sectionsAt, sectionCount * sectionEntry);
        if (end > fileSize)
            return cutShort("its section header table", end, fileSize);
    }
    return std::nullopt;
}

std::string kindOfFile(std::filesystem::file_type type)
{
    switch (type) {
    case std::filesystem::file_type::directory: return "a directory";
    case std::filesystem::file_type::fifo: return "a FIFO (a named pipe)";
    case std::filesystem::file_type::socket: return "a socket";
    case std::filesystem::file_type::character: return "a character device";
    case std::filesystem::file_type::block: return "a block device";
    default: return "something other than a file";
    }
}

} // namespace

std::optional<std::string> elfImageProblem(std::span<const unsigned char> image)
{
    const ReadAt read = [image](std::uint64_t offset, std::size_t size, unsigned char* into) {
        if (offset > image.size() || size > image.size() - offset)
            return false;
        std::memcpy(into, image.data() + offset, size);
        return true;
    };
    return elfProblem(read, image.size());
}

std::optional<std::string> libraryFileProblem(const std::string& path)
{
    // Looking at the name opens nothing, so a FIFO is found without waiting on it.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        std::error_code notLink;
        if (std::filesystem::is_symlink(path, notLink))
            return "the file is a symbolic link to " +
                printable(std::filesystem::read_symlink(path, notLink).string()) + ", which does not exist";
        return "the file does not exist";
    }
    if (error)
        return "the file cannot be examined: " + error.message();
    if (status.type() != std::filesystem::file_type::regular)
        return "the file is " + kindOfFile(status.type()) + ", not a regular file";

#ifdef LIBRARIES_ARE_ELF_FILES
    // Without waiting, and checked again once open: the name may mean another file by now.
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return "the file cannot be opened: " + std::generic_category().message(errno);
    struct stat opened;
    std::optional<std::string> problem;
    if (fstat(file, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        problem = "the file changed while it was examined and is no longer a regular file";
    } else {
        const ReadAt read = [file](std::uint64_t offset, std::size_t size, unsigned char* into) {
            while (size > 0) {
                const ssize_t got = pread(file, into, size, static_cast<off_t>(offset));
                if (got <= 0)
                    return false;
                into += got;
                offset += static_cast<std::uint64_t>(got);
                size -= static_cast<std::size_t>(got);
            }
            return true;
        };
        problem = elfProblem(read, static_cast<std::uint64_t>(opened.st_size));
    }
    close(file);
    return problem;
#else
    return std::nullopt;
#endif
}
