#include "routine_serving.h"

#include "drawn_inputs.h"

#include "kept_registers.h"
#include "library_exports.h"
#include "sandbox.h"
#include "wording.h"

#include "routine_binding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The calls of one request to one routine, in a routine's process.
void callRoutine(void* library, const RoutineCheck& routine, const RoutineRequest& request, bool show,
                 const ReportChannel& channel)
{
    const FoundRoutine found = findExportedRoutine(library, routine.name);
    if (found.outcome != RoutineLookup::Found) {
        channel.send(
            Finding{found.outcome == RoutineLookup::NotARoutine ? FindingKind::NotARoutine : FindingKind::NotExported});
        return;
    }
    // Through the entry that sees what the routine keeps of the calling convention.
    void* address = keptRegistersEntry(found.address);
    if (request.fileUnwritable) {
        // A folder of its own with a folder in the file's place: no one, root included, can
        // open that for writing.
        const std::string folder = "no-room-for-" + std::string(routine.fileWritten);
        const std::string blocking = folder + "/" + routine.fileWritten;
        if (mkdir(folder.c_str(), 0700) != 0 || mkdir(blocking.c_str(), 0700) != 0 || chdir(folder.c_str()) != 0)
            return;
        Call call(channel, 1, false);
        routine.callOnce(address, call);
        if (chdir("..") == 0) {
            rmdir(blocking.c_str());
            rmdir(folder.c_str());
        }
        return;
    }
    if (request.probedCall != 0) {
        Call call(channel, request.probedCall, false, request.probe);
        routine.check(address, call);
    } else if (routine.shared && requestArena() >= 0) {
        // In the storage the checker made for this request, laid out as the checker lays it.
        const SharedPlan plan = routine.shared->plan();
        MappedArena arena(requestArena(), layOutArena(plan.pieces, plan.calls,
                                                      static_cast<std::size_t>(sysconf(_SC_PAGESIZE)),
                                                      plan.recordSize));
        if (!arena.mapped()) {
            reports::NoRoom failed;
            failed.error = errno;
            failed.argument = plan.pieces.empty() ? std::string() : plan.pieces.front().argument.name;
            channel.send(failed);
            _exit(3); // as a call that finds no room for a piece ends
        }
        Call first(channel, 1, show, {}, &arena);
        routine.check(address, first);
        first.seal();
        Call second(channel, 2, false, {}, &arena);
        routine.check(address, second);
    } else {
        Call first(channel, 1, show);
        routine.check(address, first);
        first.seal();
        Call second(channel, 2, false);
        routine.check(address, second);
    }
}

} // namespace

std::string encode(const RoutineRequest& request)
{
    return std::string(reinterpret_cast<const char*>(&request), sizeof request);
}

bool decode(std::string_view bytes, RoutineRequest& request)
{
    if (bytes.size() != sizeof request)
        return false;
    std::memcpy(&request, bytes.data(), sizeof request);
    return true;
}

