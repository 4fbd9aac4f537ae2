#include "library_process.h"

#include "sandbox.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

// What the library's process tells the checker about a routine's process.
struct ProcessNews {
    int32_t pid;           // the routine's process; 0 when none could be started
    int32_t status;        // Ended: as waitpid gave it
    uint32_t ended;        // 0: started, 1: ended
    uint32_t leftRunning;  // Ended: processes that had left its group and still ran
    uint32_t endedAll;     // Ended: the warden ended every process of the sandbox (an EndedAll)
};

namespace {

int reportDescriptor = -1;

// In a routine's process: the pipe its standard output and error go to, kept apart from
// them, for the mark at the end of each part.
int outputDescriptor = -1;

// In a routine's process: the storage shared with the checker, when the request came with it.
int arenaDescriptor = -1;

// The processor time each part of a request may take, in whole seconds.
rlim_t processorSeconds = 1;

volatile sig_atomic_t interruptedBy = 0;

void noteInterrupt(int signal)
{
    interruptedBy = signal;
}

constexpr int fatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS};

// The signals that end the checker, cleaned up, as an interrupt does.
constexpr int interruptingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

// Far above the descriptors a routine opens or closes by number (3 to 20, say).
constexpr int channelDescriptorFloor = 100;

// Whether the access that faulted was a read or a write: on x86 the page fault's error code,
// bit 1, says so.
Access accessOf([[maybe_unused]] const void* context)
{
#if defined(__x86_64__) || defined(__i386__)
    const auto* machine = static_cast<const ucontext_t*>(context);
    return (machine->uc_mcontext.gregs[REG_ERR] & 2) ? Access::Write : Access::Read;
#else
    return Access::Unknown;
#endif
}

// What the processor faulted on: on x86-64 the trap number, 14 for a page fault and 13 for a
// general protection fault (an address outside the canonical range).
Trap trapOf([[maybe_unused]] const void* context)
{
#if defined(__x86_64__)
    const auto* machine = static_cast<const ucontext_t*>(context);
    switch (machine->uc_mcontext.gregs[REG_TRAPNO]) {
    case 14: return Trap::PageFault;
    case 13: return Trap::GeneralProtection;
    default: return Trap::Unknown;
    }
#else
    return Trap::Unknown;
#endif
}

// The most address space the process has held, in bytes (VmPeak of /proc/self/status), read
// with the calls a signal handler may make; 0 when it cannot be read.
uint64_t peakAddressSpace()
{
    const int file = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    char text[4096];
    const ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    if (length <= 0)
        return 0;
    text[length] = '\0';
    const char* at = strstr(text, "VmPeak:");
    if (!at)
        return 0;
    uint64_t kilobytes = 0;
    for (at += 7; *at == ' ' || *at == '\t'; ++at) {}
    for (; *at >= '0' && *at <= '9'; ++at)
        kilobytes = kilobytes * 10 + static_cast<uint64_t>(*at - '0');
    return kilobytes * 1024;
}

// Only what is safe in a signal handler: one write, then the end of the process.
void reportFatalSignal(int signal, siginfo_t* info, void* context)
{
    reports::Signal caught;
    caught.signal = signal;
    caught.access = signal == SIGSEGV || signal == SIGBUS ? accessOf(context) : Access::Unknown;
    caught.trap = signal == SIGSEGV || signal == SIGBUS ? trapOf(context) : Trap::Unknown;
    caught.address = reinterpret_cast<uintptr_t>(info->si_addr);
    caught.held = peakAddressSpace();
    const Message message = signalMessage(caught, static_cast<int32_t>(getpid()));
    [[maybe_unused]] const ssize_t written = write(reportDescriptor, &message, sizeof message);
    // The signal again, now with its default action (SA_RESETHAND): the process ends by it, and
    // its parent sees which signal ended it, whatever the message said.
    raise(signal);
}

// A routine that overruns its own stack still gets its fault reported, from a stack of its
// own. That stack lies between pages of its own that no access may touch, so that a routine
// that reaches far past an argument does not land in it unseen. Every process started from
// this one has it too.
void useSignalStack()
{
    constexpr std::size_t stackSize = 1 << 16;
    const std::size_t guard = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* map = mmap(nullptr, stackSize + 2 * guard, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    void* stack = static_cast<char*>(map) + guard;
    if (map != MAP_FAILED && mprotect(stack, stackSize, PROT_READ | PROT_WRITE) == 0) {
        stack_t alternate{};
        alternate.ss_sp = stack;
        alternate.ss_size = stackSize;
        sigaltstack(&alternate, nullptr);
    }
}

void reportFatalSignals(int descriptor)
{
    reportDescriptor = descriptor;
    struct sigaction action {};
    action.sa_sigaction = reportFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : fatalSignals)
        sigaction(signal, &action, nullptr);
}

void limitChild(double timeLimit)
{
    // A lower limit the checker was started with stays: it is its user's.
    if constexpr (addressSpaceLimited) {
        rlimit space{};
        getrlimit(RLIMIT_AS, &space);
        space.rlim_cur = std::min<rlim_t>(space.rlim_cur, addressSpaceLimit);
        space.rlim_max = std::min<rlim_t>(space.rlim_max, addressSpaceLimit);
        setrlimit(RLIMIT_AS, &space);
    }
    // At the limit SIGXCPU, which names the limit. A process starts with no processor time
    // used; one that goes on to another part of its request has the limit moved on by as much.
    processorSeconds = static_cast<rlim_t>(processorTimeLimit(timeLimit));
    rlimit processor{};
    getrlimit(RLIMIT_CPU, &processor);
    processor.rlim_cur = std::min(processorSeconds, processor.rlim_max);
    setrlimit(RLIMIT_CPU, &processor);
    // A routine's crash leaves no core file in the directory the routines run in.
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

// The report channel far above the descriptors a routine touches, closed in what it starts.
int channelAbove(int descriptor)
{
    const int channel = fcntl(descriptor, F_DUPFD_CLOEXEC, channelDescriptorFloor);
    if (channel < 0)
        return descriptor; // a limit of open files below the floor
    close(descriptor);
    return channel;
}

// Ended with its parent, however the parent ends; a parent already gone is seen too. A group
// of its own, so that whatever it starts can be ended with it.
void followParent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(4);
    setpgid(0, 0);
}

constexpr std::size_t requestRoom = 1024;

// The most descriptors a message carries: a request's three.
constexpr std::size_t descriptorsRoom = 3;

