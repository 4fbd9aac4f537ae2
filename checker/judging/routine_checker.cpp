#include "routine_checker.h"

#include "library_process.h"
#include "routine_serving.h"
#include "export_causes.h"
#include "reach_causes.h"
#include "kept_registers.h"
#include "placements.h"
#include "storage_results.h"
#include "library_exports.h"
#include "wording.h"

#include "printable_text.h"
#include "routine_binding.h"

#include <algorithm>
#include <cstring>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How far a routine is measured to reach past a piece before the checker says "more than":
// as far as the guard beside it reaches.
constexpr std::size_t farthestMeasured = guardSize;

// Where the child put a piece of an argument.
struct PlacedPiece {
    uint32_t call;
    uint32_t index;
    bool readOnly;
    std::size_t alignment;
    ValueKind layout;
    uint64_t mapStart, mapEnd, dataStart, dataEnd;
    std::string name;
    bool decoy;   // the pages whose address filled the piece `name` in a probe
    int position; // where the routine receives the argument, from 1; 0 for none
};

// A fault in a guard beside a piece, whose distance can be measured.
struct BoundaryFault {
    bool wrote;        // or read
    Argument argument; // the piece's
    uint32_t call;
    uint32_t piece;
    Side side;
    std::size_t alignment;
    ValueKind layout;
    std::size_t size;
    std::size_t reached; // how far beyond the piece the faulting byte lies, at least 1
    int position;        // where the routine receives the argument, from 1
};

struct Reading {
    std::vector<Finding> findings;
    std::optional<BoundaryFault> boundary;
    std::optional<reports::Signal> signal;
    std::vector<PlacedPiece> pieces;
    std::string shown;
    std::string shows;
    bool finished = false;
    // A crash whose cause a probe may find ("crashed (SIGSEGV)" at no piece, or a use of a
    // null address), and in which call.
    std::optional<Finding> unnamedCrash;
    uint32_t crashCall = 0;
    bool nullAddress = false;
    std::optional<PlacedPiece> bytesTakenFrom; // a probe's piece whose bytes the routine followed
    // The argument whose storage the checker could not make, the system's error number, and
    // the address space the process held then.
    std::optional<reports::NoRoom> noRoom;
    std::size_t bytesTakenAt = 0;              // where in that piece the address lay
    std::optional<PlacedPiece> wroteIntoReadOnly; // the piece it must only read and wrote into
    std::vector<std::pair<uint32_t, uint32_t>> changed; // in a probe: the call and index of each piece changed
};

// The signal that stopped a process, as it reported it; null when none did.
const reports::Signal* signalIn(const ChildOutcome& outcome)
{
    for (const Report& report : outcome.messages)
        if (const auto* signal = std::get_if<reports::Signal>(&report))
            return signal;
    return nullptr;
}

// The lowest address a process may map (vm.mmap_min_addr): a fault below it is a null address
// with an offset added.
constexpr uint64_t nullPageEnd = 0x10000;

// A finding once: the same finding from both calls is said once.
void add(std::vector<Finding>& findings, const Finding& finding)
{
    if (std::find(findings.begin(), findings.end(), finding) == findings.end())
        findings.push_back(finding);
}

Argument argumentOf(const PlacedPiece& piece)
{
    return {piece.name, piece.position};
}

// Which way a reach beyond a piece went, and whether its distance was measured in full.
FindingKind reachKind(bool wrote, Side side, bool beyondMeasure)
{
    if (side == Side::End)
        return beyondMeasure ? (wrote ? FindingKind::WrotePastEndByMoreThan : FindingKind::ReadPastEndByMoreThan)
                             : (wrote ? FindingKind::WrotePastEnd : FindingKind::ReadPastEnd);
    return beyondMeasure ? (wrote ? FindingKind::WroteBeforeStartByMoreThan : FindingKind::ReadBeforeStartByMoreThan)
                         : (wrote ? FindingKind::WroteBeforeStart : FindingKind::ReadBeforeStart);
}

// Whether `finding` is the reach `boundary` found, however far it was measured (or not yet).
bool sameReach(const Finding& finding, const BoundaryFault& boundary)
{
    return finding.argument == boundary.argument &&
        (finding.kind == reachKind(boundary.wrote, boundary.side, false) ||
         finding.kind == reachKind(boundary.wrote, boundary.side, true));
}

