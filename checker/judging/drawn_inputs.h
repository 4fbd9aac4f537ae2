// The inputs drawn at random: besides the fixed inputs each contract always tries, a few that
// change from run to run, so that a routine right only for the fixed ones is found out. They
// come from one seed, which the report gives, so that a run can be repeated exactly.
#pragma once

#include <cstdint>
#include <vector>

// The seed of this run's drawn inputs; set once, before the library's process starts, so
// that every process of the check draws the same.
void setInputSeed(uint64_t seed);
uint64_t inputSeed();

// A seed that changes from run to run.
uint64_t freshSeed();

// Pettrix: pairs of 16-bit integers whose sum fits 16 bits.
struct DrawnPair {
    int16_t a, b;
};
std::vector<DrawnPair> drawnPairs();

// Morvane: n and x, x a real with a fraction, as a learner types it into Vandrel.
struct DrawnSquare {
    double n, x;
};
std::vector<DrawnSquare> drawnSquares();