// `size` bytes of `bytes` on `socket`, with `descriptors` alongside (at most descriptorsRoom);
// false when not all were sent. A reader that is gone is an answer, not a SIGPIPE.
bool sendWithDescriptors(int socket, const void* bytes, std::size_t size, std::span<const int> descriptors)
{
    iovec part{const_cast<void*>(bytes), size};
    alignas(cmsghdr) char room[CMSG_SPACE(descriptorsRoom * sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (!descriptors.empty() && descriptors.size() <= descriptorsRoom) {
        message.msg_control = room;
        message.msg_controllen = CMSG_SPACE(descriptors.size_bytes());
        cmsghdr* passed = CMSG_FIRSTHDR(&message);
        passed->cmsg_level = SOL_SOCKET;
        passed->cmsg_type = SCM_RIGHTS;
        passed->cmsg_len = CMSG_LEN(descriptors.size_bytes());
        std::memcpy(CMSG_DATA(passed), descriptors.data(), descriptors.size_bytes());
    }
    ssize_t sent;
    while ((sent = sendmsg(socket, &message, MSG_NOSIGNAL)) < 0 && errno == EINTR) {}
    return sent == static_cast<ssize_t>(size);
}

// Up to `size` bytes into `bytes`, as recvmsg counts them; the descriptors that came with them
// in `descriptors`, in their order, -1 in the rest. Any more than descriptorsRoom the kernel
// closes; any more than `descriptors` holds are closed here.
ssize_t receiveWithDescriptors(int socket, void* bytes, std::size_t size, std::span<int> descriptors)
{
    iovec part{bytes, size};
    alignas(cmsghdr) char room[CMSG_SPACE(descriptorsRoom * sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = room;
    message.msg_controllen = sizeof room;
    ssize_t length;
    while ((length = recvmsg(socket, &message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {}
    std::fill(descriptors.begin(), descriptors.end(), -1);
    const cmsghdr* passed = CMSG_FIRSTHDR(&message);
    if (length > 0 && passed && passed->cmsg_type == SCM_RIGHTS) {
        int came[descriptorsRoom];
        const std::size_t count = std::min((passed->cmsg_len - CMSG_LEN(0)) / sizeof(int), descriptorsRoom);
        std::memcpy(came, CMSG_DATA(passed), count * sizeof(int));
        for (std::size_t i = 0; i < count; ++i) {
            if (i < descriptors.size())
                descriptors[i] = came[i];
            else
                close(came[i]);
        }
    }
    return length;
}

// A request, with the writing ends of the routine's report pipe and of its output pipe
// alongside it, and the shared storage when there is one (the third descriptor, -1 for none).
bool sendRequest(int control, std::string_view request, const int (&channels)[3])
{
    return sendWithDescriptors(control, request.data(), request.size(),
                               std::span<const int>(channels, channels[2] >= 0 ? 3 : 2));
}

// The request's length, 0 when the checker has closed the socket, -1 on an error; `channels`
// are the descriptors that came with it, the report pipe's, the output pipe's, and the shared
// storage's or -1.
ssize_t receiveRequest(int control, char (&request)[requestRoom], int (&channels)[3])
{
    return receiveWithDescriptors(control, request, sizeof request, channels);
}

// `size` bytes with one descriptor alongside, or none when it is negative.
bool sendWithDescriptor(int socket, const void* bytes, std::size_t size, int descriptor)
{
    return sendWithDescriptors(socket, bytes, size,
                               descriptor >= 0 ? std::span<const int>(&descriptor, 1) : std::span<const int>());
}

// Up to `size` bytes, and the one descriptor that came with them, -1 when none did.
ssize_t receiveWithDescriptor(int socket, void* bytes, std::size_t size, int& descriptor)
{
    return receiveWithDescriptors(socket, bytes, size, std::span<int>(&descriptor, 1));
}

// News, and with the news that a process started, a descriptor that names that process alone
// (sandboxed: the checker, outside, knows it by no number of the sandbox).
void tell(int control, const ProcessNews& news, int handle = -1)
{
    sendWithDescriptor(control, &news, sizeof news, handle);
}

// The processes whose parent is this process: /proc/self/task/TID/children of each thread.
std::vector<pid_t> ownChildren()
{
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        const int file = open((task.path() / "children").c_str(), O_RDONLY | O_CLOEXEC);
        if (file < 0)
            continue;
        std::string text;
        char buffer[4096];
        for (ssize_t got; (got = read(file, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(got));
        close(file);
        const char* at = text.c_str();
        for (char* next = nullptr;; at = next) {
            const long pid = std::strtol(at, &next, 10);
            if (next == at)
                break;
            children.push_back(static_cast<pid_t>(pid));
        }
    }
    return children;
}

bool stillRunning(pid_t process)
{
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(process), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

// After a routine's process has ended, what it started comes back to the library's process
// (a subreaper). Counted are those that had left the routine's group, which the checker's end
// of that group does not reach, and still run.
unsigned countLeftovers(pid_t routine)
{
    unsigned leftRunning = 0;
    for (const pid_t child : ownChildren())
        if (stillRunning(child) && getpgid(child) != routine)
            ++leftRunning;
    return leftRunning;
}

// Ends whatever came back, and what comes back as those end.
void endLeftovers()
{
    for (int round = 0; round < 64; ++round) {
        const std::vector<pid_t> children = ownChildren();
        if (children.empty())
            break;
        for (const pid_t child : children)
            kill(child, SIGKILL);
        for (const pid_t child : children)
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
    }
}

// What the routine printed so far goes out, and the mark after it says that the part is over.
void markPartEnd()
{
    std::fflush(nullptr);
    if (outputDescriptor >= 0)
        while (write(outputDescriptor, partEndMark.data(), partEndMark.size()) < 0 && errno == EINTR) {}
}

[[noreturn]] void runRoutine(const LibraryProcess::Serve& serve, void* library, std::string_view request,
                             const int (&received)[3], pid_t libraryProcess)
{
    arenaDescriptor = received[2];
    followParent(libraryProcess);
    // What the routine starts and leaves comes back to this process when its parent ends, so
    // that the look after each call sees it.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const int channel = channelAbove(received[0]);
    outputDescriptor = channelAbove(received[1]);
    dup2(outputDescriptor, STDOUT_FILENO);
    dup2(outputDescriptor, STDERR_FILENO);
    reportFatalSignals(channel);
    const ReportChannel reports(channel);
    serve(library, request, reports);
    markPartEnd();
    reports.send(reports::Finished{});
    _exit(0);
}

// The library's process after loading: a routine's process for each request, until the
// checker ends its side of the socket.
[[noreturn]] void serveRequests(const LibraryProcess::Serve& serve, void* library, int control)
{
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const pid_t self = getpid();
    for (;;) {
        char request[requestRoom];
        int channels[3] = {-1, -1, -1};
        const ssize_t length = receiveRequest(control, request, channels);
        // What the last routine left ends only now, so that the checker sees it go on meanwhile.
        endLeftovers();
        if (length <= 0 || channels[0] < 0 || channels[1] < 0)
            _exit(0);
        std::fflush(nullptr);
        const pid_t routine = fork();
        if (routine == 0) {
            close(control);
            runRoutine(serve, library, std::string_view(request, static_cast<std::size_t>(length)), channels, self);
        }
        for (const int channel : channels)
            if (channel >= 0)
                close(channel);
        if (routine > 0)
            setpgid(routine, routine); // also here, so that the group exists whichever runs first
        tell(control, {routine > 0 ? routine : 0, 0, 0, 0, 0});
        if (routine < 0)
            continue;
        int status = 0;
        while (waitpid(routine, &status, 0) < 0 && errno == EINTR) {}
        tell(control, {routine, status, 1, countLeftovers(routine), 0});
    }
}

// A process about to load the library: its report channel high, its standard input empty,
// what it prints going to `outputEnd`, its limits set and its fatal signals reported; the
// channel.
int prepareToLoad(int writeEnd, int outputEnd, double timeLimit)
{
    const int channel = channelAbove(writeEnd);
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0 && nothing != STDIN_FILENO) {
        dup2(nothing, STDIN_FILENO);
        close(nothing);
    }
    // What the start-up code prints goes to the checker, line by line as on a terminal, so that
    // a crash loses no whole line; gfortran's runtime writes its own units unbuffered for it,
    // and its runtime errors without a backtrace of bare addresses.
    dup2(outputEnd, STDOUT_FILENO);
    dup2(outputEnd, STDERR_FILENO);
    close(outputEnd);
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    setenv("GFORTRAN_UNBUFFERED_PRECONNECTED", "y", 1);
    setenv("GFORTRAN_ERROR_BACKTRACE", "0", 1);
    limitChild(timeLimit);
    useSignalStack();
    reportFatalSignals(channel);
    return channel;
}

// Loads the library, says so and goes to `directory`: the handle, or nullptr when it did not
// load.
void* loadAndReport(const LibraryProcess::Load& load, const std::string& directory, int channel)
{
    void* library = nullptr;
    {
        const ReportChannel reports(channel);
        // Loaded where the checker was started, as a program started there loads it: a
        // dependency named by a relative path, or found through a relative search path
        // (LD_LIBRARY_PATH=.), is found as the program finds it. The routines run in
        // `directory`.
        library = load(reports);
        if (chdir(directory.c_str()) != 0)
            _exit(4);
        std::fflush(nullptr);
        // Each routine's process gets an output pipe of its own; whatever this process writes
        // from now on goes nowhere.
        if (const int discard = open("/dev/null", O_WRONLY); discard >= 0) {
            dup2(discard, STDOUT_FILENO);
            dup2(discard, STDERR_FILENO);
            close(discard);
        }
        // Loaded, it goes on to serve requests; otherwise it ends.
        reports.send(reports::Finished{library != nullptr, 0});
    }
    close(channel);
    return library;
}

[[noreturn]] void runLibraryProcess(const LibraryProcess::Load& load, const LibraryProcess::Serve& serve,
                                    const std::string& directory, int writeEnd, int outputEnd, int control,
                                    pid_t checker, double timeLimit)
{
    followParent(checker);
    for (int signal : interruptingSignals)
        std::signal(signal, SIG_DFL);
    void* library = loadAndReport(load, directory, prepareToLoad(writeEnd, outputEnd, timeLimit));
    if (!library)
        _exit(0);
    serveRequests(serve, library, control);
}

// ---- The warden, in the sandbox ----------------------------------------------------------------

// A descriptor, alone, on a socket.
bool sendDescriptor(int socket, int descriptor)
{
    const char mark = 0;
    return sendWithDescriptor(socket, &mark, sizeof mark, descriptor);
}

// The descriptor sendDescriptor() sent; -1 when the sender ended first.
int receiveDescriptor(int socket)
{
    char mark = 0;
    int descriptor = -1;
    if (receiveWithDescriptor(socket, &mark, sizeof mark, descriptor) != 1 && descriptor >= 0)
        close(std::exchange(descriptor, -1));
    return descriptor;
}

// In a process the warden started, before any of the library's code runs: the system calls no
// routine needs refused; every new process asked of the warden, which holds the only descriptor
// that answers (sent on `warden`, and closed here); and what the sandbox shows read-only
// (`readOnly`, as the warden was told it) all it may read, the work folder, `directory`, all it
// may write.
void fence(int warden, const std::vector<std::string>& readOnly, const std::string& directory)
{
    std::string problem;
    int listener = -1;
    if (!refuseForeignSystemCalls(problem) || !askBeforeEachNewProcess(listener, problem) ||
        !sendDescriptor(warden, listener) || !refuseForeignAccess(readOnly, directory, problem))
        _exit(4);
    close(listener);
    close(warden);
}

// The load the checker asked for first: what was loaded and what it exports, said on the
// channel that came with the request; then the process ends, as the serving code ends a process
// that finished.
[[noreturn]] void loadForTheChecker(const LibraryProcess::Load& load, const std::string& directory,
                                    const int (&received)[3], double timeLimit, int warden,
                                    const std::vector<std::string>& readOnly)
{
    fence(warden, readOnly, directory);
    loadAndReport(load, directory, prepareToLoad(received[0], received[1], timeLimit));
    _exit(0);
}

// A routine's process: the library loaded again, quietly (what its start-up code says was
// said at the first load), then the request served as in a library's process.
[[noreturn]] void loadAndServe(const LibraryProcess::Load& load, const LibraryProcess::Serve& serve,
                               const std::string& directory, std::string_view request, const int (&received)[3],
                               double timeLimit, int warden, const std::vector<std::string>& readOnly)
{
    fence(warden, readOnly, directory);
    const int channel = prepareToLoad(received[0], open("/dev/null", O_WRONLY | O_CLOEXEC), timeLimit);
    const int discard = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (discard < 0)
        _exit(4);
    void* library = nullptr;
    {
        const ReportChannel quiet(discard);
        library = load(quiet);
    }
    close(discard);
    std::fflush(nullptr);
    if (!library) {
        ReportChannel(channel).send(reports::LoadFailed{"the loader refused it this time"});
        _exit(3);
    }
    if (chdir(directory.c_str()) != 0)
        _exit(4);
    const int channels[3] = {channel, received[1], received[2]};
    runRoutine(serve, library, request, channels, getppid());
}

// What the warden tells of a process it started: its start, with a descriptor that names it,
// and its end, as the warden saw it end. What it left ends before the next request.
// Why the warden ended every process of the sandbox while a routine ran.
enum EndedAll : uint32_t { NotEnded = 0, TooManyProcesses = 1, TooMuchMemory = 2 };

// The memory the processes of the sandbox hold in the machine's memory, all together, this one
// (process 1) left out.
uint64_t memoryHeldInSandbox()
{
    static const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    uint64_t held = 0;
    if (DIR* processes = opendir("/proc")) {
        while (const dirent* entry = readdir(processes)) {
            if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])) || std::strcmp(entry->d_name, "1") == 0)
                continue;
            const std::string path = std::string("/proc/") + entry->d_name + "/statm";
            const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (file < 0)
                continue;
            char text[128] = {};
            const ssize_t got = read(file, text, sizeof text - 1);
            close(file);
            unsigned long long size = 0, resident = 0;
            if (got > 0 && std::sscanf(text, "%llu %llu", &size, &resident) == 2)
                held += resident * page;
        }
        closedir(processes);
    }
    return held;
}

// The processes of the sandbox, as its own /proc lists them.
unsigned processesInSandbox()
{
    unsigned count = 0;
    if (DIR* processes = opendir("/proc")) {
        while (const dirent* entry = readdir(processes))
            count += std::isdigit(static_cast<unsigned char>(entry->d_name[0])) ? 1 : 0;
        closedir(processes);
    }
    return count;
}

// Waits for `child` to end; while it runs, answers each new process that it or what it started
// asks to make (on `listener`): made while the sandbox holds fewer than the bound, else refused,
// and every process of the sandbox but this one ended; and every 20 ms looks at the memory they
// hold, and past its bound ends them all. Says why it ended them, when it did.
//
// A process let go on is counted once it is there. Until then the next question from another
// process waits (a few milliseconds at most) so that processes asking at once are not all let
// through on one count; the same process asking again has made its last one already.
EndedAll waitBounded(pid_t child, int handle, int listener, int& status)
{
    EndedAll ended = NotEnded;
    std::optional<NewProcessQuestion> lastLetGo;
    unsigned countedBefore = 0;
    const auto madeOrGone = [&] {
        return processesInSandbox() > countedBefore || kill(lastLetGo->asker, 0) != 0;
    };
    if (handle >= 0)
        for (;;) {
            pollfd watched[2] = {{handle, POLLIN, 0}, {listener, POLLIN, 0}};
            const int ready = poll(watched, 2, 20);
            if (ready < 0 && errno != EINTR)
                break;
            if (watched[0].revents != 0)
                break;
            if (ready == 0 && memoryHeldInSandbox() > sandboxMemoryBound) {
                kill(-1, SIGKILL);
                ended = TooMuchMemory;
                break;
            }
            if ((watched[1].revents & POLLIN) != 0) {
                const std::optional<NewProcessQuestion> question = nextNewProcessQuestion(listener);
                if (!question)
                    continue;
                if (lastLetGo && lastLetGo->asker != question->asker)
                    for (int looked = 0; looked < 50 && !madeOrGone(); ++looked)
                        usleep(100);
                countedBefore = processesInSandbox();
                const bool allowed = countedBefore < sandboxProcessBound;
                answerNewProcess(listener, *question, allowed);
                if (!allowed) {
                    kill(-1, SIGKILL);
                    ended = TooManyProcesses;
                    break;
                }
                lastLetGo = question;
            } else if (watched[1].revents != 0) {
                listener = -1; // no process asks any more; a negative descriptor is not polled
            }
        }
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return ended;
}

void watch(int control, pid_t child, int listener)
{
    if (child < 0) {
        tell(control, {0, 0, 0, 0, 0});
        return;
    }
    setpgid(child, child); // also here, so that the group exists whichever runs first
    const int handle = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    tell(control, {child, 0, 0, 0, 0}, handle);
    int status = 0;
    const EndedAll endedAll = waitBounded(child, handle, listener, status);
    if (handle >= 0)
        close(handle);
    tell(control, {child, status, 1, countLeftovers(child), endedAll});
}

} // namespace

void serveAsWarden(const LibraryProcess::Load& load, const LibraryProcess::Serve& serve, const std::string& directory,
                   double timeLimit, int control, const std::vector<std::string>& readOnly)
{
    // Only as the first process of a namespace of its own: there, and only there, what it ends
    // between requests (every other process it can see) is the sandbox's.
    if (getpid() != 1)
        _exit(2);
    // No process of the sandbox may read this one's memory or descriptors, nor trace it.
    prctl(PR_SET_DUMPABLE, 0);
    fcntl(control, F_SETFD, FD_CLOEXEC);
    if (const int nothing = open("/dev/null", O_RDWR); nothing >= 0) {
        for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream)
            dup2(nothing, stream);
        if (nothing > STDERR_FILENO)
            close(nothing);
    }
    setenv("GFORTRAN_UNBUFFERED_PRECONNECTED", "y", 1);
    setenv("GFORTRAN_ERROR_BACKTRACE", "0", 1);
    for (bool first = true;; first = false) {
        char request[requestRoom];
        int channels[3] = {-1, -1, -1};
        const ssize_t length = receiveRequest(control, request, channels);
        // The checker is done, or gone: the warden's end ends the sandbox and all in it.
        if (length <= 0 || channels[0] < 0 || channels[1] < 0)
            _exit(0);
        // Every other process of the sandbox: what the last routine left, in its group or not.
        kill(-1, SIGKILL);
        endLeftovers();
        // The child hands over the descriptor that answers its new processes' questions.
        int questions[2] = {-1, -1};
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, questions) != 0)
            _exit(0);
        const pid_t child = fork();
        if (child == 0) {
            close(control);
            close(questions[0]);
            setpgid(0, 0);
            if (first)
                loadForTheChecker(load, directory, channels, timeLimit, questions[1], readOnly);
            loadAndServe(load, serve, directory, std::string_view(request, static_cast<std::size_t>(length)),
                         channels, timeLimit, questions[1], readOnly);
        }
        for (const int channel : channels)
            if (channel >= 0)
                close(channel);
        close(questions[1]);
        const int listener = child > 0 ? receiveDescriptor(questions[0]) : -1;
        close(questions[0]);
        watch(control, child, listener);
        if (listener >= 0)
            close(listener);
    }
}