// Names the piece behind the faulting address of a SIGSEGV or SIGBUS, or says nothing when
// the address lies in no piece.
std::optional<Finding> nameFault(Reading& reading, const reports::Signal& signal, uint32_t currentCall)
{
    const uint64_t address = signal.address;
    const Access access = signal.access;
    if (signal.trap == Trap::PageFault && address < nullPageEnd) {
        reading.nullAddress = true;
        return Finding{access == Access::Write  ? FindingKind::WroteThroughNull
                       : access == Access::Read ? FindingKind::ReadThroughNull
                                                : FindingKind::UsedThroughNull};
    }
    for (const PlacedPiece& piece : reading.pieces) {
        if (address < piece.mapStart || address >= piece.mapEnd)
            continue;
        if (piece.decoy) {
            reading.bytesTakenFrom = piece;
            reading.bytesTakenAt = static_cast<std::size_t>(address - piece.mapStart) / decoySlotSize * sizeof(void*);
            return Finding{FindingKind::UsedBytesAsAddress, argumentOf(piece)};
        }
        if (piece.call < currentCall)
            return Finding{FindingKind::KeptAddress, argumentOf(piece)};
        if (address >= piece.dataStart && address < piece.dataEnd) {
            // Only a write faults within a read-only piece.
            if (piece.readOnly) {
                reading.wroteIntoReadOnly = piece;
                return Finding{FindingKind::WroteIntoReadOnly, argumentOf(piece)};
            }
            return std::nullopt;
        }
        // Where the platform does not say, a fault beside a piece is taken for a read.
        const bool wrote = access == Access::Write;
        const bool past = address >= piece.dataEnd;
        const uint64_t reached = past ? address - piece.dataEnd + 1 : piece.dataStart - address;
        reading.boundary = BoundaryFault{wrote,           argumentOf(piece), piece.call,   piece.index,
                                         past ? Side::End : Side::Start,     piece.alignment,
                                         piece.layout,    piece.dataEnd - piece.dataStart,
                                         static_cast<std::size_t>(reached),  piece.position};
        // Its distance is measured once the calls are over.
        return Finding{reachKind(wrote, past ? Side::End : Side::Start, false), argumentOf(piece)};
    }
    return std::nullopt;
}

// A crash at the limit of address space is the limit's.
bool atAddressSpaceLimit(const reports::Signal& signal)
{
    return addressSpaceLimited && signal.held + addressSpaceMargin >= addressSpaceLimit;
}

Finding outOfMemory(int signal)
{
    return {FindingKind::OutOfMemory, {}, {static_cast<int64_t>(addressSpaceLimit >> 30), int64_t{signal}}};
}

// Seconds to two digits, as a clock's are told.
std::string seconds(double count)
{
    char number[32];
    std::snprintf(number, sizeof number, "%.2g", count);
    return number;
}

// A call ended at the clock's backstop with processor time to spare: it waits for good.
Finding stalled(const ChildOutcome& outcome)
{
    return {FindingKind::Stalled, {}, {seconds(outcome.clockSeconds), seconds(outcome.processorSeconds)}};
}

