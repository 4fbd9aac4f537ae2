// Pettrix as Tolvan calls it at its first click, with the initial texts "10" and "20", and what
// its result must be: the sum, as Tolvan's second message box shows it.
#include "contract_results.h"
#include "contracts.h"
#include "drawn_inputs.h"
#include "placements.h"
#include "shown_texts.h"
#include "sum_results.h"

#include "pettrix.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using Sumdll = decltype(&::sumdll);

constexpr const CallDescription& described = pettrixCalls.call("sumdll");
// Tolvan's first click: the texts "10" and "20".
constexpr auto programsA = static_cast<int16_t>(described.argument("a").number);
constexpr auto programsB = static_cast<int16_t>(described.argument("b").number);

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
    setProgramsEnvironment();
    sumdll(first, second, sum);
    setProgramsEnvironment();
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
    call.shows(sumsShow(clicks.first));
    clicks.again = clickOf(clickWith(call, sumdll, programsA, programsB));
    // Tolvan's own pair first, then 16-bit sums, two outside 16 bits, and a few drawn from the
    // run's seed.
    std::vector<DrawnPair> pairs = {{programsA, programsB}, {-7, 3}, {0, 0}, {32767, 0}, {-32768, 5}, {1, -1}, {32767, 1}};
    for (const DrawnPair& drawn : drawnPairs())
        pairs.push_back(drawn);
    for (const DrawnPair& pair : pairs) {
        const bool tolvans = pair.a == programsA && pair.b == programsB;
        clicks.pairs.push_back(tolvans ? clicks.first : clickOf(clickWith(call, sumdll, pair.a, pair.b)));
    }
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

} // namespace

const Contract pettrixContract{"Pettrix", "Pettrix.dll", "Tolvan", {{"sumdll", checkSumdll}}, true};
