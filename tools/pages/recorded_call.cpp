#include "recorded_call.h"

#include <algorithm>

namespace {

std::vector<ListedRegion> listedRegions(const RecordedCall& call, bool afterCall)
{
    const Recording& recording = call.recording;
    const std::size_t count = std::min<std::size_t>(
        {static_cast<std::size_t>(std::max(recording.regionCount, 0)), call.regions.size(), RECORDING_REGIONS});
    std::vector<ListedRegion> regions;
    for (std::size_t i = 0; i < count; ++i) {
        const RecordedRegion& kept = recording.regions[i];
        const RegionName& naming = call.regions[i];
        const std::size_t size = std::min<std::size_t>(kept.size, RECORDING_REGION_ROOM);
        const unsigned char* bytes = afterCall ? kept.bytesAfter : kept.bytes;
        regions.push_back({kept.reachedThrough, naming.name, kept.layout, kept.address,
                           std::vector<unsigned char>(bytes, bytes + size), naming.arrayName, naming.firstIndex});
    }
    return regions;
}

} // namespace

std::vector<ListedRegion> listedRegionsOf(const RecordedCall& call)
{
    return listedRegions(call, false);
}

std::vector<ListedRegion> listedRegionsAfterCall(const RecordedCall& call)
{
    return listedRegions(call, true);
}

std::string callText(const RecordedCall& call)
{
    std::string text = call.routine + "(";
    for (std::size_t i = 0; i < call.parameters.size(); ++i)
        text += (i ? ", " : "") + call.parameters[i];
    return text + ")";
}

std::string pageListingOf(const RecordedCall& call)
{
    std::string listing = callText(call) + ", called by " + call.calledBy + "\n";
    for (const UnrecordedParameter& parameter : call.unrecorded)
        listing += "\n" + parameter.parameter + " → " + parameter.name + ": not recorded; " + parameter.why + "\n";
    const std::vector<ListedRegion> after = listedRegionsAfterCall(call);
    if (after.empty())
        return listing;
    // A result comes into being with the return; before the call there is none.
    std::vector<ListedRegion> before;
    for (const ListedRegion& region : listedRegionsOf(call))
        if (region.address)
            before.push_back(region);
    return listing + "\nbefore the call:\n" + listingOf(before) + "\nafter the call:\n" + listingOf(after, &before);
}

std::vector<std::string> problemsOf(const RecordedCall& call)
{
    const Recording& recording = call.recording;
    if (call.routine != recording.routine)
        return {call.id + ": the window called " +
                (*recording.routine ? recording.routine : "nothing the recording saw") + ", not " + call.routine};
    if (static_cast<std::size_t>(recording.regionCount) != call.regions.size())
        return {call.id + ": " + std::to_string(recording.regionCount) + " regions recorded, " +
                std::to_string(call.regions.size()) + " named"};
    std::vector<std::string> problems;
    for (int i = 0; i < recording.regionCount; ++i)
        if (recording.regions[i].size == 0)
            problems.push_back(call.id + ": " + recording.regions[i].reachedThrough +
                               " reaches more bytes than a recording keeps");
    if (!recording.keptAfterCall)
        problems.push_back(call.id + ": the bytes after the call were not kept");
    if (problems.empty() && listingOf(listedRegionsOf(call)).find("outside the recorded storage") != std::string::npos)
        problems.push_back(call.id + ": an address in the call points at nothing the routine was given:\n" +
                           pageListingOf(call));
    return problems;
}