namespace {

// The time a child has, from now on: processor time up to the time limit, and the clock's
// time up to the backstop.
class TimeLimits {
public:
    // `handle`, when there is one, names the child alone and says when it has ended.
    TimeLimits(pid_t child, double timeLimit, int handle = -1)
        : handle_(handle), backstop_(clockBackstop(timeLimit)),
          end_(std::chrono::steady_clock::now() +
               std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(backstop_))),
          // Just under the system's own limit, so that the checker, not SIGXCPU, ends the call.
          processorLimit_(std::min(timeLimit, processorTimeLimit(timeLimit) - 0.05))
    {
        measured_ = clock_getcpuclockid(child, &clock_) == 0;
        start_ = processorTime();
    }

    // The processor time the child has used since these limits were set, in seconds.
    double processorSeconds() const { return processorTime() - start_; }
    bool processorTimeUsedUp() const { return measured_ && processorSeconds() >= processorLimit_; }
    bool backstopPassed() const { return millisecondsToBackstop() <= 0; }
    // Whether the child has ended: its handle says so, or without one, its clock is gone once
    // it has been waited for.
    bool childGone() const
    {
        if (handle_ >= 0) {
            pollfd ended{handle_, POLLIN, 0};
            return poll(&ended, 1, 0) > 0;
        }
        timespec now{};
        return measured_ && clock_gettime(clock_, &now) != 0;
    }
    double backstopSeconds() const { return backstop_; }

