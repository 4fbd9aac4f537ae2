// Runs a piece of a test in a child process, so that a call that waits forever or is ended by
// a signal fails the test with a reason instead of stopping the whole run.
#pragma once

#include <signal.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

// Runs `body` in a child process and waits at most `patience` for it. Empty when `body`
// returned an empty text; otherwise that text, or the signal that ended the child, or that
// it did not finish in time (it is then killed).
template <typename Body>
std::string inChildProcess(Body body, std::chrono::seconds patience = std::chrono::seconds(10))
{
    int report[2];
    if (pipe(report) != 0)
        return "could not make a pipe to the child process";
    const pid_t child = fork();
    if (child < 0)
        return "could not start a child process";
    if (child == 0) {
        close(report[0]);
        const std::string failure = body();
        const ssize_t written = write(report[1], failure.data(), failure.size());
        _exit(written == static_cast<ssize_t>(failure.size()) ? 0 : 1);
    }
    close(report[1]);

    const auto deadline = std::chrono::steady_clock::now() + patience;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            close(report[0]);
            return "did not finish within " + std::to_string(patience.count()) + " seconds";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string failure;
    char buffer[256];
    for (ssize_t got; (got = read(report[0], buffer, sizeof buffer)) > 0;)
        failure.append(buffer, static_cast<std::size_t>(got));
    close(report[0]);
    if (WIFSIGNALED(status))
        return std::string("ended by the signal ") + strsignal(WTERMSIG(status));
    if (WEXITSTATUS(status) != 0)
        return "the child process could not report";
    return failure;
}
