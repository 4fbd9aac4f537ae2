// Morvane as Vandrel calls it at its first click, with the initial texts "3" and "1", and what
// its results must be: the square, as Vandrel's lblresult shows it, and the trace in square.dat.
#include "contract_results.h"
#include "contracts.h"
#include "drawn_inputs.h"
#include "placements.h"
#include "shown_texts.h"
#include "square_results.h"

#include "morvane.h"

#include <algorithm>
#include <cfenv>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// How much of the end of square.dat is read: the last two lines of a trace, and more than any
// line the contract's records make.
constexpr std::size_t traceTailRoom = 512;
// The lines at the end of square.dat in the call's directory as they stand on disk, each
// without its line terminator, at most the last two; false when there is no such file. A link
// is not followed and nothing but a regular file is read, and only its last bytes: a line cut
// at the start of what was read begins with "...".
bool readTrace(std::vector<std::string>& lastTwo)
{
    lastTwo.clear();
    const int file = open("square.dat", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat status {};
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        return false;
    }
    const off_t from = std::max<off_t>(0, status.st_size - static_cast<off_t>(traceTailRoom));
    std::string tail(traceTailRoom, '\0');
    const ssize_t got = pread(file, tail.data(), tail.size(), from);
    close(file);
    tail.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < tail.size();) {
        const std::size_t lineEnd = std::min(tail.find('\n', at), tail.size());
        std::string line = tail.substr(at, lineEnd - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        at = lineEnd + 1;
    }
    if (from > 0 && !lines.empty())
        lines.front().insert(0, "...");
    lastTwo.assign(lines.size() > 2 ? lines.end() - 2 : lines.begin(), lines.end());
    for (std::string& line : lastTwo)
        line.resize(std::min(line.size(), traceLineRoom));
    return true;
}

struct SquareCall {
    double y;
    int roundingAfter;
    bool traced;                     // square.dat exists after the call
    std::vector<std::string> lines;  // its last two lines, or fewer
};

// Click `click` of the first call: its record in the shared storage, when there is one.
TraceRecord* recordOf(const Call& call, std::size_t click)
{
    return call.record<TraceRecord>(click);
}

SquareCall clickWith(Call& call, Square square, double n, double x, int rounding, TraceRecord* recorded)
{
    double* whole = placeOtherValue(call, described.argument("n"), n);
    double* number = placeOtherValue(call, described.argument("x"), x);
    double* result = placeValue<double>(call, described.argument("y"));
    SquareCall made{0, rounding, false, {}};
    call.callAgain([&] {
        setProgramsEnvironment();
        std::fesetround(rounding);
        (void)square(whole, number, result);
        made.roundingAfter = std::fegetround();
        setProgramsEnvironment();
        made.traced = readTrace(made.lines);
        if (recorded)
            *recorded = traceRecordOf(made.roundingAfter, made.traced, made.lines);
    });
    made.y = *result;
    return made;
}

} // namespace

// The calls, in the routine's process; what they left is judged by judgeSquares, in the shared
// storage by the checker, from the bytes and the records.
void checkSquares(void* address, Call& call, double y)
{
    if (call.side() != Side::End)
        return;
    const auto square = reinterpret_cast<Square>(address);
    SquareCalls calls;
    calls.y = y;
    calls.traced = readTrace(calls.trace);
    if (!call.shared())
        call.shows(squaresShow(y, calls.traced, calls.trace));
    // A second click with Vandrel's own texts.
    calls.again = clickWith(call, square, described.argument("n").number, described.argument("x").number, FE_TONEAREST,
                            recordOf(call, 1))
                      .y;
    std::size_t click = 2;
    for (const SquareCase& one : casesToTry())
        for (const Rounding& rounding : squareRoundings()) {
            const SquareCall made = clickWith(call, square, one.n, one.x, rounding.direction, recordOf(call, click++));
            calls.made.push_back({one, rounding, made.y, made.roundingAfter, made.traced, made.lines});
        }
    if (call.shared())
        return;
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
    call.run([&] {
        (void)square(n, x, y);
        // Vandrel's first click: the trace as it stands when the call returns.
        if (call.side() == Side::End && call.shared()) {
            std::vector<std::string> lines;
            const bool traced = readTrace(lines);
            if (TraceRecord* first = recordOf(call, 0))
                *first = traceRecordOf(0, traced, lines);
        }
    });
    checkSquares(address, call, *y);
}

// Vandrel's first click once more, with nothing looked at but whether the call returns.
void clickOnce(void* address, Call& call)
{
    (void)clickWith(call, reinterpret_cast<Square>(address), described.argument("n").number,
                    described.argument("x").number, FE_TONEAREST, nullptr);
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
    plan.recordSize = (2 + casesToTry().size() * squareRoundings().size()) * sizeof(TraceRecord);
    return plan;
}

// Each y of the first call as the shared storage holds it after the calls, and what was seen
// of each click's trace and rounding right after it; lblresult and square.dat once the first
// click has returned, nothing else judged unless every click of the first call returned.
SharedJudgement judgeSquare(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const auto yAt = [&](std::size_t click) {
        double y = 0;
        std::memcpy(&y, bytes + layout.slots.at(3 * click + 2).data, sizeof y);
        return y;
    };
    const auto recordAt = [&](std::size_t click) {
        TraceRecord record{};
        if (layout.recordSize >= (click + 1) * sizeof record)
            std::memcpy(&record, bytes + layout.records + click * sizeof record, sizeof record);
        return record;
    };
    SharedJudgement judged;
    if (returned < 1)
        return judged;
    SquareCalls calls;
    calls.y = yAt(0);
    calls.traced = recordAt(0).traced != 0;
    calls.trace = linesOf(recordAt(0));
    judged.shows = squaresShow(calls.y, calls.traced, calls.trace);
    const std::size_t firstCallClicks = 2 + casesToTry().size() * squareRoundings().size();
    if (returned < firstCallClicks)
        return judged;
    calls.again = yAt(1);
    std::size_t next = 2;
    for (const SquareCase& one : casesToTry())
        for (const Rounding& rounding : squareRoundings()) {
            const TraceRecord record = recordAt(next);
            calls.made.push_back({one, rounding, yAt(next), record.roundingAfter, record.traced != 0, linesOf(record)});
            ++next;
        }
    judged.findings = judgeSquares(calls);
    return judged;
}

const SharedCalls squareShared{squarePlan, judgeSquare};

} // namespace

const Contract morvaneContract{"Morvane", "Morvane.dll", "Vandrel",
                               {{"square", checkSquare, "square.dat", clickOnce, &squareShared}}, true};
