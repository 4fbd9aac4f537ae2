// Running the library's code in child processes, so that a crash or a hang of a routine is a
// finding and not the end of the check.
//
// One child, the library's process, loads the library once, as a program does, and then
// starts a process of its own for each routine: each begins from the library as that one load
// left it, and none pays for loading it again. The checker sends a request there, with the
// writing ends of two pipes of its own, one for the routine's process to report through and
// one for what it prints, and learns back the new process's id and, once it has ended, how it
// ended.
#pragma once

#include "report_channel.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

// What a process wrote on its standard output and error: the first `printedRoom` bytes, and
// how many it wrote in all.
struct Printed {
    std::string text;
    std::uint64_t bytes = 0;
};

// How much of what one part printed is kept: a routine that prints megabytes costs no more.
inline constexpr std::size_t printedRoom = 64 * 1024;

// What a routine's process prints, as it is read, split into the parts of its request at the
// marks that finishPart() writes between them.
class PrintedOutput {
public:
    void add(std::string_view bytes);
    // Whether the first part waiting to be taken has ended.
    bool partEnded() const { return !ended_.empty(); }
    // The first part that ended; when none has, everything read since the last one.
    Printed takePart();

private:
    void keep(std::string_view bytes);

    std::vector<Printed> ended_;
    Printed current_;
    std::string held_; // the last bytes read, which may be the start of a mark
};

// The mark between two parts of what a routine's process prints.
inline constexpr char partEndMarkBytes[] = "\0\x1b[routine-check: part ends]\0";
inline constexpr std::string_view partEndMark{partEndMarkBytes, sizeof partEndMarkBytes - 1};

struct ChildOutcome {
    std::vector<Report> messages; // everything the child sent, in order
    std::optional<Message> unfinished; // the first part of a report whose bytes go on
    std::string unfinishedBytes;       // and its bytes so far
    Printed printed;                // what it printed on its standard output and error
    int status = 0;                 // as waitpid gives it; -1 when no process could be started
    bool timedOut = false;          // killed when it had used its processor time
    bool stalled = false;           // killed at the clock's backstop, its processor time not used up
    double processorSeconds = 0;    // the processor time it used, as last seen
    double clockSeconds = 0;        // stalled: how long it was given by the clock
    bool channelClosed = false;     // the routine closed the checker's report channel
    bool otherSender = false;       // another process wrote into the channel (a fork went on)
    bool libraryProcessEnded = false; // the library's process was gone, or went while it ran
    unsigned leftRunning = 0; // processes it started that left its process group and still ran
    bool tooManyProcesses = false; // sandboxed: it and what it started passed sandboxProcessBound, and were ended
    bool tooMuchMemory = false;    // sandboxed: it and what it started held more than sandboxMemoryBound, and were ended
    bool goesOn = false;      // one part finished, and the process goes on with the next
    uint32_t nextPart = 0;    // goesOn: what the next part is, as the process said
};

// How many processes the sandbox may hold at once, its warden included: far more than any
// routine needs, few enough that a routine that forks without end never reaches the machine's
// own limits. Past it the warden ends them all.
inline constexpr unsigned sandboxProcessBound = 256;

// How much memory the sandbox's processes may hold at once, all together (what each holds in
// the machine's memory): as much as one routine's address space. Looked at every 20 ms while
// a routine runs; past it the warden ends them all.
inline constexpr uint64_t sandboxMemoryBound = uint64_t{4} << 30;

// The address space a routine's process may take: enough for any sound routine and the
// checker's guard regions, not enough to exhaust the machine.
inline constexpr std::uint64_t addressSpaceLimit = std::uint64_t{4} << 30;

// Whether a child stopped at the address space limit is the limit: it held this close to it.
inline constexpr std::uint64_t addressSpaceMargin = std::uint64_t{256} << 20;

// Whether the address space limit applies: an address sanitizer reserves terabytes of address
// space for itself before the check begins, so under it the limit would stop every child.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool addressSpaceLimited = false;
#else
inline constexpr bool addressSpaceLimited = true;
#endif

// The processor time a routine's process may take, in whole seconds, as the system enforces it:
// the time limit rounded up. The checker ends the process itself a moment before, when it has
// used the time limit; this stays for a process the checker cannot measure.
int processorTimeLimit(double timeLimit);

// How long by the clock a child may take before it is ended whatever processor time it used:
// far longer than the time limit, so that a busy machine, which slows a call by the clock and
// not by its processor time, never ends a routine that would return; a routine blocked for
// good (pause(), a lock never released) still ends.
double clockBackstop(double timeLimit);

struct ProcessNews;

// The library's process. It loads the library in the checker's own current directory, as a
// program started there would, and then it and every routine's process run in `directory`,
// with their standard output and error in a pipe of the checker's own, one for the load and
// one for each request, so that what a routine prints never mixes with the checker's lines
// and is quoted under the routine that printed it; each has its report channel on a high
// descriptor, where a routine that closes the low ones does not reach it, reports a fatal
// signal as a Signal message with the faulting address before it ends, ends when the checker
// does, and may use only
// `addressSpaceLimit` of address space (less when the checker was started with less) and
// processorTimeLimit() seconds of processor time.
//
// Sandboxed, the library's process is a warden instead: routine-check itself, started again in
// the sandbox as the sandbox's first process, which never loads the library. For the load and
// for each request it starts a process that sets the system-call filter, loads the library
// and does what was asked; it waits for each of them and tells the checker how it ended, on
// the socket that none of them holds. Signals sent to it from inside the sandbox are ignored
// (the kernel's rule for a namespace's first process), no process there may read its memory
// or descriptors, and when it ends, by the checker's word or with the checker, everything in
// the sandbox ends with it.
class LibraryProcess {
public:
    // How the warden is started: routine-check's own file, the words after it that make it a
    // warden, and the folders and files the sandbox shows read-only.
    struct Warden {
        std::string program;
        std::vector<std::string> arguments;
        std::vector<std::string> readOnly;
        std::string workFolder;     // in the sandbox, an empty file system in memory
        std::uint64_t workFolderSize = 0;
        std::string startIn;        // where the library is loaded; the work folder when empty
    };

