// square_special_files_test.cpp: `square` when something other than a regular file stands
// under the name "square.dat": a FIFO with or without a reader, a directory, a socket, the
// null device, a terminal. Each call runs in a child process, so that a call that waits forever or a
// SIGPIPE fails its row instead of stopping the run.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "child_process.h"
#include "opened_library.h"
#include "routine_abi.h"
#include "scratch_directory.h"

namespace {

using SquareRoutine = int32_t ROUTINE_CALL(double *n, double *x, double *y);

// Calls square(1, 3, y) in a child process. Empty when the call returned 0 with y = 9;
// otherwise what went wrong: the wrong result, a signal, or no return in time.
std::string squareInChild()
{
    OpenedLibrary library(MORVANE_LIBRARY);
    SquareRoutine *square = library.function<SquareRoutine>("square");
    if (!square)
        return library.failure();
    return inChildProcess([square]() -> std::string {
        double n = 1, x = 3, y = 0;
        const int32_t result = square(&n, &x, &y);
        if (result != 0 || y != 9.0)
            return "square returned " + std::to_string(result) + " with y = " + std::to_string(y);
        return {};
    });
}

// A socket bound to `name`, or -1; the caller closes it.
int socketNamed(const char *name)
{
    const int socketDescriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strncpy(address.sun_path, name, sizeof address.sun_path - 1);
    if (socketDescriptor < 0 || bind(socketDescriptor, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        return -1;
    return socketDescriptor;
}

struct SpecialFileCase {
    const char *what;
    std::function<void()> make;           // puts something under "square.dat"
    std::filesystem::file_type kindAfter; // what "square.dat" must still be afterwards
};

TEST(SquareWithSpecialFiles, ReturnsWithYSetAndWritesNowhereItCouldWait)
{
    namespace fs = std::filesystem;
    int reader = -1;
    int socketDescriptor = -1;
    const SpecialFileCase cases[] = {
        {"a FIFO that no process reads", [] { mkfifo("square.dat", 0600); }, fs::file_type::fifo},
        {"a FIFO with a reader",
         [&] {
             mkfifo("square.dat", 0600);
             reader = open("square.dat", O_RDONLY | O_NONBLOCK);
         },
         fs::file_type::fifo},
        {"a directory", [] { fs::create_directory("square.dat"); }, fs::file_type::directory},
        {"a socket", [&] { socketDescriptor = socketNamed("square.dat"); }, fs::file_type::socket},
        {"a link to the null device", [] { fs::create_symlink("/dev/null", "square.dat"); }, fs::file_type::character},
    };
    for (const SpecialFileCase &row : cases) {
        SCOPED_TRACE(row.what);
        ScratchDirectory scratch;
        row.make();
        ASSERT_TRUE(fs::exists("square.dat"));

        EXPECT_EQ(squareInChild(), "");
        EXPECT_EQ(fs::status("square.dat").type(), row.kindAfter);
        if (reader >= 0) {
            char byte;
            EXPECT_LE(read(reader, &byte, 1), 0) << "a record went into the FIFO";
            close(reader);
            reader = -1;
        }
        if (socketDescriptor >= 0) {
            close(socketDescriptor);
            socketDescriptor = -1;
        }
    }
}

TEST(SquareWithSpecialFiles, ARegularFileThroughALinkStillGetsTheRecords)
{
    ScratchDirectory scratch;
    std::filesystem::create_symlink("trace.txt", "square.dat");
    EXPECT_EQ(squareInChild(), "");
    EXPECT_EQ(fileBytes("trace.txt"), "           1\nx =     3   y =     9\n");
}

// A terminal takes the records as they are written; its line discipline ends each line with a
// carriage return as well.
TEST(SquareWithSpecialFiles, ATerminalGetsTheRecords)
{
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0) << "no pseudo-terminal: " << strerror(errno);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    ScratchDirectory scratch;
    std::filesystem::create_symlink(ptsname(terminal), "square.dat");

    EXPECT_EQ(squareInChild(), "");
    std::string shown;
    char buffer[256];
    pollfd waiting{terminal, POLLIN, 0};
    while (poll(&waiting, 1, 1000) > 0 && (waiting.revents & POLLIN)) {
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got <= 0)
            break;
        shown.append(buffer, static_cast<std::size_t>(got));
        if (shown.find("y =     9") != std::string::npos)
            break;
    }
    EXPECT_EQ(shown, "           1\r\nx =     3   y =     9\r\n");
    close(terminal);
}

} // namespace
