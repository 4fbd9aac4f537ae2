// What a library might try from inside the sandbox, one thing per run:
//     sandbox_probe ACTION ARGUMENT [WORK-FOLDER READ-ONLY...]
// Exit status 0 when the attempt succeeded, 3 when the system refused it (its reason on
// standard error), 2 for a usage mistake. The system-call filter and, given the sandbox's
// work folder and what it shows read-only, the kernel's file-access rules are set first, as
// the warden's processes set them before they load a library.
#include "sandbox.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int refused(const char* what)
{
    std::fprintf(stderr, "%s: %s\n", what, std::strerror(errno));
    return 3;
}

int succeeded(bool done, const char* what)
{
    return done ? 0 : refused(what);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::string problem;
    if (!refuseForeignSystemCalls(problem) ||
        (argc > 3 && !refuseForeignAccess(std::vector<std::string>(argv + 4, argv + argc), argv[3], problem))) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 2;
    }
    const std::string action = argv[1];
    const char* argument = argc > 2 ? argv[2] : "";

    if (action == "read") {
        const int file = open(argument, O_RDONLY);
        char byte;
        return succeeded(file >= 0 && read(file, &byte, 1) >= 0, "open");
    }
    if (action == "write") {
        const int file = open(argument, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        return succeeded(file >= 0 && write(file, "x", 1) == 1, "open");
    }
    if (action == "folder")
        return succeeded(mkdir(argument, 0700) == 0 && rmdir(argument) == 0, "mkdir");
    if (action == "connect") {
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(std::atoi(argument)));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return succeeded(socket >= 0 && connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0,
                         "connect");
    }
    if (action == "bind") {
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(std::atoi(argument)));
        return succeeded(socket >= 0 && bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0,
                         "bind");
    }
    if (action == "signal") // signal 0 asks only whether the process can be reached
        return succeeded(kill(std::atoi(argument), 0) == 0, "kill");
    if (action == "memory") {
        const std::string path = std::string("/proc/") + argument + "/mem";
        return succeeded(open(path.c_str(), O_RDWR) >= 0, "open");
    }
    if (action == "trace")
        return succeeded(ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0, "ptrace");
    if (action == "namespace")
        return succeeded(unshare(CLONE_NEWUSER) == 0, "unshare");
    if (action == "mount-namespace")
        return succeeded(unshare(CLONE_NEWNS) == 0, "unshare");
    if (action == "stay") {
        // A daemon: a process of its own, in a session of its own, that holds the descriptor
        // ARGUMENT open and never ends; it says it is there by one byte through it. The probe
        // stays too, as the library's process stays while the check goes on.
        const int descriptor = std::atoi(argument);
        if (fork() == 0) {
            setsid();
            if (fork() == 0) {
                if (write(descriptor, "!", 1) != 1)
                    _exit(1);
                for (;;)
                    pause();
            }
            _exit(0);
        }
        for (;;)
            pause();
    }
    return 2;
}