    // Loads the library and gives its handle, or nullptr when it did not load.
    using Load = std::function<void*(const ReportChannel&)>;
    // What a routine's process does with one request.
    using Serve = std::function<void(void* library, std::string_view request, const ReportChannel&)>;

    // Starts the process and runs `load` in it, with `timeLimit` seconds to finish: loading()
    // says what it sent. When the library loaded, it is serving() and waits for requests;
    // otherwise it has ended.
    // With `warden`, the process is the sandboxed warden, and `load` and `serve` are the ones
    // the warden makes for itself (serveAsWarden()).
    LibraryProcess(const Load& load, Serve serve, const std::string& directory, double timeLimit,
                   const std::optional<Warden>& warden = std::nullopt);
    // Ends it, with everything it started.
    ~LibraryProcess();
    LibraryProcess(const LibraryProcess&) = delete;
    LibraryProcess& operator=(const LibraryProcess&) = delete;

    const ChildOutcome& loading() const { return loading_; }
    bool serving() const { return process_ > 0; }

    // Runs `serve` for `request` in a new process started by the library's process, with
    // `timeLimit` seconds to finish; a Finished message follows what it sent when it returns.
    // Once it has finished, or its time is up, it and everything it started are ended; a
    // process still running from an earlier request is ended first. A request may be served
    // in parts (finishPart()): the outcome then covers the first part, and goesOn says so.
    // With `arena`, the descriptor of storage the checker shares with the routine's process
    // goes with the request, and the outcome waits for the process's own end: its word that it
    // finished is taken as words only.
    ChildOutcome run(std::string_view request, int arena = -1);

    // The next part of the request that is running, with `timeLimit` seconds of its own.
    ChildOutcome next();

    // Ends the routine's process that is running and tells the library's process to end what
    // the routines left and then itself, without waiting for that; the destructor waits.
    void stop();

    bool sandboxed() const { return sandboxed_; }
    // Sandboxed: whether the sandbox was made, its warden answering the first request. When it
    // was not, none of the library's code has run.
    bool sandboxMade() const { return sandboxMade_; }

private:
    bool startWarden(const Warden& warden);
    bool startRoutineProcess(std::string_view request, int arena, bool& endIt);
    ChildOutcome takePart(bool lastPart = false);
    void takeTheRest(ChildOutcome& outcome);
    void stopRoutineProcess();
    bool takeEndNews(ProcessNews& news);
    void end();

    double timeLimit_;
    bool sandboxed_ = false;
    bool sandboxMade_ = false;
    pid_t process_ = -1;
    int control_ = -1; // the checker's end of the socket to the library's process
    ChildOutcome loading_;
    // The routine's process whose request goes on in parts: its id, its pipe, what came
    // through it beyond the part taken, and the processes that wrote into it beside it.
    // Its id as its messages give it (in the sandbox, the sandbox's own numbering), the id its
    // processor time is measured by, and, sandboxed, a descriptor that names it alone.
    pid_t routine_ = -1;
    pid_t routineClock_ = -1;
    int routineHandle_ = -1;
    int reports_ = -1;
    int output_ = -1; // what it prints
    PrintedOutput printed_;
    std::vector<char> received_;
    std::vector<pid_t> others_;
    bool newsPending_ = false; // a routine's process was stopped, and the news of its end is to come
    bool awaitEnd_ = false;    // the request came with shared storage: its process's end is waited for
};

// In a routine's process: the descriptor of the storage the checker shares, which came with the
// request being served; -1 when none came.
int requestArena();

// In a routine's process: one part of its request is done, and the process goes on with the
// part `next`, which gets its own time and processor time.
void finishPart(const ReportChannel& channel, uint32_t next);

// From now on an interrupt (Ctrl+C), a quit, a hang-up, a termination request or a reader
// that stopped reading ends the child that is running, which sits in a process group of its
// own and so does not get the terminal's signal itself; interruptingSignal() then names the
// signal, so that the checker can clean up and end by it. 0 while there was none.
void stopOnInterrupt();
int interruptingSignal();

// The warden's work, in the sandbox: `load` and `serve` run in a process of their own for the
// load and for each request that comes on `control`, in `directory`; ends when the checker
// closes its end. Those processes may read only `readOnly` (what the sandbox shows read-only)
// and write only in `directory`, where the kernel can hold them to that. Never returns.
[[noreturn]] void serveAsWarden(const LibraryProcess::Load& load, const LibraryProcess::Serve& serve,
                                const std::string& directory, double timeLimit, int control,
                                const std::vector<std::string>& readOnly);

// Standard input, output and error opened on /dev/null where the checker was started with
// any of them closed, so that no pipe of its own ever takes their numbers.
void openClosedStandardStreams();


