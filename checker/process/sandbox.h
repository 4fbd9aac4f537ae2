// The fence around a library's code: what the processes that run it may see and do.
//
// A library is untrusted native code. Its processes are started under bubblewrap, in
// namespaces of their own:
// - process ids: they see and signal no process outside, and they all end when the process
//   that started the sandbox ends, however it ends (SIGKILL included);
// - network: none, not even the loopback;
// - mounts: the system's libraries and the folders named read-only, one working folder
//   read-write, a /proc of their own, an empty /tmp; nothing else of the machine. The root,
//   /tmp and /dev are read-only, so that nothing written outside the working folder takes
//   memory.
// They hold no capability and cannot gain one (no_new_privs), and a system-call filter
// refuses what no routine needs: tracing, reaching another process's memory, mounting, new
// namespaces, loading kernel code, the kernel's key store. Where the kernel has Landlock, its
// rules say again, inside the process, what it may read, run and write, and add that it may
// use no TCP port, signal no process outside and reach no socket made outside.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SandboxLayout {
    std::string program;                // the executable started in the sandbox, by its path
    std::vector<std::string> arguments; // after the program's name
    std::vector<std::string> readOnly;  // files and folders seen read-only at their own paths
    std::string workFolder;             // the one folder it may write, at its own path, where it starts
    // When not 0: the working folder is an empty file system in memory of this many bytes,
    // made in the sandbox, which leaves nothing on the machine and nothing to clean.
    std::uint64_t workFolderSize = 0;
    // The program is the sandbox's first process (process id 1), which the others cannot
    // signal; otherwise bubblewrap's own first process stands between.
    bool programFirst = false;
    std::string startIn; // where the program starts when not in the working folder
};

// The folders a library needs to load, seen read-only: its own, the ones it names to search
// for its dependencies (its run path), and those of LD_LIBRARY_PATH; the current folder too
// where that path names a folder relative to it.
std::vector<std::string> foldersToLoad(const std::string& library);

// bubblewrap's command line that runs `layout`'s program in the sandbox; descriptors open
// without close-on-exec reach the program as they are.
std::vector<std::string> sandboxCommand(const SandboxLayout& layout);

// Why no sandbox can be made on this machine, in a sentence ("bubblewrap is not installed",
// "this system does not let bubblewrap make namespaces: ..."); nothing when it can. Tried once
// and remembered: a child makes the namespaces, and only when it cannot is bubblewrap started,
// for its own words.
std::optional<std::string> sandboxUnavailable();

// In a sandboxed process, before any of the library's code runs: from now on this process and
// every process it starts are refused the system calls no routine needs (they fail with
// EPERM). False, with the reason in `problem`, when the filter could not be set.
bool refuseForeignSystemCalls(std::string& problem);

// The Landlock version this kernel offers; 0 when it has none.
int landlockVersion();

// In a sandboxed process, before any of the library's code runs, where the kernel has Landlock:
// from now on this process and every process it starts may read and run only what the sandbox
// shows read-only (the system's folders and files, and `readOnly`, the layout's), read and
// write only beneath `workFolder`, use /dev/null, /dev/zero, /dev/random and /dev/urandom, and
// read /proc; they may bind or connect no TCP port, signal no process outside the rules, and
// reach no abstract socket made outside. As much of that as the kernel's version knows is set.
// True with nothing done where the kernel has no Landlock; false, with the reason in
// `problem`, when the rules could not be set.
bool refuseForeignAccess(const std::vector<std::string>& readOnly, const std::string& workFolder,
                         std::string& problem);

// After refuseForeignSystemCalls(): a second filter by which every new process this process or
// any it starts makes (fork, vfork, a clone that makes no thread) waits until the holder of
// `listener` lets it be made or refuses it. False, with the reason in `problem`, when the
// filter could not be set.
bool askBeforeEachNewProcess(int& listener, std::string& problem);

// A question on the listener: its number, and the process that asks, by its id in the sandbox.
struct NewProcessQuestion {
    std::uint64_t id = 0;
    int asker = 0;
};

// The next question on `listener`; nothing when none could be read.
std::optional<NewProcessQuestion> nextNewProcessQuestion(int listener);

// The new process is made when `allowed`; else the call that would make it fails with EAGAIN,
// as at a limit on processes.
void answerNewProcess(int listener, const NewProcessQuestion& question, bool allowed);
