#include "recorded_call.h"

#include <algorithm>

namespace {

// The regions a recording keeps of one argument, in the order kept: the argument's own region
// in the picture's first column, and what is reached through it in the second.
void addRegionsOf(const ArgumentDescription& argument, std::vector<RegionName>& regions)
{
    const std::string callerName(argument.callerName);
    const std::string arrayName(argument.array.name);
    switch (argument.passing) {
    case Passing::OwnAddress:
    case Passing::Temporary:
    case Passing::TextCopy: regions.push_back({callerName}); break;
    case Passing::ArrayElement: regions.push_back({"", 1, arrayName, argument.array.passedIndex}); break;
    case Passing::TaggedVariant:
        regions.push_back({callerName});
        regions.push_back({arrayName, 2});
        regions.push_back({arrayName + "'s descriptor", 2});
        regions.push_back({"", 2, arrayName, arrayFirstIndex});
        break;
    case Passing::ArrayByReference:
        regions.push_back({callerName});
        regions.push_back({arrayName + "'s descriptor", 2});
        regions.push_back({"", 2, arrayName, arrayFirstIndex});
        break;
    }
}

// Whether a field of the regions holds an address that points into none of them: the listing
// then shows it as an address outside the recorded storage.
bool holdsAddressOutside(const std::vector<ListedRegion>& regions)
{
    for (const ListedRegion& region : regions)
        for (const ListedField& field : fieldsOf(region))
            if (field.holdsAddress && !field.isPadding && !placeOf(field.address, regions))
                return true;
    return false;
}

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

RecordedCall describedCall(std::string id, std::string calledBy, const CallDescription& described)
{
    RecordedCall call{std::move(id), std::move(calledBy), std::string(described.routine), {}, {}};
    for (const ArgumentDescription& argument : described.arguments) {
        call.parameters.emplace_back(argument.name);
        addRegionsOf(argument, call.regions);
    }
    // A result the program reads is kept last; it stands beside the call, in no storage.
    if (described.result != VALUE_NONE)
        call.regions.push_back({"result", 0});
    return call;
}

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
    if (problems.empty() && holdsAddressOutside(listedRegionsOf(call)))
        problems.push_back(call.id + ": an address in the call points at nothing the routine was given:\n" +
                           pageListingOf(call));
    return problems;
}
