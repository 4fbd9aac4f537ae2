// Pettrix as Tolvan calls it at its first click, with the initial texts "10" and "20", and what
// its result must be: the sum, as Tolvan's second message box shows it.
#include "contract_results.h"
#include "contracts.h"
#include "placements.h"
#include "shown_texts.h"

#include "pettrix.h"

#include <optional>
#include <string>

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

// 16-bit two's-complement addition, as a 16-bit add instruction wraps.
int16_t wrappedSum(int a, int b)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(a + b)));
}

// A routine that takes a and b by value receives their addresses in their place, and adds
// what the low 16 bits of each address read as.
bool addedAddresses(const SumCall& call)
{
    const auto low = [](const int16_t* address) { return static_cast<int>(reinterpret_cast<uintptr_t>(address) & 0xFFFF); };
    return call.c == wrappedSum(low(call.a), low(call.b));
}

} // namespace

void checkSums(void* address, Call& call, const int16_t* a, const int16_t* b, int16_t c)
{
    if (call.side() != Side::End)
        return;
    const auto sumdll = reinterpret_cast<Sumdll>(address);
    const SumCall firstClick{a, b, c};
    // A sum made of addresses changes from run to run, and is said so rather than quoted.
    const bool madeOfAddresses = c != wrappedSum(*a, *b) && addedAddresses(firstClick);
    call.shows("message boxes read " + quoted(tolvanHeading()) + ", then " +
               (madeOfAddresses ? "a number made of the addresses of a and b, which changes from run to run"
                                : quoted(tolvanShows(c))));

    // A result made from the addresses changes with them, which is no state of the routine's.
    if (const SumCall again = clickWith(call, sumdll, programsA, programsB);
        again.c != c && !(addedAddresses(firstClick) && addedAddresses(again)))
        call.report({FindingKind::KeepsState, {}, {quoted(tolvanShows(c)), quoted(tolvanShows(again.c))}});

    struct Pair {
        int16_t a, b;
    };
    constexpr Pair pairs[] = {{programsA, programsB}, {-7, 3}, {0, 0}, {32767, 0}, {-32768, 5}, {1, -1}, {32767, 1}};
    const Argument cNamed{"c", positionOf(described.argument("c"))};
    std::optional<Finding> firstWrong;
    int wrong = 0;
    int tried = 0;
    int untouched = 0; // pairs after which c still holds the 0 Tolvan sets
    for (const Pair& pair : pairs) {
        const bool tolvans = pair.a == programsA && pair.b == programsB;
        const SumCall sum = tolvans ? firstClick : clickWith(call, sumdll, pair.a, pair.b);
        const int exact = pair.a + pair.b;
        const Value pairA = int64_t{pair.a}, pairB = int64_t{pair.b};
        // A 16-bit add wraps around; anything else it stores is noted with what Tolvan shows.
        if (exact < -32768 || exact > 32767) {
            if (sum.c != wrappedSum(pair.a, pair.b) && !addedAddresses(sum))
                call.report({FindingKind::SumOutside16Bits, cNamed,
                             {pairA, pairB, int64_t{exact}, int64_t{sum.c}, quoted(tolvanShows(sum.c))}});
            continue;
        }
        ++tried;
        untouched += sum.c == 0 ? 1 : 0;
        if (sum.c == exact)
            continue;
        if (++wrong > 1)
            continue;
        if (addedAddresses(sum))
            firstWrong = Finding{FindingKind::SumOfAddresses, cNamed,
                                 {pairA, pairB, int64_t{exact}, ordinal(positionOf(described.argument("a"))),
                                  ordinal(positionOf(described.argument("b")))}};
        else
            firstWrong = Finding{FindingKind::SumWrong, cNamed,
                                 {pairA, pairB, int64_t{sum.c}, int64_t{exact}, quoted(tolvanShows(sum.c))}};
    }
    if (!firstWrong)
        return;
    // Nothing stored for any pair: the routine's store went into a copy of its own.
    if (untouched == tried)
        firstWrong->cause = {CauseKind::StoredNothing, cNamed, {std::string("pair"), std::string("int16_t")}};
    firstWrong->tally = {wrong, tried};
    call.report(*firstWrong);
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

const Contract pettrixContract{"Pettrix", "Pettrix.dll", "Tolvan", {{"sumdll", checkSumdll}}};
