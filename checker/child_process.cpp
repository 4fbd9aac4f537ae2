#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
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

// Only what is safe in a signal handler: one write, then the end of the process.
void reportFatalSignal(int signal, siginfo_t* info, void* context)
{
    Message message;
    std::memset(&message, 0, sizeof message);
    message.kind = MessageKind::Signal;
    message.number = static_cast<uint32_t>(signal);
    message.flags = static_cast<uint32_t>(signal == SIGSEGV || signal == SIGBUS ? accessOf(context) : Access::Unknown);
    message.mapStart = reinterpret_cast<uintptr_t>(info->si_addr);
    [[maybe_unused]] const ssize_t written = write(reportDescriptor, &message, sizeof message);
    _exit(125);
}

// A routine that overruns its own stack still gets its fault reported, from a stack of its
// own.
void reportFatalSignals(int descriptor)
{
    reportDescriptor = descriptor;
    constexpr std::size_t stackSize = 1 << 16;
    void* stack = mmap(nullptr, stackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (stack != MAP_FAILED) {
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

[[noreturn]] void runChild(const std::function<void(const ReportChannel&)>& work, const std::string& directory,
                           int writeEnd)
{
    // A group of its own, so that whatever the routine starts can be killed with it.
    setpgid(0, 0);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, SIG_DFL);
    if (chdir(directory.c_str()) != 0)
        _exit(4);
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0)
        dup2(nothing, STDIN_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    reportFatalSignals(writeEnd);
    const ReportChannel channel(writeEnd);
    work(channel);
    // What the routine printed reaches the terminal before the child is ended.
    std::fflush(nullptr);
    channel.send(MessageKind::Finished, "");
    _exit(0);
}

} // namespace

ChildOutcome runInChild(const std::function<void(const ReportChannel&)>& work, const std::string& directory,
                        double timeLimit)
{
    ChildOutcome outcome;
    int ends[2];
    if (interruptedBy || pipe2(ends, O_CLOEXEC) != 0) {
        outcome.status = -1;
        return outcome;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        runChild(work, directory, ends[1]);
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
        for (std::size_t at = outcome.messages.size() * sizeof(Message); at + sizeof(Message) <= received.size();
             at += sizeof(Message)) {
            Message message;
            std::memcpy(&message, received.data() + at, sizeof message);
            message.text[sizeof message.text - 1] = '\0';
            outcome.messages.push_back(message);
            finished = finished || message.kind == MessageKind::Finished;
        }
    }
    close(ends[0]);

    // A child that closed the pipe without finishing may still be running: it gets the rest
    // of its time to end.
    if (!finished && !outcome.timedOut && !interruptedBy) {
        while (waitpid(child, &outcome.status, WNOHANG) == 0) {
            if (timeLeft() <= 0 || interruptedBy) {
                outcome.timedOut = true;
                break;
            }
            usleep(1000);
        }
        if (!outcome.timedOut) {
            kill(-child, SIGKILL); // whatever it started
            return outcome;
        }
    }
    // Nothing the routine started is left behind: the child's whole group ends here.
    kill(-child, SIGKILL);
    kill(child, SIGKILL);
    while (waitpid(child, &outcome.status, 0) < 0 && errno == EINTR) {}
    return outcome;
}

void stopOnInterrupt()
{
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a wait for the child ends at once
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int interruptingSignal()
{
    return interruptedBy;
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
        {SIGUSR2, "SIGUSR2"}, {SIGXCPU, "SIGXCPU"}, {SIGXFSZ, "SIGXFSZ"},
    };
    for (const Named& named : names)
        if (named.signal == signal)
            return named.name;
    return "signal " + std::to_string(signal);
}
