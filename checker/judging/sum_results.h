// What Pettrix's sums must be, judged from what the clicks left: pure functions of the values,
// apart from the calls that made them.
#pragma once

#include "finding.h"

#include <cstdint>
#include <string>
#include <vector>

// One click: a and b as passed, c as the routine left it, and whether c is what a routine that
// takes a and b by value stores: the sum of the low 16 bits of their addresses.
struct SumClick {
    int16_t a = 0, b = 0, c = 0;
    bool addedAddresses = false;
};

// What the calls of one check left: Tolvan's first click, a second click with the same
// numbers, and the clicks with the checker's pairs (Tolvan's first among them).
struct SumClicks {
    SumClick first;
    SumClick again;
    std::vector<SumClick> pairs;
};

// 16-bit two's-complement addition, as a 16-bit add instruction wraps.
int16_t wrappedSum(int a, int b);

// What Tolvan's message boxes read after the first click: said as soon as it is known, before
// the calls that may end the process.
std::string sumsShow(const SumClick& first);

// c holds a + b for each pair whose sum fits 16 bits; one outside 16 bits may hold anything
// but is noted when it is not the wrapped sum; a second click that shows something else is a
// note.
std::vector<Finding> judgeSums(const SumClicks& clicks);
