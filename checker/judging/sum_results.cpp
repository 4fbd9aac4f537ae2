#include "sum_results.h"

#include "call_descriptions.h"
#include "placements.h"
#include "shown_texts.h"
#include "wording.h"

#include <optional>

namespace {

constexpr const CallDescription& described = pettrixCalls.call("sumdll");

} // namespace

int16_t wrappedSum(int a, int b)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(a + b)));
}

std::string sumsShow(const SumClick& first)
{
    // A sum made of addresses changes from run to run, and is said so rather than quoted.
    const bool madeOfAddresses = first.c != wrappedSum(first.a, first.b) && first.addedAddresses;
    return "message boxes read " + quoted(tolvanHeading()) + ", then " +
        (madeOfAddresses ? "a number made of the addresses of a and b, which changes from run to run"
                         : quoted(tolvanShows(first.c)));
}

std::vector<Finding> judgeSums(const SumClicks& clicks)
{
    std::vector<Finding> judged;
    const SumClick& first = clicks.first;

    // A result made from the addresses changes with them, which is no state of the routine's.
    if (clicks.again.c != first.c && !(first.addedAddresses && clicks.again.addedAddresses))
        judged.push_back(
            {FindingKind::KeepsState, {}, {quoted(tolvanShows(first.c)), quoted(tolvanShows(clicks.again.c))}});

    const Argument cNamed{"c", positionOf(described.argument("c"))};
    std::optional<Finding> firstWrong;
    int wrong = 0;
    int tried = 0;
    int untouched = 0; // pairs after which c still holds the 0 Tolvan sets
    for (const SumClick& sum : clicks.pairs) {
        const int exact = sum.a + sum.b;
        const Value pairA = int64_t{sum.a}, pairB = int64_t{sum.b};
        // A 16-bit add wraps around; anything else it stores is noted with what Tolvan shows.
        if (exact < -32768 || exact > 32767) {
            if (sum.c != wrappedSum(sum.a, sum.b) && !sum.addedAddresses)
                judged.push_back({FindingKind::SumOutside16Bits,
                                  cNamed,
                                  {pairA, pairB, int64_t{exact}, int64_t{sum.c}, quoted(tolvanShows(sum.c))}});
            continue;
        }
        ++tried;
        untouched += sum.c == 0 ? 1 : 0;
        if (sum.c == exact)
            continue;
        if (++wrong > 1)
            continue;
        if (sum.addedAddresses)
            firstWrong = Finding{FindingKind::SumOfAddresses,
                                 cNamed,
                                 {pairA, pairB, int64_t{exact}, ordinal(positionOf(described.argument("a"))),
                                  ordinal(positionOf(described.argument("b")))}};
        else
            firstWrong = Finding{FindingKind::SumWrong,
                                 cNamed,
                                 {pairA, pairB, int64_t{sum.c}, int64_t{exact}, quoted(tolvanShows(sum.c))}};
    }
    if (!firstWrong)
        return judged;
    // Nothing stored for any pair: the routine's store went into a copy of its own.
    if (untouched == tried)
        firstWrong->cause = {CauseKind::StoredNothing, cNamed, {std::string("pair"), std::string("int16_t")}};
    firstWrong->tally = {wrong, tried};
    judged.push_back(*firstWrong);
    return judged;
}
