// One call of a routine in the child process, with its arguments in guarded storage.
//
// Each piece of an argument (a number, a text, the elements of an array, its descriptor, the
// variable that holds the descriptor's address) gets a mapping of its own: a guard region of
// 1 MiB with no access, the piece's pages, another guard region. In the first call every
// piece lies against the guard after it, in the second against the one before it, so a
// routine that reaches up to 1 MiB past either end faults at the instruction that does it,
// in the guard of that piece and no other. What the routine may
// only read lies in read-only pages. The rest of a piece's pages is filled with a known byte,
// so a write that stays within them is seen after the call. Storage is never unmapped: once
// a call is over it is made inaccessible, so an address kept from it faults when it is used.
#pragma once

#include "arena.h"
#include "float_environment.h"
#include "report_channel.h"
#include "wording.h"

#include "listing.h"
#include "routine_abi.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>


// How a piece is named: in the sentences (the contract's argument, or a part of one), and in
// the listing that --show prints (the C expression that reaches it and the program's own name
// for it, as the teaching pages call it).
struct PieceName {
    std::string argument;       // "textB", "the descriptor of array"
    std::string reachedThrough; // "textB", "*array"
    std::string callerName;     // "copyOfStrB", "x's descriptor"; empty for elements
    std::string arrayName = {}; // for elements: "x", so that they are listed as x(1) to x(10)
    int position = 0;           // where the routine receives the argument it belongs to, from 1
};

// For measuring how far a routine reaches: one piece is placed `slack` bytes away from its
// guard page on `side`, every other piece as usual. For finding whether a routine takes a
// piece's own bytes for an address: with `bytesAsAddress`, every 8 bytes of each piece of at
// least 8 bytes hold the address of a decoy of its own, pages of no access. For finding what
// a routine that wrote into what it must only read meant to write: with `readOnlyWritable`,
// no piece is read-only, and every piece the call changed is told to the parent.
struct Probe {
    int piece = -1;
    Side side = Side::End;
    std::size_t slack = 0;
    bool bytesAsAddress = false;
    bool readOnlyWritable = false;
};

// The room for the offsets a routine adds to an address it found in a probe's piece: one slot
// of decoy pages for each 8 bytes of the piece.
inline constexpr std::size_t decoySlotSize = std::size_t{1} << 16;

class Call {
public:
    // With `show`, the bytes of every piece are listed before and after the call. With an
    // `arena`, every piece lies in the storage the checker shares, in the slot the layout gives
    // it, and each call of the routine is marked there.
    Call(const ReportChannel& channel, int number, bool show, Probe probe = {}, MappedArena* arena = nullptr);
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // The first call places pieces against the guard after them, the second against the one
    // before them.
    Side side() const { return number_ == 1 ? Side::End : Side::Start; }

    // Whether the pieces lie in the storage the checker shares, which judges what the calls
    // left from its bytes.
    bool shared() const { return arena_ != nullptr; }

    // ---- Storage --------------------------------------------------------------------------

    // A value of the routine's own kind, holding `initial`.
    template <typename T>
    T* value(const PieceName& name, T initial, bool readOnly = false)
    {
        return static_cast<T*>(place(name, kindOf<T>(), &initial, sizeof initial, alignof(T), readOnly));
    }

    // A zero-terminated 8-bit copy of a text, as the programs pass text: the text and one
    // zero byte, nothing more.
    char* text(const PieceName& name, std::string_view text);

    // Elements of an array of Variants, side by side.
    VARIANT* elements(const PieceName& name, const std::vector<VARIANT>& initial);

    // ---- The call -------------------------------------------------------------------------

    // Calls the routine in the programs' floating-point environment, then reports what the
    // routine changed in that environment and around its pieces. A routine's result, when it
    // has one, is listed with the pieces after the call.
    template <typename RoutineCall>
    void run(RoutineCall&& routineCall)
    {
        begin();
        if constexpr (std::is_void_v<decltype(routineCall())>) {
            routineCall();
            end(currentEnvironment());
        } else {
            const auto result = routineCall();
            const FloatEnvironment after = currentEnvironment();
            // A result lies in no storage of the caller's: it has no address.
            ListedRegion listed;
            listed.name = "result";
            listed.layout = kindOf<std::remove_const_t<decltype(result)>>();
            listed.bytes.resize(sizeof result);
            std::memcpy(listed.bytes.data(), &result, sizeof result);
            end(after, &listed);
        }
    }

