// Morvane as Vandrel calls it at its first click, with the initial texts "3" and "1", and what
// its results must be: the square, as Vandrel's lblresult shows it, and the trace in square.dat.
#include "contract_results.h"
#include "contracts.h"
#include "placements.h"
#include "shown_texts.h"

#include "morvane.h"

#include <cfenv>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using Square = decltype(&::square);

constexpr const CallDescription& described = morvaneCalls.call("square");

struct Rounding {
    int direction;
    const char* words;
};

// Each truncation of the trace must hold whatever direction the caller has set, and the call
// must put the caller's direction back. The square itself is judged with rounding to nearest
// alone: every program calls square with that setting, so y under another one is never shown.
constexpr Rounding roundings[] = {
    {FE_TONEAREST, "to nearest"},
    {FE_TOWARDZERO, "toward zero"},
    {FE_UPWARD, "upward"},
    {FE_DOWNWARD, "downward"},
};

struct SquareCase {
    double n, x;
};

constexpr SquareCase cases[] = {{1, 3},     {1, 1.1}, {1, 2.5},    {1, -2.7}, {1, 0},
                                {1, 317},   {1, -10000}, {1.9, 3}, {-1.9, 3}};

struct SquareCall {
    double y;
    int roundingAfter;
    bool traced;                     // square.dat exists after the call
    std::vector<std::string> lines;  // its last two lines, or fewer
};

// The lines of square.dat in the call's directory as they stand on disk, each without its
// line terminator; nothing when there is no such file.
bool readTrace(std::vector<std::string>& lastTwo)
{
    std::ifstream file("square.dat", std::ios::binary);
    if (!file)
        return false;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    lastTwo.assign(lines.size() > 2 ? lines.end() - 2 : lines.begin(), lines.end());
    return true;
}