    // How long to wait before looking again: no sooner than the child, running on every
    // processor, could use up its time, and no later than the backstop.
    int nextLookMilliseconds() const
    {
        long wait = millisecondsToBackstop();
        if (measured_) {
            static const long processors = std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
            const double left = processorLimit_ - processorSeconds();
            wait = std::min(wait, std::max(5L, static_cast<long>(left * 1000 / static_cast<double>(processors)) + 1));
        }
        return static_cast<int>(std::max(0L, wait));
    }

private:
    long millisecondsToBackstop() const
    {
        return static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now()).count());
    }
    // The child's processor time, all its threads together; what was last seen once it has gone.
    double processorTime() const
    {
        timespec now{};
        if (measured_ && clock_gettime(clock_, &now) == 0)
            last_ = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
        return last_;
    }

    int handle_;
    double backstop_;
    std::chrono::steady_clock::time_point end_;
    double processorLimit_;
    clockid_t clock_{};
    bool measured_ = false;
    double start_ = 0;
    mutable double last_ = 0;
};

// Takes the whole messages at the front of `received`, up to the end of a part (a Finished
// message); the parts of a long text are joined. What follows stays for the next part.
bool takeMessages(std::vector<char>& received, pid_t child, ChildOutcome& outcome, std::vector<pid_t>& others)
{
    bool finished = false;
    std::size_t at = 0;
    for (; !finished && at + sizeof(Message) <= received.size(); at += sizeof(Message)) {
        Message message;
        std::memcpy(&message, received.data() + at, sizeof message);
        const std::string_view bytes(message.bytes, std::min<std::size_t>(message.length, sizeof message.bytes));
        // A process the routine started (a fork, daemon()) writes through the same channel;
        // what it says is not the check's.
        if (message.sender != child) {
            outcome.otherSender = true;
            others.push_back(message.sender);
            continue;
        }
        // The parts of one report's bytes follow each other; a part of another kind ends the
        // one before it, which is lost.
        if (outcome.unfinished && outcome.unfinished->kind != message.kind)
            outcome.unfinishedBytes.clear();
        outcome.unfinishedBytes += bytes;
        outcome.unfinished = message;
        if (message.continues)
            continue;
        std::optional<Report> report = decode(message.kind, outcome.unfinishedBytes);
        outcome.unfinished.reset();
        outcome.unfinishedBytes.clear();
        if (!report)
            continue;
        if (const auto* ended = std::get_if<reports::Finished>(&*report)) {
            finished = true;
            outcome.goesOn = ended->partsFollow;
            outcome.nextPart = ended->next;
        }
        outcome.messages.push_back(std::move(*report));
    }
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(at));
    return finished;
}

