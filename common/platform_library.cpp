#include "platform_library.h"

#include "printable_text.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

#ifdef _WIN32

namespace {

// The file of the latest LoadLibrary, for the "%1" in the system's words for its failure.
thread_local std::string fileTried;

// The system's own sentence for an error code, without its line end; "%1" stands for `file`.
std::string systemWords(DWORD code, const std::string& file)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string words = length ? std::string(text, length) : "system error " + std::to_string(code);
    LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    words = printable(words);
    if (const std::size_t at = words.find("%1"); at != std::string::npos)
        words.replace(at, 2, printable(file));
    return words + " (system error " + std::to_string(code) + ")";
}

} // namespace

void* openLibrary(const std::string& file)
{
    fileTried = file;
    return reinterpret_cast<void*>(LoadLibraryA(file.c_str()));
}

void* findSymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::string lastLoaderError()
{
    return systemWords(GetLastError(), fileTried);
}

std::string missingSymbolWords()
{
    return systemWords(GetLastError(), {});
}

bool isRoutine(void*)
{
    return true;
}

std::string programFile()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return {};
    return std::filesystem::path(std::wstring(path, length)).string();
}

#else

void* openLibrary(const std::string& file)
{
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* findSymbol(void* library, const char* name)
{
    dlerror(); // a lookup's failure is its own, not one left from before
    return dlsym(library, name);
}

// The loader's words may name what the library holds (an undefined symbol's name): shown
// printable.
std::string lastLoaderError()
{
    const char* text = dlerror();
    return text ? printable(text) : "unknown reason";
}

std::string missingSymbolWords()
{
    return {};
}

std::string programFile()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.string();
}

#ifdef __GLIBC__
namespace {

// Whether the address lies in an executable segment of a loaded object.
bool inExecutableSegment(const void* address)
{
    const auto where = reinterpret_cast<ElfW(Addr)>(address);
    auto search = [](dl_phdr_info* object, size_t, void* data) -> int {
        const ElfW(Addr) at = *static_cast<const ElfW(Addr)*>(data);
        for (ElfW(Half) i = 0; i < object->dlpi_phnum; ++i) {
            const ElfW(Phdr)& segment = object->dlpi_phdr[i];
            const ElfW(Addr) start = object->dlpi_addr + segment.p_vaddr;
            if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) && at >= start && at - start < segment.p_memsz)
                return 1;
        }
        return 0;
    };
    return dl_iterate_phdr(search, const_cast<ElfW(Addr)*>(&where)) != 0;
}

} // namespace

// Whether an exported address is code: the dynamic symbol that covers it is a function or an
// indirect function. An indirect function's address is that of the code its resolver chose,
// which may have no exported symbol of its own, and a routine written in assembly may carry no
// type; such an address counts when it is executable. Anything else (data, a thread-local
// variable, an absolute value) would be jumped into.
bool isRoutine(void* address)
{
    Dl_info object;
    void* entry = nullptr;
    if (!dladdr1(address, &object, &entry, RTLD_DL_SYMENT))
        return false;
    // The type is the low four bits of the symbol's info, in 32- and 64-bit files alike.
    const auto* symbol = static_cast<const ElfW(Sym)*>(entry);
    const int type = symbol ? symbol->st_info & 0xF : STT_NOTYPE;
    if (type == STT_NOTYPE)
        return inExecutableSegment(address);
    return type == STT_FUNC || type == STT_GNU_IFUNC;
}
#else
bool isRoutine(void*)
{
    return true;
}
#endif // __GLIBC__

#endif // _WIN32
