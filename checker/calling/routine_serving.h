// The side of a check that runs in the library's process: the library loaded as the programs
// load it, and, in each routine's process started from it, the calls one request asks for.
// What crosses to the checker is what the report channel carries; what crosses from it is a
// request, encoded and decoded here.
#pragma once

#include "call.h"
#include "contracts.h"
#include "library_process.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// What a routine's process is asked to do: call one routine of the contract twice, or once
// with one piece moved away from its guard. Asked to go on, it then calls the routines the
// library exports after that one, each as a part of its own, for as long as none has a
// finding: as in a program, the routines meet each other's traces in the library, and one
// that did something wrong leaves nothing behind for the next to be blamed for.
struct RoutineRequest {
    uint32_t routine = 0;   // its index in the contract
    int32_t probedCall = 0; // 0 for both calls; otherwise the call made with `probe`
    Probe probe = {};
    bool goOn = false;
    bool fileUnwritable = false; // one call alone, where the routine's file cannot be written
};

std::string encode(const RoutineRequest& request);
bool decode(std::string_view bytes, RoutineRequest& request);

// The library's process for `candidate` (a path, or a bare file name for the system's
// search): it loads the library, says what it loaded and which routines of `contract` it
// exports, and serves requests, each in a routine's process of its own in `directory`, with
// `timeLimit` seconds; with `show`, the bytes of the first call's pieces are listed.
// `sandboxed`, the library's process is a warden in the sandbox, and the routines run in its
// work folder instead of `directory`.
std::unique_ptr<LibraryProcess> startLibraryProcess(const Contract& contract, const std::string& candidate,
                                                    const std::string& directory, double timeLimit, bool show,
                                                    bool sandboxed);

// The routines' work folder in the sandbox, an empty file system in memory of this size.
inline constexpr const char* sandboxWorkFolder = "/routine-check";
inline constexpr std::uint64_t sandboxWorkFolderSize = std::uint64_t{64} << 20;

// The hidden first word that makes routine-check the warden of a sandbox (started so by
// startLibraryProcess, never by a user), and what it then does: never returns when the words
// after it are sound, gives exit status 2 when they are not, and ends with status 2 at once
// when it is not the first process of a namespace of its own.
inline constexpr const char* wardenOption = "--serve-library";
int runWarden(int argc, char** argv);
