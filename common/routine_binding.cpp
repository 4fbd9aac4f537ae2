#include "routine_binding.h"

#include "library_file.h"
#include "platform_library.h"
#include "printable_text.h"
#include "runtime_error.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

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
    return std::filesystem::path(programFile()).parent_path().string();
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
    // A symbolic link there counts even when it leads nowhere: the loader is not asked to look
    // elsewhere, and the dangling link is what gets reported.
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(besideProgram, error)) ? besideProgram.string()
                                                                                        : file;
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
            throw RuntimeError(ErrorCode::CannotLoadLibrary,
                               "'" + declaredName_ + "': " + printable(candidate) + ": " + *problem);
    std::string problem;
    handle_ = openRoutineLibrary(candidate, problem);
    if (!handle_) {
        std::string where;
        if (!inProgramDirectory)
            where = " (looked for " + file + " in " + printable(programDirectory()) + " and the system's library path)";
        throw RuntimeError(ErrorCode::CannotLoadLibrary, "'" + declaredName_ + "': " + problem + where);
    }
    loadedFile_ = candidate;
}

void* openRoutineLibrary(const std::string& file, std::string& problem)
{
    void* handle = openLibrary(file);
    if (!handle)
        problem = lastLoaderError();
    return handle;
}

FoundRoutine findExportedRoutine(void* library, const char* routineName)
{
    void* address = findSymbol(library, routineName);
    if (!address)
        return {RoutineLookup::NotExported, nullptr, missingSymbolWords()};
    if (!isRoutine(address))
        return {RoutineLookup::NotARoutine, nullptr, {}};
    return {RoutineLookup::Found, address, {}};
}

void* LibraryBinding::findRoutine(const char* routineName)
{
    if (!handle_)
        load();
    const FoundRoutine found = findExportedRoutine(handle_, routineName);
    // Appended into one string: GCC 12 at -O3 takes the insertion that "'" + std::string makes
    // for an overlapping copy (-Wrestrict).
    std::string routine = "'";
    routine.append(routineName).append("' in library '").append(declaredName_).append("' (");
    routine.append(printable(loadedFile_)).append(")");
    if (found.outcome == RoutineLookup::NotExported)
        throw RuntimeError(ErrorCode::RoutineNotFound, found.words.empty() ? routine : routine + ": " + found.words);
    if (found.outcome == RoutineLookup::NotARoutine)
        throw RuntimeError(ErrorCode::RoutineNotFound, routine + ": " + notARoutine);
    return found.address;
}