// With `endSeen`, the calls are over only for a process that also ended as the checker's own
// code ends it, with exit status 0: a Finished message is the process's word, which a routine
// can write too.
Reading readOutcome(const ChildOutcome& outcome, double timeLimit, int processorSeconds, bool endSeen = false)
{
    Reading reading;
    uint32_t currentCall = 0;
    for (const Report& report : outcome.messages) {
        if (const auto* placed = std::get_if<reports::Placed>(&report))
            reading.pieces.push_back({placed->call, placed->index, placed->readOnly, placed->alignment,
                                      static_cast<ValueKind>(placed->layout), placed->mapStart, placed->mapEnd,
                                      placed->dataStart, placed->dataEnd, placed->name, placed->decoy,
                                      static_cast<int>(placed->position)});
        else if (const auto* started = std::get_if<reports::CallStarted>(&report))
            currentCall = started->call;
        else if (const auto* finding = std::get_if<Finding>(&report))
            add(reading.findings, *finding);
        else if (const auto* signal = std::get_if<reports::Signal>(&report))
            reading.signal = *signal;
        else if (const auto* shown = std::get_if<reports::Shown>(&report))
            reading.shown += shown->listing;
        else if (const auto* shows = std::get_if<reports::Shows>(&report))
            reading.shows = shows->text;
        else if (std::holds_alternative<reports::Finished>(report))
            reading.finished = true;
        else if (const auto* noRoom = std::get_if<reports::NoRoom>(&report))
            reading.noRoom = *noRoom;
        else if (const auto* changed = std::get_if<reports::Changed>(&report))
            reading.changed.emplace_back(changed->call, changed->index);
    }

    if (endSeen && !(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0))
        reading.finished = false;
    // The checker's code ends a process that found no room for the storage with a status of its
    // own: a process that ended as if its calls were over never found none.
    if (endSeen && reading.finished)
        reading.noRoom.reset();
    // The warden ended every process of the sandbox, the routine's own among them: that end is
    // the bound's, not a crash.
    if (outcome.tooManyProcesses) {
        add(reading.findings, {FindingKind::StartedTooManyProcesses, {}, {int64_t{sandboxProcessBound}}});
        return reading;
    }
    if (outcome.tooMuchMemory) {
        add(reading.findings, {FindingKind::HeldTooMuchMemory, {}, {static_cast<int64_t>(sandboxMemoryBound >> 30)}});
        return reading;
    }
    if (outcome.otherSender)
        add(reading.findings, {FindingKind::WentOnInAProcessOfItsOwn});
    else if (outcome.leftRunning > 0)
        add(reading.findings, {FindingKind::LeftAProcess});
    // No room for the next call's storage is the routine's doing when its calls took the
    // address space a routine may have, and the checker's own failure otherwise.
    if (reading.noRoom && addressSpaceLimited && reading.noRoom->held + addressSpaceMargin >= addressSpaceLimit) {
        add(reading.findings, {FindingKind::KeptTheAddressSpace, {reading.noRoom->argument},
                               {static_cast<int64_t>(addressSpaceLimit >> 30)}});
        return reading;
    }
    if (reading.noRoom) {
        add(reading.findings, {FindingKind::NoRoomForStorage, {reading.noRoom->argument},
                               {std::string(std::strerror(reading.noRoom->error))}});
        return reading;
    }
    if (reading.signal) {
        const int signal = reading.signal->signal;
        std::optional<Finding> named;
        if (signal == SIGSEGV || signal == SIGBUS)
            named = nameFault(reading, *reading.signal, currentCall);
        // A null address at the limit is the one an allocation gave back.
        if ((!named || reading.nullAddress) && atAddressSpaceLimit(*reading.signal)) {
            named = outOfMemory(signal);
            reading.nullAddress = false;
        }
        const Finding said = named ? *named : Finding{FindingKind::Crashed, {}, {int64_t{signal}}};
        add(reading.findings, said);
        if (!named || reading.nullAddress) {
            reading.unnamedCrash = said;
            reading.crashCall = currentCall;
        }
    } else if (outcome.timedOut) {
        add(reading.findings, {FindingKind::TimedOut, {}, {timeLimit}});
    } else if (outcome.stalled) {
        add(reading.findings, stalled(outcome));
    } else if (outcome.channelClosed) {
        add(reading.findings, {FindingKind::ClosedTheChannel});
    } else if (!reading.finished) {
        if (WIFSIGNALED(outcome.status) && WTERMSIG(outcome.status) == SIGXCPU)
            add(reading.findings, {FindingKind::UsedUpProcessorTime, {}, {int64_t{processorSeconds}}});
        else if (WIFSIGNALED(outcome.status))
            add(reading.findings, {FindingKind::Crashed, {}, {int64_t{WTERMSIG(outcome.status)}}});
        else if (WIFEXITED(outcome.status))
            add(reading.findings, {FindingKind::EndedTheProcess, {}, {int64_t{WEXITSTATUS(outcome.status)}}});
        else
            add(reading.findings, {FindingKind::CouldNotStartAProcess});
    }
    return reading;
}

