#include "routine_binding.h"

#include "library_file.h"
#include "runtime_error.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

namespace {

bool endsWithDll(std::string_view name)
{
    if (name.size() < 4)
        return false;
    std::string ending(name.substr(name.size() - 4));
    for (char& c : ending)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ending == ".dll";
}

#ifdef _WIN32
void* openLibrary(const std::string& file)
{
    return LoadLibraryA(file.c_str());
}
void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
std::string lastLoaderError()
{
    return "system error " + std::to_string(GetLastError());
}
#else
void* openLibrary(const std::string& file)
{
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* findSymbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}
std::string lastLoaderError()
{
    const char* text = dlerror();
    return text ? text : "unknown reason";
}
#endif

#ifdef __GLIBC__
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
#endif

} // namespace

std::string libraryFileName(std::string_view declaredName, LibraryNaming naming)
{
    std::string_view base = declaredName;
    if (endsWithDll(base))
        base.remove_suffix(4);
    return std::string(naming.prefix) + std::string(base) + std::string(naming.suffix);
}

std::string programDirectory()
{
    std::error_code error;
#ifdef _WIN32
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::filesystem::path program(std::wstring(path, length));
#else
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
#endif
    return error ? std::string() : program.parent_path().string();
}

LibraryBinding& LibraryBinding::named(std::string_view declaredName)
{
    static std::mutex guard;
    static std::map<std::string, std::unique_ptr<LibraryBinding>> bindings;
    const std::lock_guard lock(guard);
    auto& binding = bindings[libraryFileName(declaredName)];
    if (!binding)
        binding = std::make_unique<LibraryBinding>(std::string(declaredName));
    return *binding;
}

std::string libraryToLoad(std::string_view declaredName)
{
    const std::string file = libraryFileName(declaredName);
    const std::filesystem::path besideProgram = std::filesystem::path(programDirectory()) / file;
    std::error_code error;
    return std::filesystem::exists(besideProgram, error) ? besideProgram.string() : file;
}

void LibraryBinding::load()
{
    // A library beside the program is the one meant; if it fails to load, that is the error.
    const std::string file = libraryFileName(declaredName_);
    const std::string candidate = libraryToLoad(declaredName_);
    const bool inProgramDirectory = candidate != file;
    // A FIFO would hold the loader forever and a file cut short makes it fault, so the file is
    // looked at first.
    if (inProgramDirectory)
        if (const auto problem = libraryFileProblem(candidate))
            throw RuntimeError(ErrorCode::CannotLoadLibrary, "'" + declaredName_ + "': " + candidate + ": " + *problem);
    handle_ = openLibrary(candidate);
    if (!handle_) {
        std::string where;
        if (!inProgramDirectory)
            where = " (looked for " + file + " in " + programDirectory() + " and the system's library path)";
        throw RuntimeError(ErrorCode::CannotLoadLibrary, "'" + declaredName_ + "': " + lastLoaderError() + where);
    }
    loadedFile_ = candidate;
}

void* LibraryBinding::findRoutine(const char* routineName)
{
    if (!handle_)
        load();
    void* address = findSymbol(handle_, routineName);
    // Appended into one string: GCC 12 at -O3 takes the insertion that "'" + std::string makes
    // for an overlapping copy (-Wrestrict).
    std::string routine = "'";
    routine.append(routineName).append("' in library '").append(declaredName_).append("' (");
    routine.append(loadedFile_).append(")");
    if (!address)
        throw RuntimeError(ErrorCode::RoutineNotFound, routine);
    if (!isRoutine(address))
        throw RuntimeError(ErrorCode::RoutineNotFound,
                           routine + ": the library exports the name, but what it names is not a routine");
    return address;
}
