#include "drawn_inputs.h"

#include <random>

namespace {

constexpr int pairsDrawn = 3;
constexpr int squaresDrawn = 2;

uint64_t seed = 0;

// The engine's output is fixed by the C++ standard for a seed, so a seed gives the same
// inputs wherever the checker is built; each kind of input draws from a stream of its own,
// so adding one kind changes none of the others.
std::mt19937_64 stream(uint64_t kind)
{
    std::seed_seq sequence{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32), static_cast<uint32_t>(kind)};
    return std::mt19937_64(sequence);
}

// A number from `low` to `high` (both included), from the engine's bits alone.
int64_t between(std::mt19937_64& engine, int64_t low, int64_t high)
{
    return low + static_cast<int64_t>(engine() % static_cast<uint64_t>(high - low + 1));
}

} // namespace

void setInputSeed(uint64_t chosen)
{
    seed = chosen;
}

uint64_t inputSeed()
{
    return seed;
}

uint64_t freshSeed()
{
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32 | device()) % 1000000000000ull;
}

std::vector<DrawnPair> drawnPairs()
{
    std::mt19937_64 engine = stream(1);
    std::vector<DrawnPair> pairs;
    // Each from -16384 to 16383: the sum fits 16 bits.
    for (int i = 0; i < pairsDrawn; ++i) {
        const auto a = static_cast<int16_t>(between(engine, -16384, 16383));
        const auto b = static_cast<int16_t>(between(engine, -16384, 16383));
        pairs.push_back({a, b});
    }
    return pairs;
}

std::vector<DrawnSquare> drawnSquares()
{
    std::mt19937_64 engine = stream(2);
    std::vector<DrawnSquare> squares;
    // n a whole number as Vandrel's text box gives it; x with two decimals, from -1000 to 1000.
    for (int i = 0; i < squaresDrawn; ++i) {
        const auto n = static_cast<double>(between(engine, 1, 999));
        const double x = static_cast<double>(between(engine, -100000, 100000)) / 100;
        squares.push_back({n, x});
    }
    return squares;
}
