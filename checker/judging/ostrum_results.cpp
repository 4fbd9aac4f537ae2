#include "ostrum_results.h"

#include "call_descriptions.h"
#include "placements.h"
#include "shown_texts.h"

#include <cmath>
#include <cstring>

namespace {

// Whether a result register's low 64 bits look like a 64-bit real that the routine meant,
// while its low 32 bits, all that Korvik reads, are 0 or a denormal 32-bit real. A routine
// of the right kind leaves that only by chance: a constant 0 is loaded with the whole
// register cleared, and a 64-bit real narrowed in place to a 0 or denormal 32-bit real was
// itself below 1E-38, outside the magnitudes taken here for a meant result.
bool looksLikeWideResult(double wide)
{
    float narrow = 0;
    std::memcpy(&narrow, &wide, sizeof narrow);
    const bool narrowIsNothing = narrow == 0 || std::fpclassify(narrow) == FP_SUBNORMAL;
    const double size = std::fabs(wide);
    return narrowIsNothing && std::isnormal(wide) && size > 1e-30 && size < 1e30;
}

// Which argument (0 for a, 1 for b) the value written into `written` follows the address of,
// in two clicks whose arguments lie at other addresses; nothing when it follows none.
std::optional<int> addressFollowed(const TransnumberClick& one, const TransnumberClick& other, int written)
{
    const int source = 1 - written;
    const int16_t low = one.lowBits[source];
    if (low != other.lowBits[source] && one.values[written] == low && other.values[written] == other.lowBits[source])
        return source;
    return std::nullopt;
}

} // namespace

std::string squareResultShows(float x, float result, const std::optional<std::string>& followedRegister)
{
    if (followedRegister)
        return "Label1 reads \"" + korvikSquareShowsBeforeResult(x) + "\" and then a number that follows whatever " +
            *followedRegister + " held, not one number";
    return "Label1 reads " + quoted(korvikSquareShows(x, result));
}

OstrumJudged judgeSquareResult(const SquareResultCalls& calls)
{
    constexpr const CallDescription& described = ostrumCalls.call("square");
    OstrumJudged judged;
    // A result that follows a register Korvik never sets is no one number: said so, and
    // nothing more is judged from it.
    if (calls.followedRegister) {
        judged.findings.push_back({FindingKind::ResultFollowsRegister,
                                   {"x", positionOf(described.argument("x"))},
                                   {*calls.followedRegister}});
        judged.shows = squareResultShows(calls.x, calls.result, calls.followedRegister);
        return judged;
    }
    const std::string firstShows = korvikSquareShows(calls.x, calls.result);
    judged.shows = squareResultShows(calls.x, calls.result, calls.followedRegister);
    if (const std::string secondShows = korvikSquareShows(calls.againX, calls.againResult); secondShows != firstShows)
        judged.findings.push_back({FindingKind::KeepsState, {}, {quoted(firstShows), quoted(secondShows)}});
    if (looksLikeWideResult(calls.wide)) {
        float narrow = 0;
        std::memcpy(&narrow, &calls.wide, sizeof narrow);
        judged.findings.push_back(
            {FindingKind::WideResult, {}, {shortestText(calls.wide), quoted(korvikSquareShows(calls.wideX, narrow))}});
    }
    return judged;
}

OstrumJudged judgeTransnumber(const TransnumberCalls& calls)
{
    constexpr const CallDescription& described = ostrumCalls.call("transnumber");
    OstrumJudged judged;
    // A value that follows an address Korvik passes is no one number: said so, and nothing
    // more is judged from it.
    constexpr const char* names[] = {"a", "b"};
    const int positions[] = {positionOf(described.argument("a")), positionOf(described.argument("b"))};
    for (int written = 0; written < 2; ++written) {
        std::optional<int> source = addressFollowed(calls.second, calls.third, written);
        if (!source)
            source = addressFollowed(calls.second, calls.fourth, written);
        if (source) {
            Finding stored{FindingKind::StoredAddressBits, {names[written], positions[written]}};
            stored.other = {names[*source], positions[*source]};
            judged.findings.push_back(stored);
            const std::string changing = std::string("a number made of the address of ") + names[*source] +
                ", which changes from run to run";
            judged.shows = written == 0 ? "Label2 reads " + changing + ", then \"  " + korvikNumberShows(calls.b) + "\""
                                        : "Label2 reads \"" + korvikNumberShows(calls.a) + "  \" and then " + changing;
            return judged;
        }
    }
    const std::string firstShows = korvikTransnumberShows(calls.a, calls.b);
    judged.shows = "Label2 reads " + quoted(firstShows);
    if (const std::string secondShows = korvikTransnumberShows(calls.second.values[0], calls.second.values[1]);
        secondShows != firstShows)
        judged.findings.push_back({FindingKind::KeepsState, {}, {quoted(firstShows), quoted(secondShows)}});
    return judged;
}