// The 8 bytes at `at` of a piece: the value of an element of an array of Variants (its
// number), or bytes by their offsets (the first and the last).
bool isElementValue(const PlacedPiece& piece, std::size_t at)
{
    return piece.layout == VALUE_VARIANTS && at % sizeof(VARIANT) == offsetof(VARIANT, value);
}

std::vector<Value> bytesAt(const PlacedPiece& piece, std::size_t at)
{
    if (isElementValue(piece, at))
        return {static_cast<int64_t>(at / sizeof(VARIANT) + 1)};
    return {static_cast<int64_t>(at), static_cast<int64_t>(at + 7)};
}

// A crash at no piece, or at a null address, may come from a routine that takes an argument's
// own bytes for an address: gfortran's and LLVM Flang's character(len=*) and x(:) in a bind(C)
// routine expect a C descriptor, whose first 8 bytes are the address of the data, where the
// program passes the bytes themselves; a routine that takes an element for a reference
// follows its value. The call that crashed is made again with each 8 bytes of every piece of
// at least 8 bytes holding the address of a decoy of their own; a crash at a decoy names the
// piece and where in it the address lay, and the crash's sentence says so.
template <typename Calling>
void nameTheAddressTaken(Reading& reading, const Calling& calling, double timeLimit, int processorSeconds)
{
    Probe probe;
    probe.side = reading.crashCall == 1 ? Side::End : Side::Start;
    probe.bytesAsAddress = true;
    const Reading probed =
        readOutcome(calling(std::pair{static_cast<int>(reading.crashCall), probe}), timeLimit, processorSeconds);
    if (!probed.bytesTakenFrom)
        return;
    const PlacedPiece& piece = *probed.bytesTakenFrom;
    const std::size_t at = probed.bytesTakenAt;
    const bool element = isElementValue(piece, at);
    Finding named;
    if (at == 0) {
        named = {FindingKind::UsedBytesAsAddress, argumentOf(piece), {}, {CauseKind::DescriptorExpected, argumentOf(piece)}};
    } else if (reading.nullAddress) {
        named = *reading.unnamedCrash;
        named.cause = {element ? CauseKind::NullFromElement : CauseKind::NullFromBytes, argumentOf(piece),
                       bytesAt(piece, at)};
    } else {
        named = {element ? FindingKind::UsedElementAsAddress : FindingKind::UsedByteRangeAsAddress, argumentOf(piece),
                 bytesAt(piece, at)};
    }
    std::replace(reading.findings.begin(), reading.findings.end(), *reading.unnamedCrash, named);
}

// The description of `routine`'s call in the contract named `library`; null when there is none.
const CallDescription* describedCall(const std::string& library, const std::string& routine)
{
    for (const ContractCalls* contract : allContractCalls)
        if (contract->library == library)
            return contract->find(routine);
    return nullptr;
}

// A routine that wrote into what it must only read may have meant another argument: the call
// is made again with nothing read-only, and when it then leaves every argument it may write
// as it was, the first of them of the same kind is the one it meant.
template <typename Calling>
std::optional<PlacedPiece> argumentMeant(const Reading& reading, const Calling& calling, double timeLimit,
                                         int processorSeconds)
{
    const PlacedPiece written = *reading.wroteIntoReadOnly;
    Probe probe;
    probe.side = written.call == 1 ? Side::End : Side::Start;
    probe.readOnlyWritable = true;
    const Reading probed =
        readOutcome(calling(std::pair{static_cast<int>(written.call), probe}), timeLimit, processorSeconds);
    if (probed.signal || !probed.finished)
        return std::nullopt;
    std::optional<PlacedPiece> meant;
    for (const PlacedPiece& piece : probed.pieces) {
        if (piece.call != written.call || piece.decoy || piece.readOnly)
            continue;
        const bool changed = std::find(probed.changed.begin(), probed.changed.end(),
                                       std::pair{piece.call, piece.index}) != probed.changed.end();
        if (changed)
            return std::nullopt;
        if (!meant && piece.layout == written.layout)
            meant = piece;
    }
    return meant;
}

