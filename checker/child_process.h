// Running part of the check in a child process, so that a crash or a hang of the routine is a
// finding and not the end of the check.
#pragma once

#include "report_channel.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ChildOutcome {
    std::vector<Received> messages; // everything the child sent, in order, texts joined
    int status = 0;                 // as waitpid gives it
    bool timedOut = false;          // killed when its time was up
    bool channelClosed = false;     // the routine closed the checker's report channel
    bool otherSender = false;       // another process wrote into the channel (a fork went on)
};

// The address space a routine's process may take: enough for any sound routine and the
// checker's guard regions, not enough to exhaust the machine.
inline constexpr std::uint64_t addressSpaceLimit = std::uint64_t{4} << 30;

// Whether a child stopped at the address space limit is the limit: it held this close to it.
inline constexpr std::uint64_t addressSpaceMargin = std::uint64_t{256} << 20;

// Whether the address space limit applies: an address sanitizer reserves terabytes of address
// space for itself before the check begins, so under it the limit would stop every child.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool addressSpaceLimited = false;
#else
inline constexpr bool addressSpaceLimited = true;
#endif

// The processor time a routine's process may take, in whole seconds: the time limit rounded
// up, so that a single thread meets the time limit first and several that spin meet this.
int processorTimeLimit(double timeLimit);

// Runs `work` in a child process whose current directory is `directory`, with `timeLimit`
// seconds to finish; a Finished message follows what `work` sent when it returns. The child's
// standard output goes to standard error, so that what a routine prints never mixes with the
// checker's lines; its channel lies on a high descriptor, where a routine that closes the
// low ones does not reach it. A fatal signal in the child is reported as a Signal message
// with the faulting address before the child ends. The child ends when the checker does,
// and may use only `addressSpaceLimit` of address space and processorTimeLimit() seconds of
// processor time. Once the child has finished, or its time is up, it and everything it
// started are killed.
ChildOutcome runInChild(const std::function<void(const ReportChannel&)>& work, const std::string& directory,
                        double timeLimit);

// From now on an interrupt (Ctrl+C), a quit, a hang-up, a termination request or a reader
// that stopped reading ends the child that is running, which sits in a process group of its
// own and so does not get the terminal's signal itself; interruptingSignal() then names the
// signal, so that the checker can clean up and end by it. 0 while there was none.
void stopOnInterrupt();
int interruptingSignal();

// Standard input, output and error opened on /dev/null where the checker was started with
// any of them closed, so that no pipe of its own ever takes their numbers.
void openClosedStandardStreams();

// "SIGSEGV" for SIGSEGV, and so on.
std::string signalName(int signal);
