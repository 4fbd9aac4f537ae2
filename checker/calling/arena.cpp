#include "arena.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::size_t roundUp(std::size_t size, std::size_t unit)
{
    return (size + unit - 1) / unit * unit;
}

} // namespace

ArenaLayout layOutArena(const std::vector<ArenaPiece>& pieces, std::size_t markerCount, std::size_t pageSize,
                        std::size_t recordSize)
{
    ArenaLayout layout;
    std::size_t at = 0;
    std::size_t reserved = 0;
    for (const ArenaPiece& piece : pieces) {
        ArenaSlot slot;
        slot.piece = piece;
        slot.side = piece.call == 1 ? Side::End : Side::Start;
        slot.start = at;
        slot.area = at + sharedGuardSize;
        slot.areaSize = roundUp(std::max<std::size_t>(piece.initial.size(), 1), pageSize);
        slot.data = slot.side == Side::End ? slot.area + slot.areaSize - piece.initial.size() : slot.area;
        slot.reserved = reserved;
        at = slot.end();
        reserved += slot.areaSize + 2 * guardSize;
        layout.slots.push_back(std::move(slot));
    }
    for (ArenaSlot& slot : layout.slots)
        for (const ArenaPointer& pointer : slot.piece.pointers)
            if (pointer.piece < layout.slots.size() && pointer.at + sizeof(std::uintptr_t) <= slot.piece.initial.size()) {
                const std::uintptr_t address = routineAddressOf(layout.slots[pointer.piece]);
                std::memcpy(slot.piece.initial.data() + pointer.at, &address, sizeof address);
            }
    layout.markers = at;
    layout.markerCount = markerCount;
    layout.records = at + roundUp(markerCount * sizeof(uint32_t), alignof(std::max_align_t));
    layout.recordSize = recordSize;
    layout.size = roundUp(std::max(layout.records + recordSize, layout.markers + 1), pageSize);
    return layout;
}

void fillArena(const ArenaLayout& layout, std::byte* bytes)
{
    std::memset(bytes, static_cast<int>(fillByte), layout.markers);
    for (const ArenaSlot& slot : layout.slots)
        if (!slot.piece.initial.empty())
            std::memcpy(bytes + slot.data, slot.piece.initial.data(), slot.piece.initial.size());
    std::memset(bytes + layout.markers, 0, layout.size - layout.markers);
}

uint16_t lowAddressBits(const ArenaSlot& slot)
{
    return static_cast<uint16_t>(routineAddressOf(slot) & 0xFFFF);
}

std::uintptr_t routineAddressOf(const ArenaSlot& slot)
{
    return arenaBase + slot.reserved + guardSize + (slot.data - slot.area);
}

const ArenaSlot* slotAt(const ArenaLayout& layout, std::uintptr_t address)
{
    for (const ArenaSlot& slot : layout.slots)
        if (routineAddressOf(slot) == address)
            return &slot;
    return nullptr;
}

SharedArena::SharedArena(ArenaLayout layout) : layout_(std::move(layout))
{
    descriptor_ = memfd_create("routine-check arguments", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (descriptor_ < 0)
        return;
    const auto size = static_cast<off_t>(layout_.size);
    if (ftruncate(descriptor_, size) != 0 ||
        fcntl(descriptor_, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) {
        close(std::exchange(descriptor_, -1));
        return;
    }
    // Every page is filled at once: made in one call rather than at a fault each.
    void* map = mmap(nullptr, layout_.size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, descriptor_, 0);
    if (map == MAP_FAILED) {
        close(std::exchange(descriptor_, -1));
        return;
    }
    bytes_ = static_cast<std::byte*>(map);
    fillArena(layout_, bytes_);
}

SharedArena::~SharedArena()
{
    if (bytes_)
        munmap(bytes_, layout_.size);
    if (descriptor_ >= 0)
        close(descriptor_);
}

MappedArena::MappedArena(int descriptor, ArenaLayout layout)
    : layout_(std::move(layout)), reservations_(layout_.slots.size(), nullptr)
{
    // Far above the descriptors a routine opens or closes by number, as the report channel.
    descriptor_ = fcntl(descriptor, F_DUPFD_CLOEXEC, 100);
    if (descriptor_ >= 0)
        close(descriptor);
    else
        descriptor_ = descriptor;
    // A file of another size than the layout's is none the checker made for this request.
    if (lseek(descriptor_, 0, SEEK_END) != static_cast<off_t>(layout_.size))
        return;
    // The markers and the records, from the page where the markers begin.
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t from = layout_.markers / page * page;
    void* map = mmap(nullptr, layout_.size - from, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor_,
                     static_cast<off_t>(from));
    if (map == MAP_FAILED)
        return;
    markers_ = reinterpret_cast<volatile uint32_t*>(static_cast<std::byte*>(map) + (layout_.markers - from));
    records_ = static_cast<std::byte*>(map) + (layout_.records - from);
    mapped_ = true;
}

MappedArena::~MappedArena()
{
    if (descriptor_ >= 0)
        close(descriptor_);
}

bool MappedArena::map(const ArenaSlot& slot)
{
    // Reserved, not used: the guards cost address space only. Where the layout puts it, and
    // nowhere else: what lies there already is the routine's.
    const std::size_t reserved = slot.areaSize + 2 * guardSize;
    void* wanted = reinterpret_cast<void*>(arenaBase + slot.reserved);
    void* map = mmap(wanted, reserved, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE,
                     -1, 0);
    if (map == MAP_FAILED)
        return false;
    if (map != wanted) { // a kernel that takes the address as a hint only
        munmap(map, reserved);
        errno = EEXIST;
        return false;
    }
    auto* aligned = static_cast<std::byte*>(map);
    reservations_.at(static_cast<std::size_t>(&slot - layout_.slots.data())) = aligned;
    // The shared part of the guards and the pages, from the file, over the reservation.
    std::byte* shared = aligned + guardSize - sharedGuardSize;
    return mmap(shared, slot.end() - slot.start, PROT_NONE, MAP_SHARED | MAP_FIXED, descriptor_,
                static_cast<off_t>(slot.start)) == shared &&
        mprotect(aligned + guardSize, slot.areaSize, slot.piece.readOnly ? PROT_READ : PROT_READ | PROT_WRITE) == 0;
}

const ArenaSlot* MappedArena::nextSlot(uint32_t call)
{
    while (placed_ < layout_.slots.size() && layout_.slots[placed_].piece.call < call)
        ++placed_;
    if (placed_ == layout_.slots.size() || layout_.slots[placed_].piece.call != call)
        return nullptr;
    return &layout_.slots[placed_++];
}

std::byte* MappedArena::reservation(const ArenaSlot& slot) const
{
    return reservations_.at(static_cast<std::size_t>(&slot - layout_.slots.data()));
}

std::byte* MappedArena::areaOf(const ArenaSlot& slot) const
{
    return reservation(slot) + guardSize;
}

std::byte* MappedArena::dataOf(const ArenaSlot& slot) const
{
    return areaOf(slot) + (slot.data - slot.area);
}

void MappedArena::markStarted()
{
    if (markers_ && nextMarker_ < layout_.markerCount)
        markers_[nextMarker_] = static_cast<uint32_t>(CallMark::Started);
}

void MappedArena::markReturned()
{
    if (markers_ && nextMarker_ < layout_.markerCount)
        markers_[nextMarker_++] = static_cast<uint32_t>(CallMark::Returned);
}