// What the calls left in the storage shared with the routine's process, read by the checker
// after the process has ended: the writes around each piece and into what it must only read,
// the results of the calls that returned, and what the window shows. The markers say only how
// far the calls went: a process that ended as if its calls were over when they were not has a
// fault of its own.
void judgeShared(Reading& reading, const SharedArena& arena, const SharedCalls& shared)
{
    const ArenaLayout& layout = arena.layout();
    const std::size_t returned = callsReturned(layout, arena.bytes());
    SharedJudgement judged = shared.judge(layout, arena.bytes(), returned);
    // Said where the calls' own look would have said them: after what the routine's process
    // saw of each call (its floating-point environment, its threads) and before any result, as
    // each call's look comes before its results.
    std::vector<Finding> seen = judgeSharedPieces(layout, arena.bytes());
    seen.insert(seen.end(), judged.findings.begin(), judged.findings.end());
    // The kinds from KeepsState on are the last group: what the contracts fix about results.
    const auto results = std::find_if(reading.findings.begin(), reading.findings.end(), [](const Finding& finding) {
        return finding.kind >= FindingKind::KeepsState && finding.kind <= lastFindingKind;
    });
    std::vector<Finding> ordered(reading.findings.begin(), results);
    for (const Finding& finding : seen)
        add(ordered, finding);
    for (auto rest = results; rest != reading.findings.end(); ++rest)
        add(ordered, *rest);
    reading.findings = std::move(ordered);
    // What the window shows, when the bytes tell it; otherwise the process's words stand.
    if (!judged.shows.empty())
        reading.shows = std::move(judged.shows);
    if (reading.finished && returned < layout.markerCount)
        add(reading.findings, {FindingKind::CallsNotOver, {},
                               {static_cast<int64_t>(returned + 1), static_cast<int64_t>(layout.markerCount)}});
}

// How a routine ended the process where its file could not be written.
struct UnwritableFileEnd {
    std::string file;
    int exitStatus = -1; // when it exited
    int signal = 0;      // when a signal ended it
};

// Exit status 2 (gfortran's runtime) or SIGABRT (LLVM Flang's) is the Fortran runtime's end of
// a program after an I/O error; another exit is the routine's own (STOP, exit()); any other
// signal is a file that did not open, used all the same.
Finding findingOf(const UnwritableFileEnd& end)
{
    constexpr int fortranRuntimeError = 2;
    Finding finding = end.exitStatus >= 0
        ? Finding{FindingKind::EndedWhereFileUnwritable, {}, {int64_t{end.exitStatus}, end.file}}
        : Finding{FindingKind::CrashedWhereFileUnwritable, {}, {int64_t{end.signal}, end.file}};
    if (end.exitStatus == fortranRuntimeError || end.signal == SIGABRT)
        finding.cause.kind = CauseKind::FortranRuntimeEnd;
    else if (end.exitStatus >= 0)
        finding.cause.kind = CauseKind::StoppedOnPurpose;
    else
        finding.cause.kind = CauseKind::FileNotOpened;
    return finding;
}

} // namespace

RoutineChecker::RoutineChecker(const Contract& contract, std::string directory, double timeLimit, bool show,
                               bool sandboxed)
    : contract_(contract), directory_(std::move(directory)), timeLimit_(timeLimit), show_(show), sandboxed_(sandboxed)
{
}

