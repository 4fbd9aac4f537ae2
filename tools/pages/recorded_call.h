// One call of a program as the teaching pages (docs/passing/) show it: how the page describes
// the call (its routine, its parameters, the caller's names for the regions the routine
// reached), and what a recording double or watcher kept of it (recording.h).
#pragma once

#include "call_descriptions.h"
#include "listing.h"
#include "recording.h"

#include <string>
#include <vector>

// What the caller calls a region the routine reached, and where the picture draws it.
struct RegionName {
    std::string name; // the caller's name for it: "nTemporary", "x's descriptor"
    int column = 1;   // the picture's column; the call itself stands in column 0
    // For consecutive VARIANT elements: the array's name and the index of the first element
    // recorded, so that element k is called "x(first + k)".
    std::string arrayName = {};
    int firstIndex = 1;
};

// A parameter whose storage the recording does not see, and why.
struct UnrecordedParameter {
    std::string parameter; // "nn"
    std::string name;      // the caller's name for its storage: "n"
    std::string why;
};

// Storage of the caller's that a page is about but that does not cross, drawn beside what does,
// with no arrow to it: numA, whose value crosses in a temporary. It is made as the caller makes
// it, since no routine is given its address to record it.
struct StorageBeside {
    ListedRegion region;
    int column = 2;
};

struct RecordedCall {
    std::string id;                      // names the page section and the picture: "korvik-test6"
    std::string calledBy;                // "Korvik, Start(6)"
    std::string routine;                 // "yArray"
    std::vector<std::string> parameters; // as the contract names them: {"count", "array"}
    // One per recorded region, in the order recorded; a parameter that no region is reached
    // through is shown as not recorded.
    std::vector<RegionName> regions;
    // For a routine called the C way on this machine: the registers that carry its arguments
    // are named in the picture.
    bool argumentsInRegisters = true;
    std::vector<UnrecordedParameter> unrecorded = {};
    std::vector<StorageBeside> beside = {};
    // What was kept of the call.
    Recording recording = {};
};

// A call of a contract's routine as its description says it is passed (call_descriptions.h):
// its parameters, and the caller's names for the regions a recording keeps of it, in the order
// kept. `id` and `calledBy` say where the pages show it; the recording is still to be made.
RecordedCall describedCall(std::string id, std::string calledBy, const CallDescription& described);

// The recorded regions with the caller's names, as far as both reach: their bytes at the call,
// or as the routine left them.
std::vector<ListedRegion> listedRegionsOf(const RecordedCall& call);
std::vector<ListedRegion> listedRegionsAfterCall(const RecordedCall& call);

// "yArray(count, array)".
std::string callText(const RecordedCall& call);

// The listing a page shows: the call and who made it, the parameters not recorded, and the
// listing of the regions (listing.h) before the call and after it, what the call changed marked
// as `routine-check --show` marks it. A result is listed after the call alone.
std::string pageListingOf(const RecordedCall& call);

// What keeps the recording from standing for the call as described, one sentence each: another
// routine recorded, another number of regions, a region too large to be kept whole, an address
// that points at nothing the routine was given, bytes after the call not kept. Empty when the
// recording is sound.
std::vector<std::string> problemsOf(const RecordedCall& call);
