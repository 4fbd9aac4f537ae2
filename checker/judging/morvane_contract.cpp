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
#include <algorithm>
#include <sstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Square = decltype(&::square);

constexpr const CallDescription& described = morvaneCalls.call("square");

struct SquareCall {
    double y;
    int roundingAfter;
    bool traced;                     // square.dat exists after the call
    std::vector<std::string> lines;  // its last two lines, or fewer
};

// The last two lines of square.dat in the call's directory as they stand on disk, each without
// its line terminator; nothing when there is no such file. A link in its place is not followed
// (it is no trace, wherever it points), and of a file of any length only the last bytes are
// read, as many as two quoted lines can take.
bool readTrace(std::vector<std::string>& lastTwo)
{
    const int file = open("square.dat", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat status {};
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        return false;
    }
    constexpr off_t tail = 4096;
    const off_t from = std::max<off_t>(0, status.st_size - tail);
    std::string bytes(static_cast<std::size_t>(status.st_size - from), '\0');
    const ssize_t read = pread(file, bytes.data(), bytes.size(), from);
    close(file);
    bytes.resize(static_cast<std::size_t>(std::max<ssize_t>(read, 0)));
    std::vector<std::string> lines;
    std::istringstream text(bytes);
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    // The first line of a tail may be the end of a longer one.
    if (from > 0 && !lines.empty())
        lines.erase(lines.begin());
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
    // The fixed cases, then a few drawn from the run's seed.
    std::vector<SquareCase> cases(squareCases().begin(), squareCases().end());
    for (const DrawnSquare& drawn : drawnSquares())
        cases.push_back({drawn.n, drawn.x});
    for (const SquareCase& one : cases)
        for (const Rounding& rounding : squareRoundings()) {
            const SquareCall made = clickWith(call, square, one.n, one.x, rounding.direction);
            calls.made.push_back({one, rounding, made.y, made.roundingAfter, made.traced, made.lines});
        }
    for (const Finding& finding : judgeSquares(calls))
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

} // namespace

const Contract morvaneContract{"Morvane", "Morvane.dll", "Vandrel", {{"square", checkSquare, "square.dat", clickOnce}}, true};
