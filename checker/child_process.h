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

// "SIGSEGV" for SIGSEGV, and so on.
std::string signalName(int signal);