LibraryFacts RoutineChecker::load(const std::string& candidate)
{
    candidate_ = candidate;
    library_ = startLibraryProcess(contract_, candidate_, directory_, timeLimit_, show_, sandboxed_);
    const ChildOutcome outcome = library_->loading(); // a copy: a library that did not load is let go below

    const std::string shownCandidate = printable(candidate);
    LibraryFacts facts;
    facts.printed = outcome.printed;
    facts.sandboxNotMade = sandboxed_ && !library_->sandboxMade();
    bool finished = false;
    for (const Report& report : outcome.messages) {
        if (const auto* failed = std::get_if<reports::LoadFailed>(&report)) {
            // After the load, what the start-up code left.
            facts.problem = facts.loaded ? "the start-up code of " + shownCandidate + " " + printable(failed->problem)
                                         : shownCandidate + " does not load: " + printable(failed->problem);
            facts.loaded = false;
        } else if (const auto* loaded = std::get_if<reports::Loaded>(&report)) {
            facts.loaded = true;
            // A file found through a search path that names its own directory
            // ($ORIGIN/../lib) is shown without the detour.
            facts.file = std::filesystem::path(loaded->file).lexically_normal().string();
            loadedIdentity_ = FileIdentity{loaded->device, loaded->inode};
        } else if (const auto* exported = std::get_if<reports::Exported>(&report)) {
            facts.exported.push_back(exported->routine);
        } else if (const auto* also = std::get_if<reports::AlsoExported>(&report)) {
            facts.alsoExported.push_back(also->name);
        } else if (std::holds_alternative<reports::Finished>(report)) {
            finished = true;
        }
    }
    // What is checked is the file named: the one the loader mapped, known by its device and
    // inode, whatever the path.
    if (finished && facts.loaded && candidate.find('/') != std::string::npos &&
        fileIdentity(candidate) != loadedIdentity_) {
        facts.loaded = false;
        facts.problem = shownCandidate + " does not load: the loader loaded another file, " + printable(facts.file);
    }
    if (!facts.loaded)
        library_.reset();
    if (finished || !facts.problem.empty())
        return facts;

    // The process ended while loading: the library's start-up code ended it.
    facts.loaded = false;
    const std::string startUp = "the start-up code of " + shownCandidate;
    const reports::Signal* signal = signalIn(outcome);
    if (outcome.timedOut)
        facts.problem = startUp + " " + sentenceOf({FindingKind::TimedOut, {}, {timeLimit_}});
    else if (outcome.stalled)
        facts.problem = startUp + " " + sentenceOf(stalled(outcome));
    else if (signal)
        facts.problem = startUp + " crashed (" + signalName(signal->signal) + ")";
    else if (WIFSIGNALED(outcome.status))
        facts.problem = startUp + " crashed (" + signalName(WTERMSIG(outcome.status)) + ")";
    else if (WIFEXITED(outcome.status))
        facts.problem = startUp + " ended the process with exit status " + std::to_string(WEXITSTATUS(outcome.status));
    else
        facts.problem = "the checker could not start a process to load " + shownCandidate;
    return facts;
}

// The library's process serves every routine while it lasts. One that has gone (a thread its
// start-up code left ended it, say) is started again, once per request, from the same file:
// known again by its device and inode.
ChildOutcome RoutineChecker::runCalls(const RoutineRequest& request, int arena)
{
    const std::string bytes = encode(request);
    served_ = true;
    ChildOutcome outcome = library_ ? library_->run(bytes, arena) : ChildOutcome{};
    // A finding in place of the calls, as a routine's process would send it.
    const auto fault = [this](const Finding& finding) {
        served_ = false;
        ChildOutcome failed;
        failed.messages = {finding, reports::Finished{}};
        return failed;
    };
    // Sandboxed, each routine's process loads the library again.
    for (const Report& report : outcome.messages)
        if (const auto* failed = std::get_if<reports::LoadFailed>(&report))
            return fault({FindingKind::LibraryDidNotLoadAgain, {}, {printable(failed->problem)}});
    if (library_ && !outcome.libraryProcessEnded)
        return outcome;

    library_ = startLibraryProcess(contract_, candidate_, directory_, timeLimit_, show_, sandboxed_);
    const ChildOutcome loading = library_->loading();
    std::string problem = "its process ended";
    std::optional<FileIdentity> identity;
    for (const Report& report : loading.messages) {
        if (const auto* failed = std::get_if<reports::LoadFailed>(&report))
            problem = printable(failed->problem);
        if (const auto* loaded = std::get_if<reports::Loaded>(&report))
            identity = FileIdentity{loaded->device, loaded->inode};
    }
    if (!library_->serving() || !identity) {
        library_.reset();
        return fault({FindingKind::LibraryDidNotLoadAgain, {}, {problem}});
    }
    if (identity != loadedIdentity_) {
        library_.reset();
        return fault({FindingKind::AnotherFileLoaded, {}, {printable(candidate_)}});
    }
    outcome = library_->run(bytes, arena);
    if (outcome.libraryProcessEnded)
        return fault({FindingKind::LibraryProcessEnded});
    return outcome;
}

