// Pettrix as Tolvan calls it at its first click, with the initial texts "10" and "20", and what
// its result must be: the sum, as Tolvan's second message box shows it.
#include "contract_results.h"
#include "contracts.h"
#include "drawn_inputs.h"
#include "placements.h"
#include "shown_texts.h"
#include "sum_results.h"

#include "pettrix.h"

#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using Sumdll = decltype(&::sumdll);

constexpr const CallDescription& described = pettrixCalls.call("sumdll");
// Tolvan's first click: the texts "10" and "20".
constexpr auto programsA = static_cast<int16_t>(described.argument("a").number);
constexpr auto programsB = static_cast<int16_t>(described.argument("b").number);

// Tolvan's own pair first, then 16-bit sums, and two outside 16 bits.
constexpr DrawnPair fixedPairs[] = {{programsA, programsB}, {-7, 3}, {0, 0}, {32767, 0}, {-32768, 5}, {1, -1}, {32767, 1}};

// The fixed pairs, then a few drawn from the run's seed.
std::vector<DrawnPair> pairsToTry()
{
    std::vector<DrawnPair> pairs(std::begin(fixedPairs), std::end(fixedPairs));
    for (const DrawnPair& drawn : drawnPairs())
        pairs.push_back(drawn);
    return pairs;
}

constexpr bool tolvans(const DrawnPair& pair)
{
    return pair.a == programsA && pair.b == programsB;
}

struct SumCall {
    const int16_t* a;
    const int16_t* b;
    int16_t c;
};

// One more click with a and b holding other numbers, placed as Tolvan passes them, in the
// programs' floating-point environment.
SumCall clickWith(Call& call, Sumdll sumdll, int16_t a, int16_t b)
{
    int16_t* first = placeOtherValue(call, described.argument("a"), a);
    int16_t* second = placeOtherValue(call, described.argument("b"), b);
    int16_t* sum = placeValue<int16_t>(call, described.argument("c"));
    call.callAgain([&] {
        setProgramsEnvironment();
        sumdll(first, second, sum);
        setProgramsEnvironment();
    });
    return {first, second, *sum};
}

// A routine that takes a and b by value receives their addresses in their place, and adds
// what the low 16 bits of each address read as.
bool addedAddresses(const SumCall& call)
{
    const auto low = [](const int16_t* address) { return static_cast<int>(reinterpret_cast<uintptr_t>(address) & 0xFFFF); };
    return call.c == wrappedSum(low(call.a), low(call.b));
}

SumClick clickOf(const SumCall& call)
{
    return {*call.a, *call.b, call.c, addedAddresses(call)};
}

} // namespace

// The calls, in the routine's process; what they left is judged by judgeSums.
void checkSums(void* address, Call& call, const int16_t* a, const int16_t* b, int16_t c)
{
    if (call.side() != Side::End)
        return;
    const auto sumdll = reinterpret_cast<Sumdll>(address);
    SumClicks clicks;
    clicks.first = clickOf(SumCall{a, b, c});
    // In the shared storage, the checker reads what the clicks left itself.
    if (!call.shared())
        call.shows(sumsShow(clicks.first));
    clicks.again = clickOf(clickWith(call, sumdll, programsA, programsB));
    for (const DrawnPair& pair : pairsToTry())
        clicks.pairs.push_back(tolvans(pair) ? clicks.first : clickOf(clickWith(call, sumdll, pair.a, pair.b)));
    if (call.shared())
        return;
    for (const Finding& finding : judgeSums(clicks))
        call.report(finding);
}

namespace {

// a, b and c are 16-bit integers by their own addresses; a and b are only read, so they lie
// in read-only pages; c holds 0 and receives the sum.
void checkSumdll(void* address, Call& call)
{
    const auto sumdll = reinterpret_cast<decltype(&::sumdll)>(address);
    int16_t* a = placeValue<int16_t>(call, described.argument("a"));
    int16_t* b = placeValue<int16_t>(call, described.argument("b"));
    int16_t* c = placeValue<int16_t>(call, described.argument("c"));
    call.run([&] { sumdll(a, b, c); });
    checkSums(address, call, a, b, *c);
}

// What checkSumdll places, click by click: a, b and c of Tolvan's first click, of a second
// click, of each further pair, all in the first call; then a, b and c of the second call.
SharedPlan sumdllPlan()
{
    SharedPlan plan;
    const auto click = [&plan](uint32_t call, int16_t a, int16_t b) {
        plan.pieces.push_back(sharedValue(call, described.argument("a"), a));
        plan.pieces.push_back(sharedValue(call, described.argument("b"), b));
        plan.pieces.push_back(
            sharedValue(call, described.argument("c"), static_cast<int16_t>(described.argument("c").number)));
        ++plan.calls;
    };
    click(1, programsA, programsB);
    click(1, programsA, programsB);
    for (const DrawnPair& pair : pairsToTry())
        if (!tolvans(pair))
            click(1, pair.a, pair.b);
    click(2, programsA, programsB);
    return plan;
}

// The clicks of the first call as the shared storage holds them after the calls: a and b as
// they were passed, c as the routine left it.
SharedJudgement judgeSumdll(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const auto clickAt = [&](std::size_t click) {
        const auto number = [](const std::vector<std::byte>& from) {
            int16_t value = 0;
            std::memcpy(&value, from.data(), sizeof value);
            return value;
        };
        const ArenaSlot& a = layout.slots.at(3 * click);
        const ArenaSlot& b = layout.slots.at(3 * click + 1);
        const ArenaSlot& c = layout.slots.at(3 * click + 2);
        SumClick sum;
        sum.a = number(a.piece.initial);
        sum.b = number(b.piece.initial);
        std::memcpy(&sum.c, bytes + c.data, sizeof sum.c);
        sum.addedAddresses = sum.c == wrappedSum(lowAddressBits(a), lowAddressBits(b));
        return sum;
    };
    SharedJudgement judged;
    if (returned >= 1)
        judged.shows = sumsShow(clickAt(0));
    // Every click of the first call: Tolvan's, the second, and one for each other pair.
    const std::size_t firstCallClicks = 2 + pairsToTry().size() - 1;
    if (returned < firstCallClicks)
        return judged;
    SumClicks clicks;
    clicks.first = clickAt(0);
    clicks.again = clickAt(1);
    std::size_t next = 2;
    for (const DrawnPair& pair : pairsToTry())
        clicks.pairs.push_back(tolvans(pair) ? clicks.first : clickAt(next++));
    judged.findings = judgeSums(clicks);
    return judged;
}

const SharedCalls sumdllShared{sumdllPlan, judgeSumdll};

} // namespace

const Contract pettrixContract{"Pettrix", "Pettrix.dll", "Tolvan", {{"sumdll", checkSumdll, nullptr, nullptr, &sumdllShared}}, true};
