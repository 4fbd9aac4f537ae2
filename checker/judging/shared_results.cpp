#include "shared_results.h"

#include "reach_causes.h"

#include <algorithm>
#include <cstring>

namespace {

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
