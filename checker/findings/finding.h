// A finding as data: what a routine did, to which argument, with which numbers and which
// usual cause, from where it is found (in a routine's process or in the checker) to the one
// place that words it (wording.h). Nothing is compared or rewritten as text: two findings are
// the same when their data is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A fault makes the routine's line "fault:" and the exit status 1; a note is said and passes.
// Unchecked is the checker's own failure (no room for its storage, no process to call in),
// never the routine's: "could not be checked:" and the exit status 2.
enum class Severity : uint8_t { Fault, Note, Unchecked };

// What happened. Each kind is one row of the wording table, with its severity and its text.
enum class FindingKind : uint16_t {
    // How a routine is found.
    NotExported,
    NotARoutine,
    // Where a routine reached.
    WrotePastEnd,
    ReadPastEnd,
    WroteBeforeStart,
    ReadBeforeStart,
    WrotePastEndByMoreThan,
    ReadPastEndByMoreThan,
    WroteBeforeStartByMoreThan,
    ReadBeforeStartByMoreThan,
    WroteIntoReadOnly,
    KeptAddress,
    UsedBytesAsAddress,
    UsedElementAsAddress,
    UsedByteRangeAsAddress,
    WroteThroughNull,
    ReadThroughNull,
    UsedThroughNull,
    // How its process ended.
    Crashed,
    OutOfMemory,
    KeptTheAddressSpace,
    TimedOut,
    Stalled,
    ClosedTheChannel,
    UsedUpProcessorTime,
    EndedTheProcess,
    WentOnInAProcessOfItsOwn,
    LeftAProcess,
    StartedTooManyProcesses,
    HeldTooMuchMemory,
    CallsNotOver,
    // Where its file cannot be written.
    EndedWhereFileUnwritable,
    CrashedWhereFileUnwritable,
    // What it must leave as it found it.
    ChangedFloatEnvironment,
    RaisedFloatFlags,
    RegisterNotKept,
    StackPointerMovedUp,
    StackPointerMovedDown,
    DirectionFlagSet,
    ChangedSignalHandling,
    LeftATimerSet,
    ChangedAfterReturn,
    ThreadsLeftRunning,
    ThreadsLeftWaiting,
    ThreadsLeftWaitingIn,
    DescriptorChanged,
    ElementLeftUnsafe,
    // The checker's own failures.
    NoRoomForStorage,
    CouldNotStartAProcess,
    LibraryDidNotLoadAgain,
    AnotherFileLoaded,
    LibraryProcessEnded,
    // What the contracts fix about results.
    KeepsState,
    ResultFollowsRegister,
    WideResult,
    StoredAddressBits,
    LengthChanged,
    CountBeyondElements,
    TagOverOtherKind,
    TagChanged,
    SquareWrong,
    TraceMissing,
    TraceWrong,
    RoundingNotPutBack,
    SumWrong,
    SumOfAddresses,
    SumOutside16Bits,
};

// Why it most likely happened: each kind one row of the causes' table.
enum class CauseKind : uint8_t {
    None,
    // Why a routine is not exported, read from what the library exports instead.
    GfortranName,       // values: the export, the routine
    ModuleProcedure,    // values: the export, the routine
    OtherLetterCase,    // values: the export, the routine
    CppName,            // values: the export as a C++ reader writes it
    HiddenByVisibility, // values: the routine, the contract's header
    DeclaredStatic,     // values: the routine, the contract's header
    // Why a routine reached where it did.
    TakenWider,           // values: the kind it took, the declaration to write
    ElementBeforeFirst,   // no values
    DeclaredInOtherOrder, // values: the reach in bytes, the arguments it fits (names), their positions, the declaration
    LeftMeantAsItWas,     // argument: the one it meant; values: the declaration
    DescriptorExpected,   // argument: the one whose bytes it took
    NullFromElement,      // argument; values: the element's number
    NullFromBytes,        // argument; values: the first and last byte
    // Why a routine ended the process where its file cannot be written.
    FortranRuntimeEnd,
    StoppedOnPurpose,
    FileNotOpened,
    // Why a result is wrong.
    SquareAt64Bits,
    SingleInFirstBytes,
    StoredNothing, // argument: the one it stored nothing into; values: what each case is, its C type
    TraceUnflushed,
};

inline constexpr FindingKind lastFindingKind = FindingKind::SumOutside16Bits;
inline constexpr CauseKind lastCauseKind = CauseKind::TraceUnflushed;

// An argument as the contract names it, and where the routine receives it (from 1; 0 when a
// finding names it without a position).
struct Argument {
    std::string name = {};
    int position = 0;
    friend bool operator==(const Argument&, const Argument&) = default;
};

// A number (a size, a distance, a count, a signal, a status) or a text (a register's name, a
// kind, what a window shows).
using Value = std::variant<int64_t, double, std::string>;

struct Cause {
    CauseKind kind = CauseKind::None;
    Argument argument = {};
    std::vector<Value> values = {};
    friend bool operator==(const Cause&, const Cause&) = default;
};

// Of how many cases a finding is the first: said when more than one was wrong.
struct Tally {
    int64_t count = 0;
    int64_t of = 0;
    friend bool operator==(const Tally&, const Tally&) = default;
};

struct Finding {
    FindingKind kind;
    Argument argument = {};         // the argument it names, when it names one
    std::vector<Value> values = {}; // in the order of the row's placeholders
    Cause cause = {};
    Argument other = {}; // a second argument it names
    Tally tally = {};
    friend bool operator==(const Finding&, const Finding&) = default;
};

// A finding's severity, from its row.
Severity severityOf(FindingKind kind);

// The bytes of a finding as it crosses the report channel, and back; decoding gives false for
// bytes that are not a whole finding.
std::string encode(const Finding& finding);
bool decode(std::string_view bytes, Finding& finding);
