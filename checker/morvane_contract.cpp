// Morvane as Vandrel calls it at its first click, with the initial texts "3" and "1".
#include "contract_results.h"
#include "contracts.h"
#include "placements.h"

#include "morvane.h"

namespace {

// n and x are only read, so they lie in read-only pages; y holds 0 and receives the square.
// All three are 64-bit reals by their own addresses.
void checkSquare(void* address, Call& call)
{
    const auto square = reinterpret_cast<decltype(&::square)>(address);
    constexpr const CallDescription& described = morvaneCalls.call("square");
    double* n = placeValue<double>(call, described.argument("n"));
    double* x = placeValue<double>(call, described.argument("x"));
    double* y = placeValue<double>(call, described.argument("y"));
    call.run([&] { (void)square(n, x, y); });
    checkSquares(address, call, *y);
}

} // namespace

const Contract morvaneContract{"Morvane", "Morvane.dll", "Vandrel", {{"square", checkSquare}}};
