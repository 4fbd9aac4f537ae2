// The storage of a routine's calls shared between the checker and the routine's process, so
// that the checker judges what the calls left from bytes it reads itself.
//
// The checker makes a memory file (memfd) for a request, lays every piece of every call out
// in it with a guard region on each side, fills it, seals its size, and maps it itself. The
// routine's process maps the same file: each piece's pages read-write, or read-only for what
// the contract only reads, and the guard regions with no access. A routine that makes a guard
// or a read-only piece writable and writes there writes into bytes the checker reads.
//
// The layout is a pure function of what the calls place, in their order: both sides compute
// it from the request, and the checker never takes it from the routine's process. Where each
// piece lies in the routine's process follows from the layout too, so that a piece may hold
// the address of another (an array's descriptor, the address of its elements) and the checker
// knows every address the program passed. After the pieces lie the markers, one word a call,
// which the routine's process sets before and after each call of the routine: they only say
// how far the calls went, never that what they left is right. After the markers lie the
// records: what a call gives back in a register, which has no storage of the program's to lie
// in, written there by the checker's code in the routine's process right after the call.
#pragma once

#include "finding.h"

#include "value_kind.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Which end of a piece lies against a guard page.
enum class Side { End, Start };

// The size of the guard region on each side of a piece: the farthest a reach beyond a piece
// is seen, and measured.
inline constexpr std::size_t guardSize = std::size_t{1} << 20;

// The part of each guard region next to its piece that lies in the shared file, filled with
// the fill byte; the rest of the guard is reserved, with no access, in the routine's process.
inline constexpr std::size_t sharedGuardSize = std::size_t{4} << 10;

// What fills a piece's pages around it, and the shared part of its guard regions.
inline constexpr std::byte fillByte{0xA5};

// Where the pieces' reservations begin in the routine's process, one after another, each a
// whole number of pages long: far from where the loader and the C library map anything (and
// above a sanitizer's shadow memory). Pieces placed one after another lie at addresses whose
// low 16 bits differ, as two mappings' do in a program.
inline constexpr std::uintptr_t arenaBase = std::uintptr_t{0x2000} << 32;

// A piece that holds the address of another: at byte `at` of its bytes, the address of the
// data of piece `piece` (an index into the pieces laid out), as the routine's process has it.
struct ArenaPointer {
    std::size_t at = 0;
    std::size_t piece = 0;
};

// One piece a call places, in the order it places it.
struct ArenaPiece {
    uint32_t call = 1; // 1 or 2
    std::vector<std::byte> initial; // its bytes as the program passes them; their count is its size
    std::size_t alignment = 1;
    bool readOnly = false;
    Argument argument = {}; // for the sentences
    ValueKind layout = VALUE_TEXT;
    std::vector<ArenaPointer> pointers = {}; // laid into `initial` with the layout
};

// Where a piece lies in the file: its shared guard before, its pages, its shared guard after.
struct ArenaSlot {
    ArenaPiece piece;
    Side side = Side::End;     // which end lies against the guard
    std::size_t start = 0;     // of the guard before
    std::size_t area = 0;      // of the pages
    std::size_t areaSize = 0;  // a whole number of pages
    std::size_t data = 0;      // of the piece
    std::size_t reserved = 0;  // where its reservation begins in the routine's process, from arenaBase
    std::size_t end() const { return area + areaSize + sharedGuardSize; } // of the guard after
};

// How far the calls of a request went, by the marker of each call.
enum class CallMark : uint32_t { NotMade = 0, Started = 0x53544152, Returned = 0x52455455 };

struct ArenaLayout {
    std::vector<ArenaSlot> slots;
    std::size_t markers = 0;     // where the markers begin
    std::size_t markerCount = 0; // one for each call of the routine
    std::size_t records = 0;     // where the records begin, after the markers
    std::size_t recordSize = 0;
    std::size_t size = 0;        // of the whole file, a whole number of pages
};

// The pieces laid out in their order, `pageSize` apart at least, each address a piece holds
// laid into its bytes; in the first call each piece lies against the guard after it, in the
// second against the one before it.
ArenaLayout layOutArena(const std::vector<ArenaPiece>& pieces, std::size_t markerCount, std::size_t pageSize,
                        std::size_t recordSize = 0);

// The file's bytes before the calls: fill, each piece's bytes, markers unset.
void fillArena(const ArenaLayout& layout, std::byte* bytes);

// The low 16 bits of a piece's address in the routine's process.
uint16_t lowAddressBits(const ArenaSlot& slot);

// The address of a piece's data in the routine's process.
std::uintptr_t routineAddressOf(const ArenaSlot& slot);

// The piece whose data begins at `address` in the routine's process; null for any other
// address.
const ArenaSlot* slotAt(const ArenaLayout& layout, std::uintptr_t address);

// ---- The checker's side --------------------------------------------------------------------

// The file, laid out, filled, sealed and mapped by the checker; given to the routine's process
// by its descriptor.
class SharedArena {
public:
    explicit SharedArena(ArenaLayout layout);
    ~SharedArena();
    SharedArena(const SharedArena&) = delete;
    SharedArena& operator=(const SharedArena&) = delete;

    // Whether the file could be made; the checker's own failure when not.
    bool made() const { return bytes_ != nullptr; }
    int descriptor() const { return descriptor_; }
    const ArenaLayout& layout() const { return layout_; }
    // What the file holds now.
    const std::byte* bytes() const { return bytes_; }

private:
    ArenaLayout layout_;
    int descriptor_ = -1;
    std::byte* bytes_ = nullptr;
};

// ---- The routine's process's side ---------------------------------------------------------

// The same file mapped in the routine's process: the markers and records at once, and each
// slot's pages between reserved guards, where the layout puts them, when its piece is placed,
// so that a routine that keeps the address space leaves no room for the next piece, as in a
// program.
class MappedArena {
public:
    // Takes `descriptor` (kept far above the descriptors a routine touches) and maps the
    // markers; mapped() says whether the file is the layout's and could be mapped.
    MappedArena(int descriptor, ArenaLayout layout);
    ~MappedArena();
    MappedArena(const MappedArena&) = delete;
    MappedArena& operator=(const MappedArena&) = delete;

    bool mapped() const { return mapped_; }
    const ArenaLayout& layout() const { return layout_; }

    // The next slot of call `call`, in the order the call places its pieces; null when the call
    // places more than the layout holds.
    const ArenaSlot* nextSlot(uint32_t call);
    // Maps a slot from the file; false, with errno set, when there is no room for it.
    bool map(const ArenaSlot& slot);
    // Where a slot's guard reservation begins, its pages, and its piece, in this process.
    std::byte* reservation(const ArenaSlot& slot) const;
    std::byte* dataOf(const ArenaSlot& slot) const;
    std::byte* areaOf(const ArenaSlot& slot) const;

    // The next call of the routine starts, or has returned.
    void markStarted();
    void markReturned();

    // Where the records lie, layout().recordSize bytes.
    std::byte* records() const { return records_; }

private:
    ArenaLayout layout_;
    int descriptor_ = -1;
    bool mapped_ = false;
    std::vector<std::byte*> reservations_; // one for each slot
    volatile uint32_t* markers_ = nullptr;
    std::byte* records_ = nullptr;
    std::size_t nextMarker_ = 0;
    std::size_t placed_ = 0; // slots handed out
};