// One more call where the routine's file cannot be written. A program that calls the
// routine works wherever the file can be written, so a routine that then ends the process
// gets a note, with the usual cause; one that goes on gets nothing.
void RoutineChecker::callWhereItsFileCannotBeWritten(const RoutineCheck& routine, RoutineReport& report)
{
    const auto index = static_cast<uint32_t>(&routine - contract_.routines.data());
    RoutineRequest request{index, 0, Probe{}, false};
    request.fileUnwritable = true;
    const ChildOutcome outcome = runCalls(request);
    nextPart_ = std::nullopt;
    const bool finished = std::any_of(outcome.messages.begin(), outcome.messages.end(), [](const Report& each) {
        return std::holds_alternative<reports::Finished>(each);
    });
    if (finished || outcome.timedOut || outcome.libraryProcessEnded || outcome.status == -1)
        return;
    const reports::Signal* signal = signalIn(outcome);
    UnwritableFileEnd end;
    end.file = routine.fileWritten;
    if (signal)
        end.signal = signal->signal;
    else if (WIFSIGNALED(outcome.status))
        end.signal = WTERMSIG(outcome.status);
    else if (WIFEXITED(outcome.status))
        end.exitStatus = WEXITSTATUS(outcome.status);
    else
        return;
    add(report.findings, findingOf(end));
    report.printed.text += outcome.printed.text.substr(
        0, printedRoom - std::min(printedRoom, report.printed.text.size()));
    report.printed.bytes += outcome.printed.bytes;
}

void RoutineChecker::stop()
{
    if (library_)
        library_->stop();
}

void RoutineChecker::waitForTheEnd()
{
    library_.reset();
}