// A pipe for what a child prints: the checker's end never waits; the child's waits when the
// pipe is full, as a terminal makes a program wait.
bool outputPipe(int (&ends)[2])
{
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    return true;
}

void closeBoth(const int (&ends)[2])
{
    close(ends[0]);
    close(ends[1]);
}

// One read of what the child printed, when there is something to read; false at the end of
// the pipe, when every process that could write into it has closed it.
bool readOutput(int output, PrintedOutput& printed)
{
    char buffer[4096];
    ssize_t count;
    while ((count = read(output, buffer, sizeof buffer)) < 0 && errno == EINTR) {}
    if (count > 0)
        printed.add(std::string_view(buffer, static_cast<std::size_t>(count)));
    return count != 0;
}

// What waits in `output` now, without waiting for more; a child that goes on printing fast
// keeps the checker here for at most a few megabytes.
void drainOutput(int output, PrintedOutput& printed)
{
    if (output < 0)
        return;
    for (int reads = 0; reads < 1024; ++reads) {
        int waiting = 0;
        if (ioctl(output, FIONREAD, &waiting) != 0 || waiting <= 0 || !readOutput(output, printed))
            return;
    }
}

// Takes the messages from `reports` as they come, until the child has finished a part, has
// closed its end, or has run out of time; whether it finished. What it prints meanwhile is
// read from `output` into `printed`, so that it never waits on a full pipe.
bool collect(int reports, int output, PrintedOutput& printed, pid_t child, const TimeLimits& limits,
             std::vector<char>& received, ChildOutcome& outcome, std::vector<pid_t>& others)
{
    bool finished = takeMessages(received, child, outcome, others);
    while (!finished) {
        if (limits.processorTimeUsedUp()) {
            outcome.timedOut = true;
            break;
        }
        if (limits.backstopPassed()) {
            outcome.stalled = true;
            outcome.clockSeconds = limits.backstopSeconds();
            break;
        }
        pollfd wait[2] = {{reports, POLLIN, 0}, {output, POLLIN, 0}};
        const int ready = poll(wait, output >= 0 ? 2 : 1, limits.nextLookMilliseconds());
        if (interruptedBy)
            break;
        // Nothing came: a child that has ended is not waited for, though a process it
        // started may hold its end of the pipe; otherwise the limits are looked at again.
        if (ready == 0 && limits.childGone())
            break;
        if (ready == 0 || (ready < 0 && errno == EINTR))
            continue;
        if (ready < 0)
            break;
        if (output >= 0 && wait[1].revents != 0 && !readOutput(output, printed))
            output = -1; // nothing more can come
        if (wait[0].revents == 0)
            continue;
        char buffer[4096];
        const ssize_t count = read(reports, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break; // the child has ended, or closed its end of the pipe
        received.insert(received.end(), buffer, buffer + count);
        finished = takeMessages(received, child, outcome, others);
    }
    outcome.processorSeconds = limits.processorSeconds();
    return finished;
}

// News from the library's process within `milliseconds`; false when none came, and then
// `gone` says whether the process has closed its end. A descriptor that came with it goes to
// `handle`, when asked for, and is closed otherwise.
bool receiveNews(int control, long milliseconds, ProcessNews& news, bool& gone, int* handle = nullptr)
{
    gone = false;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
        pollfd wait{control, POLLIN, 0};
        const int ready = poll(&wait, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (ready < 0 && errno == EINTR && !interruptedBy)
            continue;
        if (ready <= 0)
            return false;
        int received = -1;
        const ssize_t length = receiveWithDescriptor(control, &news, sizeof news, received);
        if (received >= 0) {
            if (handle && *handle < 0)
                *handle = received;
            else
                close(received);
        }
        gone = length != static_cast<ssize_t>(sizeof news);
        return !gone;
    }
}

// How long a process that was sent SIGKILL may take to be reported ended.
constexpr long endingMilliseconds = 2000;

// The process a descriptor names, by its number outside the sandbox; -1 when it has none.
pid_t processOf(int handle)
{
    const std::string path = "/proc/self/fdinfo/" + std::to_string(handle);
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return -1;
    char text[1024];
    const ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    if (length <= 0)
        return -1;
    text[length] = '\0';
    const char* at = strstr(text, "\nPid:");
    return at ? static_cast<pid_t>(std::strtol(at + 5, nullptr, 10)) : -1;
}

bool exitedCleanly(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A process that said it finished but did not end as the serving code ends it (exit status 0
// just after): the end is the one its parent saw, and the word that it finished is not taken.
void distrustFinished(ChildOutcome& outcome)
{
    std::erase_if(outcome.messages, [](const Report& report) { return std::holds_alternative<reports::Finished>(report); });
}

void endOthers(const std::vector<pid_t>& others)
{
    for (const pid_t other : others)
        if (other > 0)
            kill(other, SIGKILL);
}

} // namespace

void PrintedOutput::keep(std::string_view bytes)
{
    current_.text.append(bytes.substr(0, printedRoom - std::min(printedRoom, current_.text.size())));
    current_.bytes += bytes.size();
}

void PrintedOutput::add(std::string_view bytes)
{
    // A mark may arrive in pieces: the bytes that could begin one wait for the next read.
    std::string joined = std::exchange(held_, "");
    joined.append(bytes);
    std::string_view rest = joined;
    for (std::size_t at; (at = rest.find(partEndMark)) != std::string_view::npos;) {
        keep(rest.substr(0, at));
        ended_.push_back(std::exchange(current_, Printed{}));
        rest.remove_prefix(at + partEndMark.size());
    }
    std::size_t held = std::min(rest.size(), partEndMark.size() - 1);
    while (held > 0 && !partEndMark.starts_with(rest.substr(rest.size() - held)))
        --held;
    keep(rest.substr(0, rest.size() - held));
    held_ = std::string(rest.substr(rest.size() - held));
}

Printed PrintedOutput::takePart()
{
    if (!ended_.empty()) {
        Printed first = std::move(ended_.front());
        ended_.erase(ended_.begin());
        return first;
    }
    keep(std::exchange(held_, ""));
    return std::exchange(current_, Printed{});
}

int processorTimeLimit(double timeLimit)
{
    return std::max(1, static_cast<int>(std::ceil(timeLimit)));
}

double clockBackstop(double timeLimit)
{
    return std::max(5.0, 10 * timeLimit);
}

LibraryProcess::LibraryProcess(const Load& load, Serve serve, const std::string& directory, double timeLimit,
                               const std::optional<Warden>& warden)
    : timeLimit_(timeLimit), sandboxed_(warden.has_value())
{
    // Written out before the fork, so the child does not write it again; a reader that has
    // stopped reading is seen here (SIGPIPE).
    std::fflush(nullptr);
    if (warden) {
        // The load is the warden's first process: loaded, it has said so and ended cleanly.
        loading_.status = -1;
        bool endIt = false;
        if (interruptedBy || !startWarden(*warden))
            return;
        if (!startRoutineProcess("load", -1, endIt)) {
            end();
            return;
        }
        loading_ = takePart(true);
        const bool loaded = exitedCleanly(loading_.status) &&
            std::any_of(loading_.messages.begin(), loading_.messages.end(), [](const Report& report) {
                                const auto* finished = std::get_if<reports::Finished>(&report);
                                return finished && finished->partsFollow;
                            });
        if (!loaded || interruptedBy)
            end();
        return;
    }
    int ends[2];
    int output[2];
    int sockets[2];
    if (interruptedBy || pipe2(ends, O_CLOEXEC) != 0) {
        loading_.status = -1;
        return;
    }
    if (!outputPipe(output)) {
        closeBoth(ends);
        loading_.status = -1;
        return;
    }
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sockets) != 0) {
        closeBoth(ends);
        closeBoth(output);
        loading_.status = -1;
        return;
    }
    const pid_t checker = getpid();
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        close(output[0]);
        close(sockets[0]);
        runLibraryProcess(load, serve, directory, ends[1], output[1], sockets[1], checker, timeLimit);
    }
    close(ends[1]);
    close(output[1]);
    close(sockets[1]);
    if (child < 0) {
        close(ends[0]);
        close(output[0]);
        close(sockets[0]);
        loading_.status = -1;
        return;
    }
    setpgid(child, child); // also here, so that the group exists whichever runs first
    process_ = child;
    control_ = sockets[0];

    const TimeLimits limits(child, timeLimit);
    std::vector<char> received;
    std::vector<pid_t> others;
    PrintedOutput printed;
    const bool finished = collect(ends[0], output[0], printed, child, limits, received, loading_, others);
    close(ends[0]);
    endOthers(others);
    if (finished && loading_.goesOn && !interruptedBy) {
        drainOutput(output[0], printed);
        close(output[0]);
        loading_.printed = printed.takePart();
        return;
    }

    // Loading did not finish, or the library did not load: the process may still be
    // running, and gets the rest of its time to end.
    bool ended = false;
    if (!loading_.timedOut && !loading_.stalled && !interruptedBy) {
        while (!ended) {
            const pid_t waited = waitpid(child, &loading_.status, WNOHANG);
            ended = waited == child || (waited < 0 && errno != EINTR);
            if (!ended && (limits.processorTimeUsedUp() || limits.backstopPassed() || interruptedBy)) {
                loading_.timedOut = limits.processorTimeUsedUp();
                loading_.stalled = !loading_.timedOut;
                loading_.clockSeconds = loading_.stalled ? limits.backstopSeconds() : 0;
                break;
            }
            if (!ended)
                usleep(1000);
        }
    }
    kill(-child, SIGKILL);
    if (!ended)
        while (waitpid(child, &loading_.status, 0) < 0 && errno == EINTR) {}
    drainOutput(output[0], printed);
    close(output[0]);
    loading_.printed = printed.takePart();
    loading_.channelClosed = !finished && WIFEXITED(loading_.status) && WEXITSTATUS(loading_.status) == channelClosedStatus;
    close(control_);
    control_ = -1;
    process_ = -1;
}

