// Pettrix as Tolvan calls it at its first click, with the initial texts "10" and "20".
#include "contract_results.h"
#include "contracts.h"
#include "placements.h"

#include "pettrix.h"

namespace {

// a, b and c are 16-bit integers by their own addresses; a and b are only read, so they lie
// in read-only pages; c holds 0 and receives the sum.
void checkSumdll(void* address, Call& call)
{
    const auto sumdll = reinterpret_cast<decltype(&::sumdll)>(address);
    constexpr const CallDescription& described = pettrixCalls.call("sumdll");
    int16_t* a = placeValue<int16_t>(call, described.argument("a"));
    int16_t* b = placeValue<int16_t>(call, described.argument("b"));
    int16_t* c = placeValue<int16_t>(call, described.argument("c"));
    call.run([&] { sumdll(a, b, c); });
    checkSums(address, call, a, b, *c);
}

} // namespace

const Contract pettrixContract{"Pettrix", "Pettrix.dll", "Tolvan", {{"sumdll", checkSumdll}}};
