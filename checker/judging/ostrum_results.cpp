#include "ostrum_results.h"

#include "array_arguments.h"
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

std::optional<Finding> judgeCharaAgain(const char* textB, const char* againTextB)
{
    const std::string firstShows = korvikCharaShows(textB);
    if (const std::string secondShows = korvikCharaShows(againTextB); secondShows != firstShows)
        return Finding{FindingKind::KeepsState, {}, {quoted(firstShows), quoted(secondShows)}};
    return std::nullopt;
}

std::optional<Finding> judgeLengthB(int32_t lengthB)
{
    constexpr const CallDescription& described = ostrumCalls.call("chara");
    const ArgumentDescription& passed = described.argument("lengthB");
    if (lengthB == passed.number)
        return std::nullopt;
    return Finding{FindingKind::LengthChanged,
                   {"lengthB", positionOf(passed)},
                   {int64_t{static_cast<int>(passed.number)}, int64_t{lengthB},
                    static_cast<int64_t>(described.argument("textB").text.size())}};
}

namespace {

// The first element of `elements` whose tag names another kind than its payload holds, what
// Korvik's listing shows of it after `label`, and how many there are.
std::optional<Finding> tagsOverOtherKinds(const Argument& array, const std::vector<VARIANT>& elements,
                                          const char* label)
{
    int mismatched = 0;
    Finding first{FindingKind::TagOverOtherKind, array};
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::optional<TagMismatch> mismatch = tagMismatch(elements[i]);
        if (!mismatch || ++mismatched > 1)
            continue;
        first.values = {static_cast<int64_t>(i + 1),
                        kindNamed(mismatch->tagged),
                        kindNamed(mismatch->held),
                        mismatch->heldValue,
                        quoted(label + korvikElementShows(elements[i]).value_or("")),
                        std::string(mismatch->held == VT_R8 ? "VT_R8" : "VT_I4")};
    }
    if (mismatched == 0)
        return std::nullopt;
    first.tally = {mismatched, static_cast<int64_t>(elements.size())};
    return first;
}

} // namespace

std::vector<Finding> judgeXArray(const XArrayLeft& left)
{
    constexpr const CallDescription& described = ostrumCalls.call("xArray");
    std::vector<Finding> judged;
    if (left.count > arrayLength)
        judged.push_back({FindingKind::CountBeyondElements,
                          {"count", positionOf(described.argument("count"))},
                          {int64_t{left.count}, int64_t{arrayLength}}});
    if (auto x = tagsOverOtherKinds({"x", positionOf(described.argument("x"))}, left.x, "x = "))
        judged.push_back(*x);
    if (auto y = tagsOverOtherKinds({"y", positionOf(described.argument("y"))}, left.y, "x^2 = "))
        judged.push_back(*y);
    return judged;
}

std::optional<Finding> judgeXArrayAgain(const XArrayLeft& first, const XArrayLeft& again)
{
    const std::optional<ListingShown> firstShows = korvikListingShows(first.count, first.x.data(), first.y.data());
    const std::optional<ListingShown> secondShows = korvikListingShows(again.count, again.x.data(), again.y.data());
    if (!firstShows || !secondShows)
        return std::nullopt;
    const auto text = [](const ListingShown& listing) {
        return listing.error.empty() ? quotedLines(listing.lines) : "the runtime error \"" + listing.error + "\"";
    };
    if (text(*firstShows) == text(*secondShows))
        return std::nullopt;
    return Finding{FindingKind::KeepsState, {}, {text(*firstShows), text(*secondShows)}};
}