LibraryProcess::~LibraryProcess()
{
    end();
}

void LibraryProcess::stop()
{
    if (routine_ > 0)
        stopRoutineProcess();
    // Told by the socket's end, the process ends what the last routine left, and then itself.
    if (process_ > 0)
        shutdown(control_, SHUT_WR);
}

void LibraryProcess::end()
{
    if (routine_ > 0)
        stopRoutineProcess();
    if (process_ <= 0)
        return;
    // Told by the socket's end, it ends what the last routine left and then itself; given a
    // moment for that, it is ended with its group.
    close(control_);
    control_ = -1;
    bool ended = false;
    // A descriptor that becomes readable when the process ends (the library's header for it
    // does not declare it for C++).
    if (const int process = static_cast<int>(syscall(SYS_pidfd_open, process_, 0)); process >= 0) {
        pollfd wait{process, POLLIN, 0};
        while (poll(&wait, 1, static_cast<int>(endingMilliseconds)) < 0 && errno == EINTR) {}
        close(process);
        ended = waitpid(process_, nullptr, WNOHANG) == process_;
    }
    kill(-process_, SIGKILL);
    if (!ended) {
        kill(process_, SIGKILL);
        while (waitpid(process_, nullptr, 0) < 0 && errno == EINTR) {}
    }
    process_ = -1;
}

