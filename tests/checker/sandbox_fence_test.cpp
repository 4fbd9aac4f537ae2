// routine-check on libraries that try to reach past the sandbox, each one way: a student's
// folder with the library and a file that names what it aims at (a classmate's secret and
// library beside it, a file outside, a listener on the loopback, the checker's own process id,
// a name for a daemon). Each row gives the lines the check must print; whatever the library
// tried, the secret appears nowhere, nothing is written outside, no connection arrives, the
// classmate's library is unchanged, the checker finishes, and no daemon outlives the check.
#include "checker_run.h"
#include "sandbox.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The processes of this machine named `name` (as /proc/PID/comm gives it).
std::vector<pid_t> processesNamed(const std::string& name)
{
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string comm = fileBytes(entry.path() / "comm");
        if (!comm.empty() && comm.back() == '\n')
            comm.pop_back();
        if (comm == name)
            found.push_back(std::stoi(pid));
    }
    return found;
}

class Fence : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/fence-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base_ = pattern;
        fs::create_directories(base_ / "student");
        fs::create_directories(base_ / "classmate");
        std::ofstream(base_ / "classmate" / "secret.txt") << secret_ << "\n";
        fs::copy_file(fs::path(SABOTAGING_LIBRARIES) / "libreads_secrets.so", sibling());
        siblingBytes_ = fileBytes(sibling());
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ASSERT_GE(listener_, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(listen(listener_, 4), 0);
        socklen_t length = sizeof address;
        ASSERT_EQ(getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length), 0);
        port_ = ntohs(address.sin_port);
    }

    void TearDown() override
    {
        if (listener_ >= 0)
            close(listener_);
        std::error_code ignored;
        fs::remove_all(base_, ignored);
    }

    fs::path sibling() const { return base_ / "classmate" / "libPettrix.so"; }
    fs::path outside() const { return base_ / "outside.txt"; }

    // The checker started on `library` (copied into the student's folder) with its process id in
    // the file of aims, which it writes before it becomes the checker. `whileRunning` is called
    // once it has started, with its process id.
    CheckerRun check(const fs::path& library, const std::function<void(pid_t)>& whileRunning = {},
                   const char* contract = "Pettrix")
    {
        const fs::path copy = base_ / "student" / library.filename();
        fs::copy_file(library, copy, fs::copy_options::overwrite_existing);
        const std::string output = (base_ / "output").string();
        const std::string errors = (base_ / "errors").string();
        const std::string aims = (base_ / "student" / "aims.txt").string();
        const pid_t checker = fork();
        if (checker == 0) {
            std::ofstream(aims) << "secret=" << (base_ / "classmate" / "secret.txt").string() << "\n"
                                << "outside=" << outside().string() << "\n"
                                << "port=" << port_ << "\n"
                                << "sibling=" << sibling().string() << "\n"
                                << "checker=" << getpid() << "\n"
                                << "daemon=" << daemon_ << "\n"
                                << "linger=" << (linger_ ? 1 : 0) << "\n";
            const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int error = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(error, 2);
            // Where no sandbox can be made: in namespaces whose user may make no more.
            if (noSandbox_)
                execl(CHECKER, CHECKER, "--no-sandbox", contract, copy.c_str(), static_cast<char*>(nullptr));
            if (withoutNamespaces_)
                execl("/usr/bin/bwrap", "bwrap", "--unshare-user", "--disable-userns", "--dev-bind", "/", "/", "--",
                      CHECKER, contract, copy.c_str(), static_cast<char*>(nullptr));
            execl(CHECKER, CHECKER, contract, copy.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (whileRunning)
            whileRunning(checker);
        CheckerRun run;
        int status = 0;
        const auto start = std::chrono::steady_clock::now();
        pid_t waited = 0;
        while ((waited = waitpid(checker, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(60))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (waited == 0) {
            // Stopped, or hung: the check did not finish; this test ends what it started.
            kill(checker, SIGKILL);
            waitpid(checker, &status, 0);
        } else if (WIFEXITED(status)) {
            run.status = WEXITSTATUS(status);
        }
        run.output = fileBytes(output);
        run.errors = fileBytes(errors);
        return run;
    }

    // Whatever the library tried, nothing of it reached past the sandbox.
    void expectFenced(const CheckerRun& run)
    {
        EXPECT_EQ(run.output.find(secret_), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("root:"), std::string::npos) << run.output; // a line of /etc/shadow
        EXPECT_FALSE(fs::exists(outside()));
        EXPECT_EQ(fileBytes(sibling()), siblingBytes_) << "the classmate's library changed";
        const int arrived = accept(listener_, nullptr, nullptr);
        EXPECT_LT(arrived, 0) << "a connection arrived on the loopback";
        if (arrived >= 0)
            close(arrived);
        // Whatever is left is this test's to end.
        const std::vector<pid_t> left = processesNamed(daemon_);
        EXPECT_TRUE(left.empty()) << "a daemon outlived the check";
        for (const pid_t pid : left)
            kill(pid, SIGKILL);
    }

    fs::path base_;
    const std::string secret_ = "fence-secret-" + std::to_string(getpid());
    const std::string daemon_ = "fence" + std::to_string(getpid());
    std::string siblingBytes_;
    int listener_ = -1;
    int port_ = 0;
    bool linger_ = false; // the daemon's routine waits before it returns
    bool withoutNamespaces_ = false;
    bool noSandbox_ = false; // started with --no-sandbox
};

struct FenceRow {
    const char* file; // in the folder of sabotaging libraries
    const char* contract;
    std::vector<std::string> lines;
    int status;
    // Where the kernel's Landlock is older than this version, or missing, the sandbox refuses
    // in other words: these lines instead.
    int landlockSince = 0;
    std::vector<std::string> linesWithoutLandlock = {};
};

const FenceRow fenceRows[] = {
    // The classmate's folder and /etc/shadow are not there at all.
    {"reads_secrets", "Pettrix",
     {"sumdll ok", "sumdll printed: \"No such file or directory\""},
     0},
    // It writes into the sandbox's own memory, which goes with it.
    {"writes_outside", "Pettrix", {"sumdll ok", "summary: 1 routine, 1 ok, 0 with a fault"}, 0},
    // Landlock refuses every TCP connection; without it, the sandbox has a loopback of its own,
    // where nothing listens.
    {"connects_out", "Pettrix", {"sumdll ok", "sumdll printed: \"Permission denied\""}, 0, 4,
     {"sumdll ok", "sumdll printed: \"Connection refused\""}},
    {"spoils_sibling", "Pettrix", {"sumdll ok", "sumdll printed: \"No such file or directory\""}, 0},
    // The checker's process id names no process in the sandbox.
    {"signals_checker", "Pettrix", {"sumdll ok", "sumdll printed: \"No such process\""}, 0},
    // No mount is made in the sandbox.
    {"mounts_classmate", "Pettrix", {"sumdll ok", "sumdll printed: \"Operation not permitted\""}, 0},
    // The checker is not there to open; the warden's memory is refused.
    {"writes_checker_memory", "Pettrix",
     {"sumdll ok", "sumdll printed: \"checker's memory refused, warden's memory refused\""}, 0},
    {"leaves_daemon", "Pettrix", {"sumdll fault: left a process of its own running after it returned (it forked)"}, 1},
    // A fork without end is ended by the warden, with everything it started.
    {"forks_without_end", "Pettrix",
     {"sumdll fault: started more than 256 processes at once (it forks without end); the checker ended them all"}, 1},
    // Memory filled in several processes, each within its own bound, is ended all together.
    {"fills_memory_in_processes", "Pettrix",
     {"sumdll fault: held more than 4 GiB of memory in all its processes at once; the checker ended them all"}, 1},
    // Many processes, one at a time, are no fault: the bound is on those there at once.
    {"forks_one_at_a_time", "Pettrix", {"sumdll ok"}, 0},
    // The records that say "finished" on every descriptor: the crash after them is seen in the
    // way the process ended, and the sum after them is judged all the same.
    {"forges_finish_and_crashes", "Pettrix", {"sumdll fault: wrote through a null address"}, 1},
    // Korvik's arguments lie in the storage the checker shares as well: what the calls left in
    // them, and the result recorded there, are judged from its bytes whatever the records say.
    {"forges_finish_ostrum", "Ostrum",
     {"yArray fault: changed the descriptor of array, the second argument (its element count)",
      "zArray fault: changed the tag of array, the first argument",
      "square shows: Korvik's Label1 reads \"xx = 5, xx^2 = 6\""},
     1},
    {"forges_finish_wrong_sum", "Pettrix",
     {"sumdll fault: for a = 10 and b = 20, c, the third argument, holds 31, not 30 (Tolvan shows \"31\") (9 of 9 "
      "pairs)"},
     1},
    // Nothing outside the work folder takes a byte: the sum stays right, and nothing is printed.
    {"writes_large_files", "Pettrix", {"sumdll ok", "summary: 1 routine, 1 ok, 0 with a fault"}, 0},
    // Landlock refuses a signal to a process outside its rules; without it, the kernel drops
    // a signal to the sandbox's first process that it has no handler for. The check goes on.
    {"signals_warden", "Pettrix",
     {"sumdll ok", "sumdll printed: \"its parent: Operation not permitted\"",
      "sumdll printed: \"process 1: Operation not permitted\""},
     0, 6, {"sumdll ok", "summary: 1 routine, 1 ok, 0 with a fault"}},
    // A square.dat that is a link is not followed: no trace, and the secret is quoted nowhere.
    {"trace_linked_to_secret", "Morvane",
     {"square fault: for x = 3, there is no square.dat in the call's directory when the call returns (44 of 44 "
      "calls)"},
     1},
};

// A row is shown by its library's name, in test names and messages alike.
void PrintTo(const FenceRow& row, std::ostream* out)
{
    *out << row.file;
}

class Sabotage : public Fence, public testing::WithParamInterface<FenceRow> {};

TEST_P(Sabotage, StaysInTheSandbox)
{
    const FenceRow& row = GetParam();
    const CheckerRun run = check(fs::path(SABOTAGING_LIBRARIES) / ("lib" + std::string(row.file) + ".so"), {}, row.contract);
    const bool withLandlock = landlockVersion() >= row.landlockSince;
    for (const std::string& line : withLandlock ? row.lines : row.linesWithoutLandlock)
        EXPECT_TRUE(run.hasLine(line)) << "expected the line \"" << line << "\" in:\n" << run.output << run.errors;
    // Each new process is asked of the warden before it is made: a fork without end is held at
    // the bound, however busy the machine.
    EXPECT_EQ(run.output.find("saw more than 300 processes"), std::string::npos) << run.output;
    EXPECT_EQ(run.status, row.status) << run.output << run.errors;
    expectFenced(run);
}

std::string rowName(const testing::TestParamInfo<FenceRow>& row)
{
    return row.param.file;
}

INSTANTIATE_TEST_SUITE_P(Libraries, Sabotage, testing::ValuesIn(fenceRows), rowName);

// A routine that kills the process that started its own reaches the sandbox's first process,
// which the kernel does not let it signal: the check goes on, and the sum is right.
TEST_F(Fence, ARoutineThatKillsItsCallerDoesNotEndTheCheck)
{
    const CheckerRun run = check(fs::path(CHECKED_LIBRARIES) / "libkills_its_caller.so");
    EXPECT_TRUE(run.hasLine("sumdll ok")) << run.output << run.errors;
    EXPECT_EQ(run.status, 0);
}

// The daemon a routine leaves ends with the check also when the checker is killed from
// outside while the daemon runs: the sandbox's first process ends with the checker, and the
// kernel ends every process of its namespace with it.
TEST_F(Fence, ADaemonEndsWhenTheCheckerIsKilled)
{
    bool seen = false;
    linger_ = true;
    const CheckerRun run = check(fs::path(SABOTAGING_LIBRARIES) / "libleaves_daemon.so", [&](pid_t checker) {
        const auto start = std::chrono::steady_clock::now();
        while (!seen && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
            seen = !processesNamed(daemon_).empty();
            if (!seen)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        kill(checker, SIGKILL);
        // The kernel takes a moment to end a namespace's processes.
        const auto killed = std::chrono::steady_clock::now();
        while (!processesNamed(daemon_).empty() && std::chrono::steady_clock::now() - killed < std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    ASSERT_TRUE(seen) << "the daemon never ran: " << run.output << run.errors;
    EXPECT_EQ(run.status, -1); // killed
    expectFenced(run);
}

// Where no sandbox can be made, one line says why and the check goes on as before, in a process
// of its own: there a routine that kills its caller ends the library's process.
TEST_F(Fence, WhereNoSandboxCanBeMadeTheCheckGoesOnUnsandboxed)
{
    withoutNamespaces_ = true;
    const CheckerRun run = check(fs::path(CHECKED_LIBRARIES) / "libkills_its_caller.so");
    EXPECT_EQ(run.errors, "");
    EXPECT_NE(run.output.find("\nNot sandboxed: this system does not let bubblewrap make namespaces: "), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("; the library's code runs with your rights.\n"), std::string::npos) << run.output;
    EXPECT_TRUE(
        run.hasLine("sumdll fault: could not be checked: the process that holds its loaded library ended while it ran"))
        << run.output;
    EXPECT_EQ(run.status, 1);
}

// Unsandboxed, the classmate's secret is there to be read: a square.dat that links to it is
// still not followed, and the secret is quoted nowhere.
TEST_F(Fence, UnsandboxedALinkInTheTracesPlaceIsNotFollowed)
{
    withoutNamespaces_ = true;
    const CheckerRun run = check(fs::path(SABOTAGING_LIBRARIES) / "libtrace_linked_to_secret.so", {}, "Morvane");
    EXPECT_NE(run.output.find("\nNot sandboxed: "), std::string::npos) << run.output;
    EXPECT_TRUE(run.hasLine("square fault: for x = 3, there is no square.dat in the call's directory when the call "
                            "returns (44 of 44 calls)"))
        << run.output;
    EXPECT_EQ(run.output.find(secret_), std::string::npos) << run.output;
    EXPECT_EQ(run.status, 1);
}

// Without the sandbox, a routine run as root may mount a classmate's folder in the temporary
// folder the checker removes: the removal stops at the mount, leaves the classmate's files as
// they are, and says so.
TEST_F(Fence, UnsandboxedTheTemporaryFolderIsRemovedUpToAMountInIt)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may make a bind mount here";
    noSandbox_ = true;
    const CheckerRun run = check(fs::path(SABOTAGING_LIBRARIES) / "libmounts_classmate.so");
    // What the test leaves: the mount the routine made, wherever it lies.
    std::ifstream mounts("/proc/self/mountinfo");
    std::vector<std::string> made;
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        fields >> id >> parent >> device >> root >> point;
        if (point.find("/routine-check-") != std::string::npos && point.ends_with("/view"))
            made.push_back(point);
    }
    for (const std::string& point : made) {
        umount2(point.c_str(), MNT_DETACH);
        std::error_code ignored;
        fs::remove_all(fs::path(point).parent_path(), ignored);
    }
    EXPECT_TRUE(run.hasLine("sumdll printed: \"mounted\"")) << run.output;
    EXPECT_TRUE(run.hasLine("sumdll ok")) << run.output;
    ASSERT_EQ(made.size(), 1u);
    EXPECT_NE(run.errors.find("routine-check: could not remove the temporary directory " +
                              fs::path(made[0]).parent_path().string() + ": a file system is mounted at " + made[0] +
                              ", and what it shows was left as it is"),
              std::string::npos)
        << run.errors;
    EXPECT_EQ(fileBytes(sibling()), siblingBytes_) << "the classmate's library changed";
    EXPECT_EQ(fileBytes(base_ / "classmate" / "secret.txt"), secret_ + "\n");
}

// The warden's hidden option, given by hand outside a sandbox, does nothing: the warden is only
// ever the first process of a namespace of its own.
TEST(Warden, RefusesToServeOutsideASandbox)
{
    const pid_t warden = fork();
    if (warden == 0) {
        execl(CHECKER, CHECKER, "--serve-library", "Pettrix", "libPettrix.so", "2", "0", "1", "/routine-check", "0",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(warden, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}

} // namespace
