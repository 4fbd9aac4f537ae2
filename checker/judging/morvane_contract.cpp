// Morvane as Vandrel calls it at its first click, with the initial texts "3" and "1", and what
// its results must be: the square, as Vandrel's lblresult shows it, and the trace in square.dat.
#include "contract_results.h"
#include "contracts.h"
#include "drawn_inputs.h"
#include "placements.h"
#include "shown_texts.h"
#include "square_results.h"

#include "morvane.h"

#include <cfenv>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

// The fixed cases, then a few drawn from the run's seed.
std::vector<SquareCase> casesToTry()
{
    std::vector<SquareCase> cases(squareCases().begin(), squareCases().end());
    for (const DrawnSquare& drawn : drawnSquares())
        cases.push_back({drawn.n, drawn.x});
    return cases;
}

using Square = decltype(&::square);

constexpr const CallDescription& described = morvaneCalls.call("square");

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
    int roundingAfter = rounding;
    call.callAgain([&] {
        setProgramsEnvironment();
        std::fesetround(rounding);
        (void)square(whole, number, result);
        roundingAfter = std::fegetround();
    });
    SquareCall made{*result, roundingAfter, false, {}};
    setProgramsEnvironment();
    made.traced = readTrace(made.lines);
    return made;
}

} // namespace

// The calls, in the routine's process; what they left is judged by judgeSquares.
void checkSquares(void* address, Call& call, double y)
{
    if (call.side() != Side::End)
        return;
    const auto square = reinterpret_cast<Square>(address);
    SquareCalls calls;
    calls.y = y;
    calls.traced = readTrace(calls.trace);
    call.shows(squaresShow(y, calls.traced, calls.trace));
    // A second click with Vandrel's own texts.
    calls.again = clickWith(call, square, described.argument("n").number, described.argument("x").number, FE_TONEAREST).y;
    for (const SquareCase& one : casesToTry())
        for (const Rounding& rounding : squareRoundings()) {
            const SquareCall made = clickWith(call, square, one.n, one.x, rounding.direction);
            calls.made.push_back({one, rounding, made.y, made.roundingAfter, made.traced, made.lines});
        }
    // In the shared storage the checker reads each y itself; the traces and the rounding
    // direction after each call only this process sees.
    for (const Finding& finding : call.shared() ? judgeTraces(calls) : judgeSquares(calls))
        call.report(finding);
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

// What checkSquare places, click by click: n, x and y of Vandrel's first click, of a second
// click, of each case under each rounding direction, all in the first call; then n, x and y of
// the second call.
SharedPlan squarePlan()
{
    SharedPlan plan;
    const auto click = [&plan](uint32_t call, double n, double x) {
        plan.pieces.push_back(sharedValue(call, described.argument("n"), n));
        plan.pieces.push_back(sharedValue(call, described.argument("x"), x));
        plan.pieces.push_back(sharedValue(call, described.argument("y"), described.argument("y").number));
        ++plan.calls;
    };
    const double programsN = described.argument("n").number;
    const double programsX = described.argument("x").number;
    click(1, programsN, programsX);
    click(1, programsN, programsX);
    for (const SquareCase& one : casesToTry())
        for (std::size_t rounding = 0; rounding < squareRoundings().size(); ++rounding)
            click(1, one.n, one.x);
    click(2, programsN, programsX);
    return plan;
}

// Each y of the first call as the shared storage holds it after the calls; nothing judged
// unless every call of the first returned.
SharedJudgement judgeSquare(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const auto yAt = [&](std::size_t click) {
        double y = 0;
        std::memcpy(&y, bytes + layout.slots.at(3 * click + 2).data, sizeof y);
        return y;
    };
    SharedJudgement judged;
    const std::size_t firstCallClicks = 2 + casesToTry().size() * squareRoundings().size();
    if (returned < firstCallClicks)
        return judged;
    SquareCalls calls;
    calls.y = yAt(0);
    calls.again = yAt(1);
    std::size_t next = 2;
    for (const SquareCase& one : casesToTry())
        for (const Rounding& rounding : squareRoundings())
            calls.made.push_back({one, rounding, yAt(next++), rounding.direction, true, {}});
    judged.findings = judgeSquareValues(calls);
    return judged;
}

const SharedCalls squareShared{squarePlan, judgeSquare};

} // namespace

const Contract morvaneContract{"Morvane", "Morvane.dll", "Vandrel",
                               {{"square", checkSquare, "square.dat", clickOnce, &squareShared}}, true};
