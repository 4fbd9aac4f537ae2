// What a child process tells the checker while it calls a routine.
//
// The child writes fixed-size messages into a pipe; each is smaller than the pipe's atomic
// write size, so a message is never torn, and the signal handler can send one with a single
// write(). A text longer than one message goes in several, each but the last marked as
// continued, and the parent joins them: a path or a name of any length crosses whole. The
// parent keeps its own copy of where the child placed each argument, so it can name the
// argument behind a faulting address even when the routine has overwritten the child's memory.
#pragma once

#include "finding.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class MessageKind : uint32_t {
    Placed,       // an argument's storage: mapping, data, read-only or not, its name
    CallStarted,  // the routine is being called (call 1 or 2)
    Finding,      // a fault or a note found in the call, its bytes as findings/finding.h encodes them
    Signal,       // the routine was stopped by a signal: number, address, read or write
    Loaded,       // the library is loaded: its file, its device and inode
    LoadFailed,   // the loader's own words
    Exported,     // a routine of the contract is exported
    AlsoExported, // an export the contract does not name
    Shown,        // part of the listing of the pieces, for --show
    Finished,     // everything the child had to do is done
    Shows,        // what the program's window shows after the first call, in words
    NoRoom,       // the checker found no room for an argument's storage: the argument's name,
                  // in `number` the system's error number, in `dataStart` the address space held
    Changed       // in a probe: a piece the call changed, its index in `number`
};

enum class Access : uint32_t { Read, Write, Unknown };

// What the processor faulted on: a page that is not there or may not be touched (the address
// is the one the routine used), or an address no page can have (x86-64's general protection
// fault, whose address the platform gives as 0).
enum class Trap : uint32_t { Unknown, PageFault, GeneralProtection };

// Placed: the flags of a decoy, the pages whose address fills a piece's bytes in a probe.
inline constexpr uint32_t decoyPiece = 2;
// Finished: one part of a request is done, and the process goes on with the next, the
// routine whose index is in `number`; after loading, the library loaded and its process
// serves requests.
inline constexpr uint32_t partsFollow = 1;
// In `flags` of a message that carries text: the text goes on in the next message.
inline constexpr uint32_t textContinues = 1u << 31;

struct Message {
    MessageKind kind;
    uint32_t call;     // Placed, CallStarted: 1 or 2
    uint32_t number;   // Placed: the piece's index in its call; Signal: the signal number
    uint32_t flags;    // Placed: 1 when read-only, the alignment << 8, the layout << 16, decoyPiece;
                       // Signal: an Access; texts: textContinues
    int32_t sender;    // the process that wrote it
    uint32_t position; // Placed: where the routine receives the argument, from 1; 0 for none
    uint32_t trap;     // Signal: the processor's fault, a Trap; Trap::Unknown where it does not say
    uint64_t mapStart; // Placed: the mapping, guard regions included; Signal: the address
    uint64_t mapEnd;
    uint64_t dataStart; // Placed: the argument itself; Signal: the most address space held;
                        // NoRoom: the address space held
    uint64_t dataEnd;
    uint64_t device; // Loaded: the file's device and inode, as the child's mappings show them
    uint64_t inode;
    uint32_t length; // of the part of a text in `text`, which may hold any byte (a finding's)
    char text[216];
};

static_assert(sizeof(Message) <= 512, "a message is written whole, atomically");

// How a child ends when a routine has closed its report channel, or put another file in its
// place: it can no longer say so in a message. (A routine that ends the process with this
// status itself is taken for one that closed the channel.)
inline constexpr int channelClosedStatus = 86;

// A message as the parent received it, its text joined from all the messages it took.
struct Received {
    Message message;
    std::string text;
};

// The writing end of the pipe, in the child.
class ReportChannel {
public:
    explicit ReportChannel(int descriptor);

    // A message with no text, or with the first part of its text; `text` is sent whole, in
    // as many messages as it takes.
    void send(const Message& message, std::string_view text = {}) const;
    void send(MessageKind kind, std::string_view text) const;
    void send(const Finding& finding) const;

    // How many findings went through it.
    unsigned findingsSent() const { return findingsSent_; }

private:
    void write(const Message& message) const;

    int descriptor_;
    uint64_t device_ = 0, inode_ = 0; // the pipe's, to know it again
    mutable unsigned findingsSent_ = 0;
};
