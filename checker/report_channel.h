// What a child process tells the checker while it calls a routine.
//
// The child writes fixed-size messages into a pipe; each is smaller than the pipe's atomic
// write size, so a message is never torn, and the signal handler can send one with a single
// write(). The parent keeps its own copy of where the child placed each argument, so it can
// name the argument behind a faulting address even when the routine has overwritten the
// child's memory.
#pragma once

#include <cstdint>
#include <string_view>

enum class MessageKind : uint32_t {
    Placed,       // an argument's storage: mapping, data, read-only or not, its name
    CallStarted,  // the routine is being called (call 1 or 2)
    CallReturned, // the routine has returned
    Fault,        // a fault found after the call, in words
    Note,         // something allowed that may surprise, in words
    Signal,       // the routine was stopped by a signal: number, address, read or write
    Loaded,       // the library is loaded: its file
    LoadFailed,   // the loader's own words
    Exported,     // a routine of the contract is exported
    AlsoExported, // an export the contract does not name
    Shown,        // part of the listing of the pieces, for --show
    Finished,     // everything the child had to do is done
    Shows         // what the program's window shows after the first call, in words
};

enum class Access : uint32_t { Read, Write, Unknown };

// Placed: the flags of a decoy, the pages whose address fills a piece's bytes in a probe.
inline constexpr uint32_t decoyPiece = 2;

struct Message {
    MessageKind kind;
    uint32_t call;     // Placed, CallStarted, CallReturned: 1 or 2
    uint32_t number;   // Placed: the piece's index in its call; Signal: the signal number
    uint32_t flags;    // Placed: 1 when read-only, the alignment << 8, the layout << 16; Signal: an Access;
                       // Fault, Note, Shows: 1 when the text goes on in the next message
    uint32_t position; // Placed: where the routine receives the argument, from 1; 0 for none
    uint64_t mapStart; // Placed: the mapping, guard pages included; Signal: the address
    uint64_t mapEnd;
    uint64_t dataStart; // Placed: the argument itself
    uint64_t dataEnd;
    char text[216]; // zero-terminated
};

static_assert(sizeof(Message) <= 512, "a message is written whole, atomically");

// The writing end of the pipe, in the child.
class ReportChannel {
public:
    explicit ReportChannel(int descriptor) : descriptor_(descriptor) {}

    void send(const Message& message) const;
    // A Fault, Note or Shows of any length; other texts are shortened to one message.
    void send(MessageKind kind, std::string_view text) const;

    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

// A message of the given kind with its text copied in, shortened if need be.
Message messageWithText(MessageKind kind, std::string_view text);
