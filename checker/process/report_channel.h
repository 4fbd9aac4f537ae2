// What a child process tells the checker while it loads a library or calls a routine.
//
// Each report is one of a few kinds, each with a payload of its own (reports::Placed, a
// Finding, reports::Signal...), encoded and decoded here alone. It crosses the pipe in fixed-
// size messages; each is smaller than the pipe's atomic write size, so a message is never torn,
// and the signal handler can send one with a single write(). A payload longer than one message
// goes in several, each but the last marked as continued, and the parent joins them: a path or
// a name of any length crosses whole. The parent keeps its own copy of where the child placed
// each argument, so it can name the argument behind a faulting address even when the routine
// has overwritten the child's memory.
#pragma once

#include "finding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

enum class Access : uint32_t { Read, Write, Unknown };

// What the processor faulted on: a page that is not there or may not be touched (the address
// is the one the routine used), or an address no page can have (x86-64's general protection
// fault, whose address the platform gives as 0).
enum class Trap : uint32_t { Unknown, PageFault, GeneralProtection };

namespace reports {

// An argument's storage, or in a probe a decoy: the pages whose address fills a piece's bytes.
struct Placed {
    uint32_t call = 0;  // 1 or 2
    uint32_t index = 0; // the piece's index in its call
    bool readOnly = false;
    bool decoy = false;
    uint32_t alignment = 0;
    uint32_t layout = 0;                 // a ValueKind
    uint32_t position = 0;               // where the routine receives the argument, from 1; 0 for none
    uint64_t mapStart = 0, mapEnd = 0;   // the mapping, guard regions included
    uint64_t dataStart = 0, dataEnd = 0; // the argument itself
    std::string name = {};
};

// The routine is being called.
struct CallStarted {
    uint32_t call = 0; // 1 or 2
};

// The routine was stopped by a signal.
struct Signal {
    int32_t signal = 0;
    Access access = Access::Unknown; // for SIGSEGV and SIGBUS, where the platform says
    Trap trap = Trap::Unknown;
    uint64_t address = 0; // the faulting address
    uint64_t held = 0;    // the most address space the process held
};

// The library is loaded: its file, known by its device and inode as the child's mappings
// show them.
struct Loaded {
    uint64_t device = 0, inode = 0;
    std::string file = {};
};

struct LoadFailed {
    std::string problem; // the loader's own words, or what the start-up code left
};

struct Exported {
    std::string routine; // a routine of the contract that the library exports
};

struct AlsoExported {
    std::string name; // an export the contract does not name
};

// Part of the listing of the pieces, for --show.
struct Shown {
    std::string listing;
};

// What the program's window shows after the first call, in words.
struct Shows {
    std::string text;
};

// Everything the child had to do is done; or one part of a request is done, and the process
// goes on with the next, the routine at `next`; after loading, the library loaded and its
// process serves requests.
struct Finished {
    bool partsFollow = false;
    uint32_t next = 0;
};

// The checker found no room for an argument's storage: the system's error number, and the
// address space the process held.
struct NoRoom {
    int32_t error = 0;
    uint64_t held = 0;
    std::string argument = {};
};

// In a probe: a piece the call changed.
struct Changed {
    uint32_t call = 0;
    uint32_t index = 0;
};

} // namespace reports

using Report = std::variant<reports::Placed, reports::CallStarted, Finding, reports::Signal, reports::Loaded,
                            reports::LoadFailed, reports::Exported, reports::AlsoExported, reports::Shown,
                            reports::Finished, reports::Shows, reports::NoRoom, reports::Changed>;

// A report's kind is its place among the alternatives of Report.
using MessageKind = uint32_t;

template <typename Payload, std::size_t At = 0>
constexpr MessageKind messageKindOf()
{
    if constexpr (std::is_same_v<std::variant_alternative_t<At, Report>, Payload>)
        return At;
    else
        return messageKindOf<Payload, At + 1>();
}

// One message on the pipe: a part of a report's bytes.
struct Message {
    MessageKind kind;
    uint32_t continues; // 1 when the report's bytes go on in the next message
    int32_t sender;     // the process that wrote it
    uint32_t length;    // of the part in `bytes`
    char bytes[240];
};

static_assert(sizeof(Message) <= 512, "a message is written whole, atomically");

// A report's bytes, and the report from its kind and bytes; nothing for bytes that are not one.
std::string encode(const Report& report);
std::optional<Report> decode(MessageKind kind, std::string_view bytes);

// The message the signal handler writes: made without allocating, in one message.
Message signalMessage(const reports::Signal& signal, int32_t sender);

// How a child ends when a routine has closed its report channel, or put another file in its
// place: it can no longer say so in a message. (A routine that ends the process with this
// status itself is taken for one that closed the channel.)
inline constexpr int channelClosedStatus = 86;

// The writing end of the pipe, in the child.
class ReportChannel {
public:
    explicit ReportChannel(int descriptor);

    // A report, in as many messages as its bytes take.
    void send(const Report& report) const;

    // How many findings went through it.
    unsigned findingsSent() const { return findingsSent_; }

private:
    void write(const Message& message) const;

    int descriptor_;
    uint64_t device_ = 0, inode_ = 0; // the pipe's, to know it again
    mutable unsigned findingsSent_ = 0;
};