ChildOutcome LibraryProcess::run(std::string_view request, int arena)
{
    awaitEnd_ = arena >= 0;
    // A request still going on in parts is given up: its process ends before the next.
    if (routine_ > 0)
        stopRoutineProcess();
    ProcessNews ended{};
    if (newsPending_ && !takeEndNews(ended))
        end();
    ChildOutcome outcome;
    outcome.status = -1;
    std::fflush(nullptr);
    if (!serving() || interruptedBy) {
        outcome.libraryProcessEnded = !serving();
        return outcome;
    }
    bool endIt = false;
    if (!startRoutineProcess(request, arena, endIt)) {
        if (endIt)
            end(); // nothing answered: the library's process is gone, or of no use
        outcome.libraryProcessEnded = !serving();
        return outcome;
    }
    return takePart();
}

// Sends `request` with the ends of two new pipes (and the shared storage, when `arena` is one),
// for it; false when none was, and then `endIt` says whether the library's process is of no
// more use.
bool LibraryProcess::startRoutineProcess(std::string_view request, int arena, bool& endIt)
{
    int ends[2];
    int output[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    if (!outputPipe(output)) {
        closeBoth(ends);
        return false;
    }
    const bool sent = sendRequest(control_, request, {ends[1], output[1], arena});
    close(ends[1]);
    close(output[1]);
    ProcessNews started{};
    bool gone = !sent;
    int handle = -1;
    // Sandboxed, the first answer waits for bubblewrap to make the sandbox, which a busy machine
    // slows by the clock: it gets as long as the clock's backstop.
    const long answerMilliseconds = std::max<long>(
        std::lround((sandboxed_ ? clockBackstop(timeLimit_) : timeLimit_) * 1000), endingMilliseconds);
    const bool told = sent && receiveNews(control_, answerMilliseconds, started, gone, &handle);
    sandboxMade_ = sandboxMade_ || (sandboxed_ && told);
    // Sandboxed, the process is known outside only by the descriptor that came with the news;
    // one that has already ended has no number left, nor a clock to read.
    const pid_t clock = sandboxed_ ? (handle >= 0 ? processOf(handle) : -1) : started.pid;
    if (!told || started.pid <= 0 || (sandboxed_ && handle < 0)) {
        close(ends[0]);
        close(output[0]);
        if (handle >= 0)
            close(handle);
        endIt = gone || started.pid > 0 || !sent;
        return false;
    }
    routine_ = started.pid;
    routineClock_ = clock;
    routineHandle_ = handle;
    reports_ = ends[0];
    output_ = output[0];
    printed_ = PrintedOutput{};
    received_.clear();
    others_.clear();
    return true;
}

bool LibraryProcess::startWarden(const Warden& warden)
{
    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sockets) != 0)
        return false;
    SandboxLayout layout{warden.program, warden.arguments, warden.readOnly, warden.workFolder,
                         warden.workFolderSize, true, warden.startIn};
    // The socket, on descriptor 3, is all the warden gets of the checker's descriptors.
    constexpr int wardenControl = 3;
    layout.arguments.push_back(std::to_string(wardenControl));
    // And what the sandbox shows read-only, which the warden's processes may read and no more.
    layout.arguments.insert(layout.arguments.end(), warden.readOnly.begin(), warden.readOnly.end());
    std::vector<std::string> words = sandboxCommand(layout);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t checker = getpid();
    const pid_t child = fork();
    if (child == 0) {
        close(sockets[0]);
        followParent(checker);
        for (int signal : interruptingSignals)
            std::signal(signal, SIG_DFL);
        if (const int nothing = open("/dev/null", O_RDWR); nothing >= 0) {
            for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream)
                dup2(nothing, stream);
            if (nothing > STDERR_FILENO && nothing != sockets[1])
                close(nothing);
        }
        // Whatever else the checker was started with (a descriptor its own starter left open)
        // stays outside.
        if (sockets[1] != wardenControl) {
            dup2(sockets[1], wardenControl);
            close(sockets[1]);
        }
        fcntl(wardenControl, F_SETFD, 0);
        close_range(wardenControl + 1, ~0U, 0);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(sockets[1]);
    if (child < 0) {
        close(sockets[0]);
        return false;
    }
    setpgid(child, child); // also here, so that the group exists whichever runs first
    process_ = child;
    control_ = sockets[0];
    return true;
}

