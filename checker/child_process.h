// Running part of the check in a child process, so that a crash or a hang of the routine is a
// finding and not the end of the check.
#pragma once

#include "report_channel.h"

#include <functional>
#include <string>
#include <vector>

struct ChildOutcome {
    std::vector<Message> messages; // everything the child sent, in order
    int status = 0;                // as waitpid gives it
    bool timedOut = false;         // killed when its time was up
};

// Runs `work` in a child process whose current directory is `directory`, with `timeLimit`
// seconds to finish; a Finished message follows what `work` sent when it returns. The child's
// standard output goes to standard error, so that what a routine prints never mixes with the
// checker's lines. A fatal signal in the child is reported as a Signal message with the
// faulting address before the child ends. Once the child has finished, or its time is up, it
// and everything it started are killed.
ChildOutcome runInChild(const std::function<void(const ReportChannel&)>& work, const std::string& directory,
                        double timeLimit);

// From now on an interrupt (Ctrl+C), a hang-up or a termination request ends the child that
// is running, which sits in a process group of its own and so does not get the terminal's
// signal itself; interruptingSignal() then names the signal, so that the checker can clean up
// and end by it. 0 while there was none.
void stopOnInterrupt();
int interruptingSignal();

// "SIGSEGV" for SIGSEGV, and so on.
std::string signalName(int signal);
