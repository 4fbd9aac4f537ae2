// The sandbox a library's code runs in, tried from inside the way a library would try it: a
// table of attempts, each with whether the sandbox lets it through, and a daemon left behind
// by a process whose starter is killed.
#include "sandbox.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Starts `layout` in the sandbox with `keep` left open in it, and gives the process id.
pid_t start(const SandboxLayout& layout, int keep = -1)
{
    const std::vector<std::string> words = sandboxCommand(layout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (keep >= 0)
            fcntl(keep, F_SETFD, 0);
        std::vector<char*> argv;
        for (const std::string& word : words)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

int exitStatusOf(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class Sandbox : public testing::Test {
protected:
    void SetUp() override
    {
        if (const auto why = sandboxUnavailable())
            FAIL() << "no sandbox can be made here: " << *why;
        char pattern[] = "/tmp/sandbox-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base_ = pattern;
        fs::create_directory(base_ / "work");
        fs::create_directory(base_ / "outside");
        std::ofstream(base_ / "outside" / "secret") << "the answers\n";
    }
    void TearDown() override { fs::remove_all(base_); }

    // The probe's exit status: 0 done, 3 refused.
    int attempt(const std::string& action, const std::string& argument = "")
    {
        return exitStatusOf(start(layout({action, argument})));
    }

    // The probe is told the work folder and what the sandbox shows read-only, for its file-access
    // rules.
    SandboxLayout layout(std::vector<std::string> arguments) const
    {
        const std::string work = (base_ / "work").string();
        const std::string shown = fs::path(PROBE).parent_path().string();
        arguments.resize(2);
        arguments.insert(arguments.end(), {work, shown});
        return {PROBE, std::move(arguments), {shown}, work, 0, false, {}};
    }

    fs::path base_;
};

constexpr int done = 0;
constexpr int refused = 3;

TEST_F(Sandbox, LetsThroughOnlyWhatALibraryNeeds)
{
    // A listener of the test's own on the loopback, which must hear from no one.
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string port = std::to_string(ntohs(address.sin_port));
    const std::string self = std::to_string(getpid());
    // What only the kernel's file-access rules refuse, where it has them: the sandbox itself
    // shows it.
    const int landlock = landlockVersion();
    const int filesFenced = landlock >= 1 ? refused : done;
    const int portsFenced = landlock >= 4 ? refused : done;
    const int signalsFenced = landlock >= 6 ? refused : done;

    struct Row {
        const char* what;
        std::string action, argument;
        int expected;
    };
    const Row rows[] = {
        {"a file in its working folder", "write", (base_ / "work" / "square.dat").string(), done},
        {"its own folder, read", "read", PROBE, done},
        {"a file beside it, written", "write", fs::path(PROBE).parent_path() / "planted", refused},
        {"a file in a sibling folder, read", "read", (base_ / "outside" / "secret").string(), refused},
        {"a file in a sibling folder, written", "write", (base_ / "outside" / "secret").string(), refused},
        {"the system's password hashes", "read", "/etc/shadow", refused},
        {"the user's home", "read", "/root/.bashrc", refused},
        {"a listener on 127.0.0.1", "connect", port, refused},
        {"the process that started it, signalled", "signal", self, refused},
        {"that process's memory", "memory", self, refused},
        {"tracing", "trace", "", refused},
        {"a user namespace of its own", "namespace", "", refused},
        {"a mount namespace of its own", "mount-namespace", "", refused},
        // Writes outside the work folder, which would take memory without bound.
        {"a file in /tmp, written", "write", "/tmp/planted", refused},
        {"a file in /, written", "write", "/planted", refused},
        {"a file in /dev/shm, written", "write", "/dev/shm/planted", refused},
        {"a file in /dev, written", "write", "/dev/planted", refused},
        // What a routine and its runtime use.
        {"/dev/null, written", "write", "/dev/null", done},
        {"/dev/urandom, read", "read", "/dev/urandom", done},
        {"its own status, read", "read", "/proc/self/status", done},
        {"its own memory map, read", "read", "/proc/self/maps", done},
        {"the loader's cache, read", "read", "/etc/ld.so.cache", done},
        {"a system library, read", "read", "/usr/lib/x86_64-linux-gnu/libc.so.6", done},
        {"a folder in its working folder", "folder", (base_ / "work" / "made").string(), done},
        // What the sandbox shows and the rules do not let through.
        {"a device not for routines, read", "read", "/dev/full", filesFenced},
        {"its own name in /proc, written", "write", "/proc/self/comm", filesFenced},
        {"a TCP port, bound", "bind", "8080", portsFenced},
        {"the sandbox's first process, signalled", "signal", "1", signalsFenced},
    };
    for (const Row& row : rows)
        EXPECT_EQ(attempt(row.action, row.argument), row.expected) << row.what;

    EXPECT_EQ(accept(listener, nullptr, nullptr), -1) << "a connection reached the listener";
    close(listener);
    EXPECT_TRUE(fs::exists(base_ / "work" / "square.dat"));
    EXPECT_FALSE(fs::exists(fs::path(PROBE).parent_path() / "planted"));
    std::string secret;
    std::getline(std::ifstream(base_ / "outside" / "secret"), secret);
    EXPECT_EQ(secret, "the answers");
}

// A daemon that left for a session of its own ends when the process that started the
// sandbox is killed with SIGKILL: the last holder of the pipe's writing end is gone, and the
// reading end sees its end.
TEST_F(Sandbox, NothingOutlivesItsStarterKilled)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
    const pid_t starter = fork();
    if (starter == 0) {
        start(layout({"stay", std::to_string(pipeEnds[1])}), pipeEnds[1]);
        close(pipeEnds[1]);
        for (;;)
            pause();
    }
    close(pipeEnds[1]);
    char byte = 0;
    ASSERT_EQ(read(pipeEnds[0], &byte, 1), 1) << "the daemon did not start";
    kill(starter, SIGKILL);
    exitStatusOf(starter);
    // Not a measure of speed: a bound, so that a daemon that stays fails the test instead of
    // hanging it.
    pollfd ready{pipeEnds[0], POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 30000), 1) << "the daemon still runs";
    EXPECT_EQ(read(pipeEnds[0], &byte, 1), 0) << "the daemon still holds its descriptor";
    close(pipeEnds[0]);
}

} // namespace
