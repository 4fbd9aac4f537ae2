#include "child_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

namespace {

int reportDescriptor = -1;

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
    Message message;
    std::memset(&message, 0, sizeof message);
    message.kind = MessageKind::Signal;
    message.sender = static_cast<int32_t>(getpid());
    message.number = static_cast<uint32_t>(signal);
    message.flags = static_cast<uint32_t>(signal == SIGSEGV || signal == SIGBUS ? accessOf(context) : Access::Unknown);
    message.mapStart = reinterpret_cast<uintptr_t>(info->si_addr);
    message.dataStart = peakAddressSpace();
    [[maybe_unused]] const ssize_t written = write(reportDescriptor, &message, sizeof message);
    _exit(125);
}

// A routine that overruns its own stack still gets its fault reported, from a stack of its
// own. That stack lies between pages of its own that no access may touch, so that a routine
// that reaches far past an argument does not land in it unseen.
void reportFatalSignals(int descriptor)
{
    reportDescriptor = descriptor;
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
    struct sigaction action {};
    action.sa_sigaction = reportFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : fatalSignals)
        sigaction(signal, &action, nullptr);
}

void limitChild(double timeLimit)
{
    if constexpr (addressSpaceLimited) {
        const rlimit space{addressSpaceLimit, addressSpaceLimit};
        setrlimit(RLIMIT_AS, &space);
    }
    // At the soft limit SIGXCPU, which names the limit; a second later SIGKILL.
    const auto seconds = static_cast<rlim_t>(processorTimeLimit(timeLimit));
    const rlimit processor{seconds, seconds + 1};
    setrlimit(RLIMIT_CPU, &processor);
    // A routine's crash leaves no core file in the directory the routines run in.
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

[[noreturn]] void runChild(const std::function<void(const ReportChannel&)>& work, const std::string& directory,
                           int writeEnd, pid_t checker, double timeLimit)
{
    // Ended with the checker, however the checker ends; a checker already gone is seen too.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != checker)
        _exit(4);
    // A group of its own, so that whatever the routine starts can be killed with it.
    setpgid(0, 0);
    for (int signal : interruptingSignals)
        std::signal(signal, SIG_DFL);
    if (chdir(directory.c_str()) != 0)
        _exit(4);
    int channel = fcntl(writeEnd, F_DUPFD_CLOEXEC, channelDescriptorFloor);
    if (channel < 0)
        channel = writeEnd; // a limit of open files below the floor
    else
        close(writeEnd);
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0 && nothing != STDIN_FILENO) {
        dup2(nothing, STDIN_FILENO);
        close(nothing);
    }
    dup2(STDERR_FILENO, STDOUT_FILENO);
    limitChild(timeLimit);
    reportFatalSignals(channel);
    const ReportChannel reports(channel);
    work(reports);
    // What the routine printed reaches the terminal before the child is ended.
    std::fflush(nullptr);
    reports.send(MessageKind::Finished, "");
    _exit(0);
}

// Takes the whole messages in `received` from `at` on; the parts of a long text are joined.
void takeMessages(std::vector<char>& received, std::size_t& at, pid_t child, ChildOutcome& outcome,
                  std::vector<pid_t>& others, bool& finished)
{
    for (; at + sizeof(Message) <= received.size(); at += sizeof(Message)) {
        Message message;
        std::memcpy(&message, received.data() + at, sizeof message);
        message.text[sizeof message.text - 1] = '\0';
        // A process the routine started (a fork, daemon()) writes through the same channel;
        // what it says is not the check's.
        if (message.sender != child) {
            outcome.otherSender = true;
            others.push_back(message.sender);
            continue;
        }
        const bool continuing = !outcome.messages.empty() &&
            (outcome.messages.back().message.flags & textContinues) && outcome.messages.back().message.kind == message.kind;
        if (continuing) {
            outcome.messages.back().text += message.text;
            outcome.messages.back().message.flags = message.flags;
        } else {
            outcome.messages.push_back({message, message.text});
        }
        finished = finished || message.kind == MessageKind::Finished;
    }
}

} // namespace

