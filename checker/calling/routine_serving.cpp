#include "routine_serving.h"

#include "kept_registers.h"
#include "library_exports.h"
#include "wording.h"

#include "routine_binding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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
                                                      static_cast<std::size_t>(sysconf(_SC_PAGESIZE))));
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

std::unique_ptr<LibraryProcess> startLibraryProcess(const Contract& contract, const std::string& candidate,
                                                    const std::string& directory, double timeLimit, bool show)
{
    // Loaded as the programs load it; then the routines of the contract it exports, found as
    // the programs find them (also in a library it depends on, and data too, which its check
    // then names), and what else it exports.
    const LibraryProcess::Load loading = [&contract, candidate](const ReportChannel& channel) -> void* {
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
    // In each routine's process: the calls of one request, in the library as loaded.
    LibraryProcess::Serve serving = [&contract, show](void* library, std::string_view bytes,
                                                      const ReportChannel& channel) {
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
    return std::make_unique<LibraryProcess>(loading, std::move(serving), directory, timeLimit);
}
