// What Ostrum's square and transnumber must give, judged from what the calls left: pure
// functions of the values, apart from the calls that made them.
#pragma once

#include "finding.h"

#include "routine_abi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct OstrumJudged {
    std::string shows; // what Korvik's label shows after the first click
    std::vector<Finding> findings;
};

// square: test 3's x and result; the register the result followed when the routine was called
// with other reals in the registers and the same x (none when it did not); the result of a
// second click; and, called as a routine of a 64-bit real result, what came back whole.
struct SquareResultCalls {
    float x = 0, result = 0;
    std::optional<std::string> followedRegister;
    float againX = 0, againResult = 0;
    float wideX = 0;
    double wide = 0;
};

// What Label1 shows after test 3: said as soon as it is known, before the calls that may end
// the process.
std::string squareResultShows(float x, float result, const std::optional<std::string>& followedRegister);

// A result that follows a register Korvik never sets is no one number; a 64-bit real where
// Korvik reads a 32-bit one is a fault; a second click that shows something else a note.
OstrumJudged judgeSquareResult(const SquareResultCalls& calls);

// transnumber: one click in fresh storage: the low 16 bits of the addresses of a and b, and
// what they hold after the call.
struct TransnumberClick {
    int16_t lowBits[2] = {0, 0};
    int16_t values[2] = {0, 0};
};

// Test 5's a and b after the call, and three more clicks at other addresses (two mappings
// share the low 16 bits of their addresses only by chance, so of three addresses of each
// argument two differ there).
struct TransnumberCalls {
    int16_t a = 0, b = 0;
    TransnumberClick second, third, fourth;
};

// A value that follows the address of the other argument is no one number: a fault; a second
// click that shows something else is a note.
OstrumJudged judgeTransnumber(const TransnumberCalls& calls);

// chara: a second click whose text B shows otherwise than the first's is a note. Each text is
// the bytes of text B's 8-bit copy as the call left them, as many as Korvik passes.
std::optional<Finding> judgeCharaAgain(const char* textB, const char* againTextB);

// chara: lengthB as the routine left it; Korvik does not read it back, so a change is a note.
std::optional<Finding> judgeLengthB(int32_t lengthB);

// xArray: the count and both arrays' elements as a call left them.
struct XArrayLeft {
    int16_t count = 0;
    std::vector<VARIANT> x, y;
};

// A count beyond the arrays' elements is a note; an element whose tag names another kind than
// its payload holds is a fault, with the first of them and how many there are.
std::vector<Finding> judgeXArray(const XArrayLeft& left);

// A second click whose listing shows otherwise than the first's is a note.
std::optional<Finding> judgeXArrayAgain(const XArrayLeft& first, const XArrayLeft& again);