int processorTimeLimit(double timeLimit)
{
    return std::max(1, static_cast<int>(std::ceil(timeLimit)));
}

ChildOutcome runInChild(const std::function<void(const ReportChannel&)>& work, const std::string& directory,
                        double timeLimit)
{
    ChildOutcome outcome;
    // Written out before the fork, so the child does not write it again; a reader that has
    // stopped reading is seen here (SIGPIPE).
    std::fflush(nullptr);
    int ends[2];
    if (interruptedBy || pipe2(ends, O_CLOEXEC) != 0) {
        outcome.status = -1;
        return outcome;
    }
    const pid_t checker = getpid();
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        runChild(work, directory, ends[1], checker, timeLimit);
    }
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        outcome.status = -1;
        return outcome;
    }
    setpgid(child, child); // also here, so that the group exists whichever runs first

    // Messages are taken as they come, until the child has finished, has ended, or has
    // run out of time.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeLimit);
    const auto timeLeft = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    };
    std::vector<char> received;
    std::size_t taken = 0;
    std::vector<pid_t> others;
    bool finished = false;
    while (!finished) {
        if (timeLeft() <= 0) {
            outcome.timedOut = true;
            break;
        }
        pollfd wait{ends[0], POLLIN, 0};
        const int ready = poll(&wait, 1, static_cast<int>(timeLeft()));
        if (interruptedBy)
            break;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            outcome.timedOut = ready == 0;
            break;
        }
        char buffer[4096];
        const ssize_t count = read(ends[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break; // the child has ended, or closed its end of the pipe
        received.insert(received.end(), buffer, buffer + count);
        takeMessages(received, taken, child, outcome, others, finished);
    }
    close(ends[0]);

    // A child that closed the pipe without finishing may still be running: it gets the rest
    // of its time to end.
    bool ended = false;
    if (!finished && !outcome.timedOut && !interruptedBy) {
        while (!ended) {
            const pid_t waited = waitpid(child, &outcome.status, WNOHANG);
            ended = waited == child || (waited < 0 && errno != EINTR);
            if (!ended && (timeLeft() <= 0 || interruptedBy)) {
                outcome.timedOut = true;
                break;
            }
            if (!ended)
                usleep(1000);
        }
    }
    // Nothing the routine started is left behind: the child's whole group ends here, and any
    // process that wrote into the channel from a group of its own.
    kill(-child, SIGKILL);
    for (const pid_t other : others)
        if (other > 0)
            kill(other, SIGKILL);
    if (!ended) {
        kill(child, SIGKILL);
        while (waitpid(child, &outcome.status, 0) < 0 && errno == EINTR) {}
    }
    outcome.channelClosed = !finished && WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == channelClosedStatus;
    return outcome;
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

std::string signalName(int signal)
{
    struct Named {
        int signal;
        const char* name;
    };
    static constexpr Named names[] = {
        {SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"},   {SIGFPE, "SIGFPE"},   {SIGILL, "SIGILL"},   {SIGABRT, "SIGABRT"},
        {SIGTRAP, "SIGTRAP"}, {SIGSYS, "SIGSYS"},   {SIGKILL, "SIGKILL"}, {SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"},
        {SIGPIPE, "SIGPIPE"}, {SIGALRM, "SIGALRM"}, {SIGHUP, "SIGHUP"},   {SIGQUIT, "SIGQUIT"}, {SIGUSR1, "SIGUSR1"},
        {SIGUSR2, "SIGUSR2"}, {SIGXCPU, "SIGXCPU"}, {SIGXFSZ, "SIGXFSZ"}, {SIGVTALRM, "SIGVTALRM"},
        {SIGPROF, "SIGPROF"}, {SIGCHLD, "SIGCHLD"},
    };
    for (const Named& named : names)
        if (named.signal == signal)
            return named.name;
    return "signal " + std::to_string(signal);
}
