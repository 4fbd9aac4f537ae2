#include "routine_binding.h"

#include "runtime_error.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
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
void* openLibrary(const std::string& file) { return LoadLibraryA(file.c_str()); }
void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
std::string lastLoaderError() { return "system error " + std::to_string(GetLastError()); }
#else
void* openLibrary(const std::string& file) { return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL); }
void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }
std::string lastLoaderError()
{
    const char* text = dlerror();
    return text ? text : "unknown reason";
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

void LibraryBinding::load()
{
    const std::string file = libraryFileName(declaredName_);
    const std::filesystem::path besideProgram = std::filesystem::path(programDirectory()) / file;

    // A library beside the program is the one meant; if it fails to load, that is the error.
    std::error_code error;
    const bool inProgramDirectory = std::filesystem::exists(besideProgram, error);
    const std::string candidate = inProgramDirectory ? besideProgram.string() : file;
    handle_ = openLibrary(candidate);
    if (!handle_)
        throw RuntimeError(ErrorCode::CannotLoadLibrary,
                           "'" + declaredName_ + "': " + lastLoaderError() +
                               (inProgramDirectory ? "" : " (looked for " + file + " in " + programDirectory() +
                                                              " and the system's library path)"));
    loadedFile_ = candidate;
}

void* LibraryBinding::findRoutine(const char* routineName)
{
    if (!handle_)
        load();
    void* address = findSymbol(handle_, routineName);
    if (!address)
        throw RuntimeError(ErrorCode::RoutineNotFound,
                           "'" + std::string(routineName) + "' in library '" + declaredName_ + "' (" + loadedFile_ + ")");
    return address;
}

