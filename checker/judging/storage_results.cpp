#include "storage_results.h"

#include "reach_causes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The kinds a Variant of the programs owns or follows: releasing or reading one that the
// program did not make would free or read memory that is not what the tag says.
bool ownsOrFollows(VARTYPE kind)
{
    return kind == VT_BSTR || (kind & VT_ARRAY) || (kind & VT_BYREF);
}

// The byte of [from, to) farthest from a piece that begins at `from` (or, below, ends at `to`)
// and no longer holds the fill; `to` when there is none.
const std::byte* farthestChangedAfter(const std::byte* from, const std::byte* to)
{
    for (const std::byte* at = to; at > from; --at)
        if (at[-1] != fillByte)
            return at - 1;
    return to;
}

const std::byte* farthestChangedBefore(const std::byte* from, const std::byte* to)
{
    for (const std::byte* at = from; at < to; ++at)
        if (*at != fillByte)
            return at;
    return to;
}

// Whether [from, to) all still holds the fill, compared a block at a time.
bool untouched(const std::byte* from, const std::byte* to)
{
    static const std::vector<std::byte> filled(4096, fillByte);
    for (const std::byte* at = from; at < to; at += filled.size())
        if (std::memcmp(at, filled.data(), std::min<std::size_t>(filled.size(), static_cast<std::size_t>(to - at))) != 0)
            return false;
    return true;
}

} // namespace

std::vector<Finding> descriptorChanges(const Argument& array, const SAFEARRAY& before, const SAFEARRAY& after)
{
    struct Field {
        const char* name;
        bool changed;
    };
    const Field fields[] = {
        {"its dimension count", before.dimensions != after.dimensions},
        {"its features", before.features != after.features},
        {"its element size", before.elementSize != after.elementSize},
        {"its lock count", before.locks != after.locks},
        {"the address of its elements", before.data != after.data},
        {"its element count", before.bounds[0].elementCount != after.bounds[0].elementCount},
        {"its lower bound", before.bounds[0].lowerBound != after.bounds[0].lowerBound},
    };
    std::vector<Finding> changes;
    for (const Field& field : fields)
        if (field.changed)
            changes.push_back({FindingKind::DescriptorChanged, array, {std::string(field.name)}});
    return changes;
}

std::vector<Finding> unsafeElements(const Argument& array, const std::vector<VARIANT>& before,
                                    const std::vector<VARIANT>& after, int firstIndex)
{
    std::vector<Finding> unsafe;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        const bool changed = after[i].kind != before[i].kind || after[i].value.bits != before[i].value.bits;
        if (changed && ownsOrFollows(after[i].kind)) {
            char kind[8];
            std::snprintf(kind, sizeof kind, "0x%04X", after[i].kind);
            unsafe.push_back({FindingKind::ElementLeftUnsafe,
                              array,
                              {int64_t{firstIndex + static_cast<int>(i)}, std::string(kind)}});
        }
    }
    return unsafe;
}


std::vector<Finding> judgeSharedPieces(const ArenaLayout& layout, const std::byte* bytes)
{
    std::vector<Finding> found;
    for (const ArenaSlot& slot : layout.slots) {
        const ArenaPiece& piece = slot.piece;
        const std::byte* start = bytes + slot.start;
        const std::byte* data = bytes + slot.data;
        const std::byte* dataEnd = data + piece.initial.size();
        const std::byte* end = bytes + slot.end();
        // Most of the bytes hold the fill: compared a block at a time, searched byte by byte only
        // where something changed.
        if (const std::byte* changed = untouched(start, data) ? data : farthestChangedBefore(start, data);
            changed != data) {
            const auto distance = static_cast<std::size_t>(data - changed);
            found.push_back({FindingKind::WroteBeforeStart, piece.argument, {static_cast<int64_t>(distance)},
                             kindCause(piece.layout, Side::Start, distance)});
        }
        if (const std::byte* changed = untouched(dataEnd, end) ? end : farthestChangedAfter(dataEnd, end);
            changed != end) {
            const auto distance = static_cast<std::size_t>(changed - dataEnd + 1);
            found.push_back({FindingKind::WrotePastEnd, piece.argument, {static_cast<int64_t>(distance)},
                             kindCause(piece.layout, Side::End, distance)});
        }
        if (piece.readOnly && !piece.initial.empty() &&
            std::memcmp(data, piece.initial.data(), piece.initial.size()) != 0)
            found.push_back({FindingKind::WroteIntoReadOnly, piece.argument});
    }
    return found;
}

std::size_t callsReturned(const ArenaLayout& layout, const std::byte* bytes)
{
    std::size_t returned = 0;
    for (; returned < layout.markerCount; ++returned) {
        uint32_t mark = 0;
        std::memcpy(&mark, bytes + layout.markers + returned * sizeof mark, sizeof mark);
        if (mark != static_cast<uint32_t>(CallMark::Returned))
            break;
    }
    return returned;
}