RoutineReport RoutineChecker::check(const RoutineCheck& routine)
{
    const auto index = static_cast<uint32_t>(&routine - contract_.routines.data());
    // Both calls, or one call with one piece moved away from its guard. Both calls go on in
    // the process that called the routine before this one when that had nothing to say.
    const auto calling = [&](std::optional<std::pair<int, Probe>> probe) {
        if (probe)
            return runCalls(RoutineRequest{index, probe->first, probe->second, false});
        ChildOutcome outcome = nextPart_ == index && library_ ? library_->next()
                                                              : runCalls(RoutineRequest{index, 0, Probe{}, true});
        nextPart_ = outcome.goesOn ? std::optional<uint32_t>(outcome.nextPart) : std::nullopt;
        return outcome;
    };

    const int processorSeconds = processorTimeLimit(timeLimit_);
    std::optional<SharedArena> arena;
    ChildOutcome outcome;
    if (routine.shared) {
        // Both calls in storage the checker shares and reads itself, asked for on their own.
        const SharedPlan plan = routine.shared->plan();
        arena.emplace(layOutArena(plan.pieces, plan.calls, static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), plan.recordSize));
        if (!arena->made()) {
            const std::string first = plan.pieces.empty() ? std::string() : plan.pieces.front().argument.name;
            return {{{FindingKind::NoRoomForStorage, {first}, {std::string(std::strerror(errno))}}}, "", ""};
        }
        nextPart_ = std::nullopt;
        outcome = runCalls(RoutineRequest{index, 0, Probe{}, false}, arena->descriptor());
    } else {
        outcome = calling(std::nullopt);
    }
    const bool judgedShared = arena && served_;
    Reading reading = readOutcome(outcome, timeLimit_, processorSeconds, judgedShared);
    if (judgedShared)
        judgeShared(reading, *arena, *routine.shared);
    if (reading.unnamedCrash)
        nameTheAddressTaken(reading, calling, timeLimit_, processorSeconds);
    const CallDescription* described = describedCall(contract_.name, routine.name);
    if (reading.wroteIntoReadOnly && described)
        if (const std::optional<PlacedPiece> meant = argumentMeant(reading, calling, timeLimit_, processorSeconds)) {
            const Finding wrote{FindingKind::WroteIntoReadOnly, argumentOf(*reading.wroteIntoReadOnly)};
            Finding explained = wrote;
            explained.cause = {CauseKind::LeftMeantAsItWas, argumentOf(*meant), {declarationOf(*described)}};
            std::replace(reading.findings.begin(), reading.findings.end(), wrote, explained);
        }
    if (!reading.boundary) {
        RoutineReport report{reading.findings, reading.shown, reading.shows, outcome.printed};
        if (routine.callOnce && reading.finished)
            callWhereItsFileCannotBeWritten(routine, report);
        return report;
    }

    // How far the routine reaches: the least distance from the guard at which the same piece
    // no longer faults on that side, in steps of the piece's alignment. The faulting byte
    // gives a first distance that still faults; the search goes on from there.
    const BoundaryFault boundary = *reading.boundary;
    const auto faultsWithSlack = [&](std::size_t slack) {
        const Probe probe{static_cast<int>(boundary.piece), boundary.side, slack};
        Reading probed =
            readOutcome(calling(std::pair{static_cast<int>(boundary.call), probe}), timeLimit_, processorSeconds);
        return probed.boundary && probed.boundary->piece == boundary.piece && probed.boundary->side == boundary.side;
    };
    const std::size_t step = std::max<std::size_t>(boundary.alignment, 1);
    std::size_t reaching = (boundary.reached - 1) / step * step; // faults: the first run showed it
    std::size_t clear = 0;
    for (std::size_t gap = step; clear == 0 && reaching + gap <= farthestMeasured; gap *= 2) {
        if (faultsWithSlack(reaching + gap))
            reaching += gap;
        else
            clear = reaching + gap;
    }
    Finding measured{reachKind(boundary.wrote, boundary.side, clear == 0), boundary.argument,
                     {static_cast<int64_t>(farthestMeasured)}};
    if (clear != 0) {
        while (clear - reaching > step) {
            const std::size_t middle = reaching + (clear - reaching) / step / 2 * step;
            (faultsWithSlack(middle) ? reaching : clear) = middle;
        }
        measured.values = {static_cast<int64_t>(clear)};
        measured.cause = kindCause(boundary.layout, boundary.side, clear);
        if (measured.cause.kind == CauseKind::None && boundary.side == Side::End && described)
            measured.cause = orderCause(*described, boundary.position, boundary.size + clear);
    }
    // The same fault may already have been seen, with its distance, from the bytes around the
    // piece in the other call.
    std::vector<Finding> findings;
    for (const Finding& finding : reading.findings) {
        const bool same =
            sameReach(finding, boundary) && (finding.values.empty() || finding.values == measured.values);
        add(findings, same ? measured : finding);
    }
    return {findings, reading.shown, reading.shows, outcome.printed};
}

namespace {

// Why a routine the library holds is not exported: what hides it, and the contract's header,
// which declares it.
Cause unexportedCause(const Contract& contract, const std::string& routine, Unexported unexported)
{
    std::string header = contract.name;
    for (char& c : header)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    header += ".h";
    return {unexported == Unexported::Static ? CauseKind::DeclaredStatic : CauseKind::HiddenByVisibility, {},
            {routine, header}};
}

} // namespace

RoutineReport checkRoutine(RoutineChecker& checker, const Contract& contract, const LibraryFacts& facts, const RoutineCheck& routine,
                           std::vector<std::string>& explained)
{
    const bool exported = std::find(facts.exported.begin(), facts.exported.end(), routine.name) !=
        facts.exported.end();
    if (exported)
        return checker.check(routine);
    const NameCause cause = missingNameCause(routine.name, facts.alsoExported);
    explained.push_back(cause.exported);
    if (cause.exported.empty())
        if (const std::optional<Unexported> unexported = unexportedRoutine(facts.file, routine.name))
            return {{{FindingKind::NotExported, {}, {}, unexportedCause(contract, routine.name, *unexported)}}, "", ""};
    return {{{FindingKind::NotExported, {}, {}, cause.cause}}, "", ""};
}

bool has(const RoutineReport& report, Severity severity)
{
    return std::any_of(report.findings.begin(), report.findings.end(),
                       [&](const Finding& finding) { return severityOf(finding.kind) == severity; });
}

bool hasFault(const RoutineReport& report)
{
    return has(report, Severity::Fault);
}