SquareCall clickWith(Call& call, Square square, double n, double x, int rounding)
{
    double* whole = placeOtherValue(call, described.argument("n"), n);
    double* number = placeOtherValue(call, described.argument("x"), x);
    double* result = placeValue<double>(call, described.argument("y"));
    setProgramsEnvironment();
    std::fesetround(rounding);
    (void)square(whole, number, result);
    SquareCall made{*result, std::fegetround(), false, {}};
    setProgramsEnvironment();
    made.traced = readTrace(made.lines);
    return made;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

CauseKind causeOfSquare(double x, double y)
{
    const float narrowed = static_cast<float>(x * x);
    float low = 0;
    uint32_t high = 0;
    std::memcpy(&low, &y, sizeof low);
    std::memcpy(&high, reinterpret_cast<const char*>(&y) + sizeof low, sizeof high);
    if (sameBits(y, x * x))
        return CauseKind::SquareAt64Bits;
    if (std::memcmp(&low, &narrowed, sizeof low) == 0 && high == 0)
        return CauseKind::SingleInFirstBytes;
    return CauseKind::None;
}

namespace {

std::string linesText(const std::vector<std::string>& lines)
{
    if (lines.empty())
        return "no lines";
    if (lines.size() == 1)
        return "only the line " + quoted(lines[0]);
    return quoted(lines[0]) + " and " + quoted(lines[1]);
}

// Record 1 is the whole part of n alone on its line, with any number of blanks before it (a
// list-directed write puts some there, a C printf none); record 2 is exact.
bool traceHolds(const std::vector<std::string>& lines, const std::string& first, const std::string& second)
{
    if (lines.size() != 2)
        return false;
    const std::size_t start = lines[0].find_first_not_of(' ');
    return start != std::string::npos && lines[0].substr(start) == first && lines[1] == second;
}

// One finding for the first wrong call of a kind, with how many were wrong.
struct FirstWrong {
    std::optional<Finding> finding;
    int count = 0;
    void add(const Finding& wrong)
    {
        if (count++ == 0)
            finding = wrong;
    }
    // `calls`: how many calls were judged for this kind.
    void report(const Call& call, int calls)
    {
        if (!finding)
            return;
        finding->tally = {count, calls};
        call.report(*finding);
    }
};

} // namespace

void checkSquares(void* address, Call& call, double y)
{
    if (call.side() != Side::End)
        return;
    const auto square = reinterpret_cast<Square>(address);

    std::vector<std::string> firstTrace;
    const bool traced = readTrace(firstTrace);
    call.shows("lblresult reads " + quoted(vandrelShows(y)) + "; square.dat ends with " +
               (traced ? linesText(firstTrace) : "nothing, for there is no such file"));

    // A second click with Vandrel's own texts.
    if (const SquareCall again = clickWith(call, square, described.argument("n").number,
                                           described.argument("x").number, FE_TONEAREST);
        !sameBits(again.y, y))
        call.report({FindingKind::KeepsState, {}, {quoted(vandrelShows(y)), quoted(vandrelShows(again.y))}});

    const Argument yNamed{"y", positionOf(described.argument("y"))};
    FirstWrong squares, traces, roundingsLeft;
    int calls = 0;
    int squaresJudged = 0;
    int untouched = 0; // calls after which y still holds what Vandrel put there
    for (const SquareCase& one : cases) {
        const double expected = static_cast<float>(one.x * one.x);
        const std::string record1 = traceRecord1(one.n);
        for (const Rounding& rounding : roundings) {
            const SquareCall made = clickWith(call, square, one.n, one.x, rounding.direction);
            ++calls;
            const bool nearest = rounding.direction == FE_TONEAREST;
            untouched += sameBits(made.y, described.argument("y").number) ? 1 : 0;
            const std::string which = "x = " + shortestText(one.x) +
                                      (one.n != 1 ? " and n = " + shortestText(one.n) : std::string()) +
                                      (nearest ? std::string()
                                               : std::string(" with the caller's rounding ") + rounding.words);
            // Record 2 shows y as the call stored it, truncated: under another direction the
            // nearest 32-bit real may lie on the other side of a whole number. A y the call left
            // as Vandrel set it (taken by value, which is said above) shows the square itself.
            const bool stored = !sameBits(made.y, described.argument("y").number);
            const std::string record2 = traceRecord2(one.x, nearest || !stored ? expected : made.y);
            if (nearest) {
                ++squaresJudged;
                if (!sameBits(made.y, expected))
                    squares.add({FindingKind::SquareWrong, yNamed,
                                 {which, shortestText(made.y), shortestText(expected), quoted(vandrelShows(made.y))},
                                 {causeOfSquare(one.x, made.y)}});
            }
            if (!made.traced)
                traces.add({FindingKind::TraceMissing, {}, {which}});
            else if (!traceHolds(made.lines, record1, record2))
                traces.add({FindingKind::TraceWrong, {}, {which, linesText(made.lines), quoted(record1), quoted(record2)},
                            {made.lines.empty() ? CauseKind::TraceUnflushed : CauseKind::None}});
            if (made.roundingAfter != rounding.direction)
                roundingsLeft.add({FindingKind::RoundingNotPutBack, {}, {which}});
        }
    }
    // Nothing stored for any call: the routine's store went into a copy of its own.
    if (squares.count > 0 && untouched == calls)
        squares.finding->cause = {CauseKind::StoredNothing, yNamed, {std::string("call"), std::string("double")}};
    squares.report(call, squaresJudged);
    traces.report(call, calls);
    roundingsLeft.report(call, calls);
}

namespace {

// n and x are only read, so they lie in read-only pages; y holds 0 and receives the square.
// All three are 64-bit reals by their own addresses.
void checkSquare(void* address, Call& call)
{
    const auto square = reinterpret_cast<decltype(&::square)>(address);
    double* n = placeValue<double>(call, described.argument("n"));
    double* x = placeValue<double>(call, described.argument("x"));
    double* y = placeValue<double>(call, described.argument("y"));
    call.run([&] { (void)square(n, x, y); });
    checkSquares(address, call, *y);
}

// Vandrel's first click once more, with nothing looked at but whether the call returns.
void clickOnce(void* address, Call& call)
{
    (void)clickWith(call, reinterpret_cast<Square>(address), described.argument("n").number,
                    described.argument("x").number, FE_TONEAREST);
}

} // namespace

const Contract morvaneContract{"Morvane", "Morvane.dll", "Vandrel", {{"square", checkSquare, "square.dat", clickOnce}}};