namespace {

// Loaded as the programs load it; then the routines of the contract it exports, found as the
// programs find them (also in a library it depends on, and data too, which its check then
// names), and what else it exports.
LibraryProcess::Load loadingOf(const Contract& contract, const std::string& candidate)
{
    return [&contract, candidate](const ReportChannel& channel) -> void* {
        std::string problem;
        void* handle = openRoutineLibrary(candidate, problem);
        if (!handle) {
            channel.send(reports::LoadFailed{problem});
            return nullptr;
        }
        reports::Loaded loaded;
        if (const std::optional<FileIdentity> identity = loadedFileIdentity(handle)) {
            loaded.device = identity->device;
            loaded.inode = identity->inode;
        }
        const std::string file = loadedFileName(handle);
        loaded.file = file.empty() ? candidate : file;
        channel.send(loaded);
        for (const RoutineCheck& routine : contract.routines)
            if (findExportedRoutine(handle, routine.name).outcome != RoutineLookup::NotExported)
                channel.send(reports::Exported{routine.name});
        for (const std::string& name : exportedNames(handle)) {
            const bool inContract = std::any_of(contract.routines.begin(), contract.routines.end(),
                                                [&](const RoutineCheck& routine) { return name == routine.name; });
            if (!inContract)
                channel.send(reports::AlsoExported{name});
        }
        // The routines' processes, started from this one, would not have its timers.
        const std::vector<Finding> timers = timersLeftSet("a moment after it loads the library");
        if (!timers.empty()) {
            channel.send(reports::LoadFailed{sentenceOf(timers.front())});
            return nullptr;
        }
        return handle;
    };
}

// In each routine's process: the calls of one request, in the library as loaded.
LibraryProcess::Serve servingOf(const Contract& contract, bool show)
{
    return [&contract, show](void* library, std::string_view bytes, const ReportChannel& channel) {
        RoutineRequest request;
        if (!decode(bytes, request))
            return;
        for (uint32_t index = request.routine;;) {
            const unsigned findingsBefore = channel.findingsSent();
            callRoutine(library, contract.routines.at(index), request, show, channel);
            if (!request.goOn || channel.findingsSent() != findingsBefore)
                return;
            do
                ++index;
            while (index < contract.routines.size() &&
                   findExportedRoutine(library, contract.routines[index].name).outcome == RoutineLookup::NotExported);
            // A routine judged from shared storage is asked for with storage of its own.
            if (index == contract.routines.size() || contract.routines[index].shared)
                return;
            finishPart(channel, index);
        }
    };
}

// routine-check's own file, found before anything could replace it.
std::string ownProgram()
{
    std::error_code error;
    static const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    return program;
}

} // namespace

std::unique_ptr<LibraryProcess> startLibraryProcess(const Contract& contract, const std::string& candidate,
                                                    const std::string& directory, double timeLimit, bool show,
                                                    bool sandboxed)
{
    if (!sandboxed)
        return std::make_unique<LibraryProcess>(loadingOf(contract, candidate), servingOf(contract, show), directory,
                                                timeLimit);
    // The warden makes the same load and the same serving for itself from these words.
    LibraryProcess::Warden warden;
    warden.program = ownProgram();
    char limit[32];
    std::snprintf(limit, sizeof limit, "%.17g", timeLimit);
    warden.arguments = {wardenOption, contract.name, candidate, limit, show ? "1" : "0", std::to_string(inputSeed()),
                        sandboxWorkFolder};
    warden.readOnly = foldersToLoad(candidate);
    // A bare file name is looked up, among others, along routine-check's own run path, as the
    // programs' is (installed, $ORIGIN/../lib).
    if (candidate.find('/') == std::string::npos)
        for (const std::string& folder : foldersToLoad(warden.program))
            if (std::find(warden.readOnly.begin(), warden.readOnly.end(), folder) == warden.readOnly.end())
                warden.readOnly.push_back(folder);
    // Where the library is loaded: where the checker was started when the loader's search
    // path names a folder relative to it (and the sandbox shows it), else the work folder.
    std::error_code error;
    const std::string here = std::filesystem::current_path(error).string();
    if (std::find(warden.readOnly.begin(), warden.readOnly.end(), here) != warden.readOnly.end())
        warden.startIn = here;
    warden.readOnly.push_back(warden.program);
    warden.workFolder = sandboxWorkFolder;
    warden.workFolderSize = sandboxWorkFolderSize;
    return std::make_unique<LibraryProcess>(nullptr, nullptr, sandboxWorkFolder, timeLimit, warden);
}

int runWarden(int argc, char** argv)
{
    // CONTRACT CANDIDATE TIME-LIMIT SHOW SEED FOLDER DESCRIPTOR [READ-ONLY...], after the option.
    if (argc < 9)
        return 2;
    const Contract* contract = contractNamed(argv[2]);
    char* end = nullptr;
    const double timeLimit = std::strtod(argv[4], &end);
    char* seedEnd = nullptr;
    const unsigned long long seed = std::strtoull(argv[6], &seedEnd, 10);
    const long control = std::strtol(argv[8], nullptr, 10);
    if (!contract || *end != '\0' || *seedEnd != '\0' || control < 0)
        return 2;
    // The routines' processes draw the same inputs as the checker that judges them.
    setInputSeed(seed);
    serveAsWarden(loadingOf(*contract, argv[3]), servingOf(*contract, std::string_view(argv[5]) == "1"), argv[7],
                  timeLimit, static_cast<int>(control), std::vector<std::string>(argv + 9, argv + argc));
}
