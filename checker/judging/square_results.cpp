#include "square_results.h"

#include "contract_results.h"
#include "call_descriptions.h"
#include "placements.h"
#include "shown_texts.h"
#include "wording.h"

#include <algorithm>
#include <cfenv>
#include <cstring>
#include <optional>

namespace {

constexpr const CallDescription& described = morvaneCalls.call("square");

constexpr Rounding roundings[] = {
    {FE_TONEAREST, "to nearest"},
    {FE_TOWARDZERO, "toward zero"},
    {FE_UPWARD, "upward"},
    {FE_DOWNWARD, "downward"},
};

constexpr SquareCase cases[] = {{1, 3},   {1, 1.1},    {1, 2.5}, {1, -2.7}, {1, 0},
                                {1, 317}, {1, -10000}, {1.9, 3}, {-1.9, 3}};

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
    void report(std::vector<Finding>& findings, int calls)
    {
        if (!finding)
            return;
        finding->tally = {count, calls};
        findings.push_back(*finding);
    }
};

// How a finding names a call: "x = 3", "x = 2.5 and n = 2 with the caller's rounding toward zero".
std::string caseWords(const SquareMade& call)
{
    const SquareCase& one = call.given;
    return "x = " + shortestText(one.x) + (one.n != 1 ? " and n = " + shortestText(one.n) : std::string()) +
        (call.rounding.direction == FE_TONEAREST ? std::string()
                                                 : std::string(" with the caller's rounding ") + call.rounding.words);
}

} // namespace

std::span<const Rounding> squareRoundings()
{
    return roundings;
}

std::span<const SquareCase> squareCases()
{
    return cases;
}

std::string squaresShow(double y, bool traced, const std::vector<std::string>& trace)
{
    return "lblresult reads " + quoted(vandrelShows(y)) + "; square.dat ends with " +
        (traced ? linesText(trace) : "nothing, for there is no such file");
}

std::vector<Finding> judgeSquareValues(const SquareCalls& made)
{
    std::vector<Finding> judged;
    const double y = made.y;
    if (!sameBits(made.again, y))
        judged.push_back({FindingKind::KeepsState, {}, {quoted(vandrelShows(y)), quoted(vandrelShows(made.again))}});

    const Argument yNamed{"y", positionOf(described.argument("y"))};
    FirstWrong squares;
    int calls = 0;
    int squaresJudged = 0;
    int untouched = 0; // calls after which y still holds what Vandrel put there
    for (const SquareMade& call : made.made) {
        const SquareCase& one = call.given;
        const double expected = static_cast<float>(one.x * one.x);
        ++calls;
        untouched += sameBits(call.y, described.argument("y").number) ? 1 : 0;
        if (call.rounding.direction != FE_TONEAREST)
            continue;
        ++squaresJudged;
        if (!sameBits(call.y, expected))
            squares.add({FindingKind::SquareWrong,
                         yNamed,
                         {caseWords(call), shortestText(call.y), shortestText(expected), quoted(vandrelShows(call.y))},
                         {causeOfSquare(one.x, call.y)}});
    }
    // Nothing stored for any call: the routine's store went into a copy of its own.
    if (squares.count > 0 && untouched == calls)
        squares.finding->cause = {CauseKind::StoredNothing, yNamed, {std::string("call"), std::string("double")}};
    squares.report(judged, squaresJudged);
    return judged;
}

std::vector<Finding> judgeTraces(const SquareCalls& made)
{
    std::vector<Finding> judged;
    FirstWrong traces, roundingsLeft;
    int calls = 0;
    for (const SquareMade& call : made.made) {
        const SquareCase& one = call.given;
        const Rounding& rounding = call.rounding;
        const double expected = static_cast<float>(one.x * one.x);
        const std::string record1 = traceRecord1(one.n);
        ++calls;
        const bool nearest = rounding.direction == FE_TONEAREST;
        const std::string which = caseWords(call);
        // Record 2 shows y as the call stored it, truncated: under another direction the
        // nearest 32-bit real may lie on the other side of a whole number. A y the call left
        // as Vandrel set it (taken by value, which is said above) shows the square itself.
        const bool stored = !sameBits(call.y, described.argument("y").number);
        const std::string record2 = traceRecord2(one.x, nearest || !stored ? expected : call.y);
        if (!call.traced)
            traces.add({FindingKind::TraceMissing, {}, {which}});
        else if (!traceHolds(call.lines, record1, record2))
            traces.add({FindingKind::TraceWrong,
                        {},
                        {which, linesText(call.lines), quoted(record1), quoted(record2)},
                        {call.lines.empty() ? CauseKind::TraceUnflushed : CauseKind::None}});
        if (call.roundingAfter != rounding.direction)
            roundingsLeft.add({FindingKind::RoundingNotPutBack, {}, {which}});
    }
    traces.report(judged, calls);
    roundingsLeft.report(judged, calls);
    return judged;
}

std::vector<Finding> judgeSquares(const SquareCalls& made)
{
    std::vector<Finding> judged = judgeSquareValues(made);
    const std::vector<Finding> traces = judgeTraces(made);
    judged.insert(judged.end(), traces.begin(), traces.end());
    return judged;
}

TraceRecord traceRecordOf(int roundingAfter, bool traced, const std::vector<std::string>& lines)
{
    TraceRecord record{};
    record.roundingAfter = roundingAfter;
    record.traced = traced ? 1 : 0;
    record.lineCount = static_cast<uint8_t>(std::min<std::size_t>(lines.size(), 2));
    for (std::size_t i = 0; i < record.lineCount; ++i) {
        const std::size_t length = std::min(lines[i].size(), traceLineRoom);
        record.lengths[i] = static_cast<uint16_t>(length);
        std::memcpy(record.lines[i], lines[i].data(), length);
    }
    return record;
}

std::vector<std::string> linesOf(const TraceRecord& record)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < std::min<std::size_t>(record.lineCount, 2); ++i)
        lines.emplace_back(record.lines[i], std::min<std::size_t>(record.lengths[i], traceLineRoom));
    return lines;
}
