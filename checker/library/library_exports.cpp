#include "library_exports.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The dynamic section's addresses, relocated: the loader adjusts them in place on most
// platforms, but not where that section is read-only.
template <typename T>
const T* relocated(const link_map* map, ElfW(Addr) address)
{
    return reinterpret_cast<const T*>(address < map->l_addr ? address + map->l_addr : address);
}

// The number of entries of the symbol table, which the dynamic section does not give: the
// classic hash table holds it, the GNU one gives it through its last chain.
std::size_t symbolCount(const uint32_t* hash, const uint32_t* gnuHash)
{
    if (hash)
        return hash[1];
    if (!gnuHash)
        return 0;
    const uint32_t bucketCount = gnuHash[0];
    const uint32_t firstHashed = gnuHash[1];
    const uint32_t bloomSize = gnuHash[2];
    const auto* buckets = reinterpret_cast<const uint32_t*>(reinterpret_cast<const ElfW(Addr)*>(gnuHash + 4) +
                                                            bloomSize);
    const uint32_t* chains = buckets + bucketCount;
    uint32_t last = 0;
    for (uint32_t i = 0; i < bucketCount; ++i)
        last = buckets[i] > last ? buckets[i] : last;
    if (last < firstHashed)
        return firstHashed;
    while (!(chains[last - firstHashed] & 1))
        ++last;
    return last + 1;
}

} // namespace

std::vector<std::string> exportedNames(void* handle)
{
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map)
        return {};
    const ElfW(Sym)* symbols = nullptr;
    const char* names = nullptr;
    const uint32_t* hash = nullptr;
    const uint32_t* gnuHash = nullptr;
    for (const ElfW(Dyn)* entry = map->l_ld; entry->d_tag != DT_NULL; ++entry) {
        switch (entry->d_tag) {
        case DT_SYMTAB: symbols = relocated<ElfW(Sym)>(map, entry->d_un.d_ptr); break;
        case DT_STRTAB: names = relocated<char>(map, entry->d_un.d_ptr); break;
        case DT_HASH: hash = relocated<uint32_t>(map, entry->d_un.d_ptr); break;
        case DT_GNU_HASH: gnuHash = relocated<uint32_t>(map, entry->d_un.d_ptr); break;
        default: break;
        }
    }
    std::vector<std::string> exported;
    if (!symbols || !names)
        return exported;
    const std::size_t count = symbolCount(hash, gnuHash);
    for (std::size_t i = 1; i < count; ++i) {
        const ElfW(Sym)& symbol = symbols[i];
        const int binding = ELF64_ST_BIND(symbol.st_info);
        const int type = ELF64_ST_TYPE(symbol.st_info);
        const bool defined = symbol.st_shndx != SHN_UNDEF;
        const bool visible = binding == STB_GLOBAL || binding == STB_WEAK || binding == STB_GNU_UNIQUE;
        const bool named = type == STT_FUNC || type == STT_OBJECT || type == STT_GNU_IFUNC || type == STT_TLS;
        if (defined && visible && named && ELF64_ST_VISIBILITY(symbol.st_other) != STV_HIDDEN)
            exported.emplace_back(names + symbol.st_name);
    }
    return exported;
}

std::optional<FileIdentity> loadedFileIdentity(void* handle)
{
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_ld)
        return std::nullopt;
    // The dynamic section lies in a mapping of the file: "start-end perms offset major:minor inode path".
    const auto address = reinterpret_cast<uintptr_t>(map->l_ld);
    // Read with plain calls: a file stream costs a child process more than the rest of this.
    std::string maps;
    if (const int file = open("/proc/self/maps", O_RDONLY | O_CLOEXEC); file >= 0) {
        char buffer[16384];
        for (ssize_t got; (got = read(file, buffer, sizeof buffer)) > 0;)
            maps.append(buffer, static_cast<std::size_t>(got));
        close(file);
    }
    for (std::size_t from = 0, next = 0; from < maps.size(); from = next + 1) {
        next = maps.find('\n', from);
        if (next == std::string::npos)
            next = maps.size();
        const std::string line = maps.substr(from, next - from);
        char* at = nullptr;
        const unsigned long long start = std::strtoull(line.c_str(), &at, 16);
        if (*at != '-')
            continue;
        const unsigned long long end = std::strtoull(at + 1, nullptr, 16);
        if (address < start || address >= end)
            continue;
        unsigned long long offset = 0, inode = 0;
        unsigned major = 0, minor = 0;
        char permissions[8] = {};
        const std::size_t fields = line.find(' ');
        if (fields == std::string::npos ||
            std::sscanf(line.c_str() + fields, " %7s %llx %x:%x %llu", permissions, &offset, &major, &minor, &inode) != 5)
            return std::nullopt;
        return FileIdentity{static_cast<uint64_t>(makedev(major, minor)), inode};
    }
    return std::nullopt;
}

