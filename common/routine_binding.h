// Routine binding: calling a routine of a separately built library by its exported name.
//
// A routine is declared by its library's name as the program writes it ("Ostrum",
// "Morvane.dll", "Pettrix.dll") and its exported name, with its C signature:
//
//     Routine<int32_t ROUTINE_CALL(double* n, double* x, double* y)> square{"Morvane.dll", "square"};
//
// The library is loaded at the first call of any of its routines, each routine is found at
// its own first call, and both stay bound until the program ends; later calls go straight
// through the saved address. A library is looked for in the running program's own directory
// first, then through the platform's standard library search.
#pragma once

#include "routine_abi.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// How the platform names a library file: "Morvane" becomes prefix + "Morvane" + suffix.
struct LibraryNaming {
    std::string_view prefix;
    std::string_view suffix;
};

#if defined(_WIN32)
inline constexpr LibraryNaming platformNaming{"", ".dll"};
#elif defined(__APPLE__)
inline constexpr LibraryNaming platformNaming{"lib", ".dylib"};
#else
inline constexpr LibraryNaming platformNaming{"lib", ".so"};
#endif

// The file a declared library name stands for. A trailing ".dll" is the library suffix on
// every platform, so "Morvane.dll" and "Morvane" both mean libMorvane.so on Linux.
std::string libraryFileName(std::string_view declaredName, LibraryNaming naming = platformNaming);

// The directory that holds the running program.
std::string programDirectory();

// What a program hands the loader for a declared library name: the file beside the program
// when there is one (a full path), else the bare file name, which the platform's standard
// library search resolves.
std::string libraryToLoad(std::string_view declaredName);

// ---- Opening a library and finding a routine, as every program does -----------------------

// Loads `file` (a path, or a bare file name for the platform's library search) as the programs
// load a routine library; null when it does not load, with the loader's own words in `problem`.
void* openRoutineLibrary(const std::string& file, std::string& problem);

enum class RoutineLookup {
    Found,       // an exported routine, of the library or of a library it depends on
    NotExported, // no export of that exact name
    NotARoutine  // the name is exported but names data, not code
};

struct FoundRoutine {
    RoutineLookup outcome;
    void* address;     // when found
    std::string words; // when not exported: the platform's words for it, if it has any
};

// Finds a routine by its exact exported name, through the library and those it depends on,
// as the loader's own lookup does. An exported address that is not code is not a routine.
FoundRoutine findExportedRoutine(void* library, const char* routineName);

// What a program says of an exported name that names no routine.
inline constexpr const char* notARoutine = "the library exports the name, but what it names is not a routine";

// One loaded library, shared by every routine declared with a name that means its file.
class LibraryBinding {
public:
    static LibraryBinding& named(std::string_view declaredName);

    // The address of an exported routine; loads the library first if it is not yet loaded.
    // Raises "Cannot load library" or "Routine not found".
    void* findRoutine(const char* routineName);

    bool isLoaded() const { return handle_ != nullptr; }
    // The file that was loaded: a full path when it came from the program's directory.
    const std::string& loadedFile() const { return loadedFile_; }

    explicit LibraryBinding(std::string declaredName) : declaredName_(std::move(declaredName)) {}
    LibraryBinding(const LibraryBinding&) = delete;
    LibraryBinding& operator=(const LibraryBinding&) = delete;

private:
    void load();

    std::string declaredName_;
    std::string loadedFile_;
    void* handle_ = nullptr;
};

#if defined(_WIN32)
extern "C" __declspec(dllimport) unsigned long __stdcall GetLastError(void);
#endif

namespace routine_binding_detail {
// Saved after every call of a bound routine, in the calling thread's own copy. Defined here so
// that the save is inlined into each call: a few instructions instead of a call into the binding.
inline thread_local int lastError = 0;
} // namespace routine_binding_detail

// The operating system's last-error value (errno, or GetLastError on Windows) as it stood after
// the latest call of a bound routine on this thread.
inline int lastRoutineError()
{
    return routine_binding_detail::lastError;
}

inline void saveLastRoutineError()
{
#if defined(_WIN32)
    routine_binding_detail::lastError = static_cast<int>(GetLastError());
#else
    routine_binding_detail::lastError = errno;
#endif
}

template <typename Signature>
class Routine;

template <typename Result, typename... Args>
class Routine<Result ROUTINE_CALL(Args...)> {
public:
    using Address = Result(ROUTINE_CALL*)(Args...);

    constexpr Routine(const char* library, const char* name) : library_(library), name_(name) {}

    Result operator()(Args... args)
    {
        if (!address_) [[unlikely]]
            bind();
        if constexpr (std::is_void_v<Result>) {
            address_(args...);
            saveLastRoutineError();
        } else {
            Result result = address_(args...);
            saveLastRoutineError();
            return result;
        }
    }

    bool isBound() const { return address_ != nullptr; }

private:
    // Out of line, so that a call once bound is no more than the test, the call and the save.
    [[gnu::noinline]] void bind()
    {
        address_ = reinterpret_cast<Address>(LibraryBinding::named(library_).findRoutine(name_));
    }

    const char* library_;
    const char* name_;
    Address address_ = nullptr; // set once; the programs call routines from one thread only
};