ChildOutcome LibraryProcess::next()
{
    if (routine_ <= 0) {
        ChildOutcome none;
        none.status = -1;
        return none;
    }
    return takePart();
}

ChildOutcome LibraryProcess::takePart(bool lastPart)
{
    ChildOutcome outcome;
    const TimeLimits limits(routineClock_, timeLimit_, routineHandle_);
    bool finished = collect(reports_, output_, printed_, routine_, limits, received_, outcome, others_);
    // With shared storage, what the process sends up to the end of its pipe is taken, and how it
    // ended: a Finished message it wrote early, or for another, ends nothing.
    while (finished && awaitEnd_ && !interruptedBy)
        finished = collect(reports_, output_, printed_, routine_, limits, received_, outcome, others_);
    // What the part printed lies in the pipe before its end is told: up to the mark after it.
    drainOutput(output_, printed_);
    outcome.printed = printed_.takePart();
    if (finished && outcome.goesOn && !lastPart && !interruptedBy)
        return outcome;
    outcome.goesOn = false;

    // How the process ended is what its parent saw it end with, within the rest of its time: one
    // that finished ends at once with exit status 0; one that closed the pipe without
    // finishing may still be running.
    ProcessNews ended{};
    bool hasEnded = false;
    bool gone = false;
    while (!outcome.timedOut && !outcome.stalled && !interruptedBy) {
        outcome.timedOut = limits.processorTimeUsedUp();
        outcome.stalled = !outcome.timedOut && limits.backstopPassed();
        outcome.clockSeconds = outcome.stalled ? limits.backstopSeconds() : 0;
        if (outcome.timedOut || outcome.stalled)
            break;
        hasEnded = receiveNews(control_, limits.nextLookMilliseconds(), ended, gone);
        if (hasEnded || gone)
            break;
    }
    outcome.processorSeconds = limits.processorSeconds();
    // Ended or not, what it printed before is in the pipe.
    drainOutput(output_, printed_);
    Printed more = printed_.takePart();
    outcome.printed.text += more.text.substr(0, printedRoom - std::min(printedRoom, outcome.printed.text.size()));
    outcome.printed.bytes += more.bytes;
    if (finished)
        takeTheRest(outcome);
    stopRoutineProcess();
    if (hasEnded)
        newsPending_ = false;
    else if (!gone)
        hasEnded = takeEndNews(ended);
    if (!hasEnded) {
        end();
        outcome.libraryProcessEnded = true;
        outcome.status = -1;
        return outcome;
    }
    outcome.status = ended.status;
    outcome.leftRunning = ended.leftRunning;
    outcome.tooManyProcesses = ended.endedAll == TooManyProcesses;
    outcome.tooMuchMemory = ended.endedAll == TooMuchMemory;
    outcome.channelClosed = WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == channelClosedStatus;
    if (finished && !exitedCleanly(outcome.status))
        distrustFinished(outcome);
    return outcome;
}

// What came after the message that said the process finished: nothing, from a process that
// did finish; the rest of a story, from one that said so and went on.
void LibraryProcess::takeTheRest(ChildOutcome& outcome)
{
    for (int reads = 0; reads < 64; ++reads) {
        pollfd wait{reports_, POLLIN, 0};
        if (poll(&wait, 1, 0) <= 0)
            break;
        char buffer[4096];
        const ssize_t count = read(reports_, buffer, sizeof buffer);
        if (count <= 0)
            break;
        received_.insert(received_.end(), buffer, buffer + count);
    }
    for (std::size_t before = 0; received_.size() >= sizeof(Message) && received_.size() != before;) {
        before = received_.size();
        takeMessages(received_, routine_, outcome, others_);
    }
    outcome.goesOn = false;
}

// The news that the routine's process last stopped has ended; false when none came.
bool LibraryProcess::takeEndNews(ProcessNews& news)
{
    bool gone = false;
    const bool taken = receiveNews(control_, endingMilliseconds, news, gone);
    newsPending_ = false;
    return taken;
}

// Nothing the routine started is left behind: its whole group ends here, and any process
// that wrote into the channel from a group of its own.
void LibraryProcess::stopRoutineProcess()
{
    newsPending_ = true;
    if (sandboxed_) {
        // By the descriptor, which names that process alone; its parent, the warden, ends its
        // group when it has ended, and whatever else is left before the next request.
        syscall(SYS_pidfd_send_signal, routineHandle_, SIGKILL, nullptr, 0);
    } else {
        kill(-routine_, SIGKILL);
        endOthers(others_);
    }
    if (routineHandle_ >= 0)
        close(routineHandle_);
    routineHandle_ = -1;
    routineClock_ = -1;
    close(reports_);
    reports_ = -1;
    close(output_);
    output_ = -1;
    routine_ = -1;
}

int requestArena()
{
    return arenaDescriptor;
}

void finishPart(const ReportChannel& channel, uint32_t next)
{
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    const auto spent = static_cast<rlim_t>(used.ru_utime.tv_sec + used.ru_stime.tv_sec + 1);
    rlimit processor{};
    getrlimit(RLIMIT_CPU, &processor);
    processor.rlim_cur = std::min(spent + processorSeconds, processor.rlim_max);
    setrlimit(RLIMIT_CPU, &processor);
    markPartEnd();
    channel.send(reports::Finished{true, next});
}

void stopOnInterrupt()
{
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a wait for the child ends at once
    for (int signal : interruptingSignals)
        sigaction(signal, &action, nullptr);
}

int interruptingSignal()
{
    return interruptedBy;
}

void openClosedStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream)
        if (fcntl(stream, F_GETFD) < 0 && errno == EBADF) {
            // The lowest free number is the one just found closed.
            const int opened = open("/dev/null", O_RDWR);
            if (opened >= 0 && opened != stream) {
                dup2(opened, stream);
                close(opened);
            }
        }
}