std::optional<FileIdentity> fileIdentity(const std::string& path)
{
    struct stat file;
    if (stat(path.c_str(), &file) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<uint64_t>(file.st_dev), static_cast<uint64_t>(file.st_ino)};
}

std::string loadedFileName(void* handle)
{
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
        return "";
    return map->l_name;
}

std::optional<Unexported> unexportedRoutine(const std::string& path, const std::string& name)
{
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return std::nullopt;
    struct stat status {};
    std::vector<unsigned char> bytes;
    if (fstat(file, &status) == 0 && status.st_size > 0 && status.st_size < (std::int64_t{1} << 30)) {
        bytes.resize(static_cast<std::size_t>(status.st_size));
        if (pread(file, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
            bytes.clear();
    }
    close(file);
    // Every offset and size is checked against the file's length before it is followed.
    const auto fits = [&](uint64_t offset, uint64_t size) { return offset <= bytes.size() && size <= bytes.size() - offset; };
    ElfW(Ehdr) header{};
    if (!fits(0, sizeof header))
        return std::nullopt;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) ||
        header.e_shentsize != sizeof(ElfW(Shdr)) || !fits(header.e_shoff, uint64_t{header.e_shnum} * sizeof(ElfW(Shdr))))
        return std::nullopt;
    const auto section = [&](std::size_t index) {
        ElfW(Shdr) entry{};
        std::memcpy(&entry, bytes.data() + header.e_shoff + index * sizeof entry, sizeof entry);
        return entry;
    };
    for (std::size_t index = 0; index < header.e_shnum; ++index) {
        const ElfW(Shdr) table = section(index);
        if (table.sh_type != SHT_SYMTAB || table.sh_link >= header.e_shnum || !fits(table.sh_offset, table.sh_size))
            continue;
        const ElfW(Shdr) strings = section(table.sh_link);
        if (!fits(strings.sh_offset, strings.sh_size))
            continue;
        const char* names = reinterpret_cast<const char*>(bytes.data() + strings.sh_offset);
        // The linker lists a file's static symbols after that file's name, and the hidden ones
        // it made local after a file symbol without a name.
        bool afterNamedFile = false;
        for (uint64_t at = 0; at + sizeof(ElfW(Sym)) <= table.sh_size; at += sizeof(ElfW(Sym))) {
            ElfW(Sym) symbol{};
            std::memcpy(&symbol, bytes.data() + table.sh_offset + at, sizeof symbol);
            if (symbol.st_name >= strings.sh_size)
                continue;
            const char* symbolName = names + symbol.st_name;
            if (ELF64_ST_TYPE(symbol.st_info) == STT_FILE)
                afterNamedFile = *symbolName != '\0';
            if (ELF64_ST_TYPE(symbol.st_info) != STT_FUNC || symbol.st_shndx == SHN_UNDEF)
                continue;
            if (strnlen(symbolName, strings.sh_size - symbol.st_name) == name.size() && name == symbolName) {
                const bool isStatic = ELF64_ST_BIND(symbol.st_info) == STB_LOCAL &&
                    ELF64_ST_VISIBILITY(symbol.st_other) != STV_HIDDEN && afterNamedFile;
                return isStatic ? Unexported::Static : Unexported::Hidden;
            }
        }
    }
    return std::nullopt;
}