    // A further call of the routine, made by a check of its results, marked in the shared
    // storage as run() marks its call.
    template <typename RoutineCall>
    void callAgain(RoutineCall&& routineCall)
    {
        if (arena_)
            arena_->markStarted();
        routineCall();
        if (arena_)
            arena_->markReturned();
    }

    // Where the checker's code records what it sees of the calls only in this process (a
    // result in a register, a file the routine wrote), record `index` of the shared storage's,
    // for the checker to read; null when the pieces do not lie there or it has no such record.
    template <typename Record>
    Record* record(std::size_t index = 0) const
    {
        static_assert(std::is_trivially_copyable_v<Record>);
        if (!arena_ || arena_->layout().recordSize < (index + 1) * sizeof(Record))
            return nullptr;
        return reinterpret_cast<Record*>(arena_->records()) + index;
    }

    // ---- Findings -------------------------------------------------------------------------

    // A finding of this call, as data.
    void report(const Finding& finding) const { channel_.send(finding); }
    // What the program's window will show from this call, after the program's name
    // ("message boxes read \"a+b=\", then \"30\"").
    void shows(std::string_view text) const { channel_.send(reports::Shows{std::string(text)}); }

    // Makes every piece of this call inaccessible.
    void seal();

private:
    struct Piece {
        std::byte* map;
        std::size_t mapSize;
        std::byte* area; // the pages between the guards
        std::size_t areaSize;
        std::byte* data;
        std::size_t size;
        bool readOnly;
        PieceName name;
        ValueKind layout;
        std::vector<std::byte> initial; // with readOnlyWritable: the bytes as placed
        bool shared;                    // in the storage the checker shares
    };

    void* place(const PieceName& name, ValueKind layout, const void* initial, std::size_t size,
                std::size_t alignment, bool readOnly);
    // The check cannot go on without its storage: the checker's own failure, not the routine's.
    [[noreturn]] void noRoomFor(const PieceName& name) const;
    void tellPlaced(int index, const PieceName& name, ValueKind layout, bool readOnly, std::size_t alignment,
                    const void* map, std::size_t mapSize, const void* data, std::size_t size) const;
    // The piece in the next slot of the shared storage, which must be the one the layout holds.
    std::byte* placeShared(const PieceName& name, const void* initial, std::size_t size, std::size_t alignment,
                           bool readOnly, std::byte*& map, std::size_t& mapSize, std::byte*& area,
                           std::size_t& areaSize);
    // Fills the piece's bytes with the address of a decoy and tells the parent where it lies.
    void fillWithDecoyAddress(const PieceName& name, ValueKind layout, std::byte* data, std::size_t size) const;
    void begin();
    void end(const FloatEnvironment& after, const ListedRegion* result = nullptr) const;
    // After the return, and again a moment later while something the routine left behind
    // still runs: what it must leave as it found it, and the storage it must leave alone.
    void lookAfterTheReturn() const;
    // A fault for the threads started since the call began (`started`, with the processor
    // time each had used at the return) that keep running; a note for those that wait.
    void judgeThreadsLeft(const std::vector<int>& started, std::vector<uint64_t> processorTimes) const;
    void reportWritesAround(const Piece& piece) const;
    // With readOnlyWritable: a Changed message for each piece whose bytes the call changed.
    void tellChangedPieces() const;
    // Every piece as it is now, in the order the teaching pages list them.
    std::vector<ListedRegion> regionsNow() const;
    // The listing of the regions to --show, what changed since `before` marked.
    void show(const std::string& heading, const std::vector<ListedRegion>& regions,
              const std::vector<ListedRegion>* before) const;

    const ReportChannel& channel_;
    int number_;
    bool show_;
    Probe probe_;
    MappedArena* arena_;
    std::vector<Piece> pieces_;
    std::vector<ListedRegion> before_; // the pieces as begin() listed them, for --show
    // Before the call: the threads of the process and what the signals the programs rely on do.
    std::vector<int> threadsBefore_;
    std::vector<std::pair<int, void*>> handlersBefore_;
};

// A timer left set (alarm or setitimer), whose signal would end the program `when`, for each
// timer of the process that is set; a process started from this one has none of them.
std::vector<Finding> timersLeftSet(const char* when);
