// Ostrum's results as Korvik shows them in Label1 (test 3) and Label2 (test 5).
#include "contract_results.h"
#include "placements.h"
#include "shown_texts.h"

#include "ostrum.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

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

} // namespace

void checkSquareResult(void* address, Call& call, float x, float result)
{
    if (call.side() != Side::End)
        return;
    const auto square = reinterpret_cast<decltype(&::square)>(address);
    const std::string firstShows = korvikSquareShows(x, result);
    call.shows("Label1 reads " + quoted(firstShows));

    constexpr const CallDescription& described = ostrumCalls.call("square");
    float* again = placeValue<float>(call, described.argument("x"));
    setProgramsEnvironment();
    const float secondResult = square(again);
    setProgramsEnvironment();
    if (const std::string secondShows = korvikSquareShows(*again, secondResult); secondShows != firstShows)
        call.note("keeps state between calls: the first click shows " + quoted(firstShows) + ", the second " +
                  quoted(secondShows));

    // Called once more as a routine of a 64-bit real result, the same register is read whole.
    using WideSquare = double(ROUTINE_CALL*)(float*);
    float* wideX = placeValue<float>(call, described.argument("x"));
    setProgramsEnvironment();
    const double wide = reinterpret_cast<WideSquare>(address)(wideX);
    setProgramsEnvironment();
    if (looksLikeWideResult(wide)) {
        float narrow = 0;
        std::memcpy(&narrow, &wide, sizeof narrow);
        call.fault("returns a 64-bit real (" + shortestText(wide) +
                   ") where Korvik reads a 32-bit one, so test 3 shows " +
                   quoted(korvikSquareShows(*wideX, narrow)) +
                   "; declare the result float (real(c_float) in Fortran)");
    }
}

void checkTransnumberResult(void* address, Call& call, int16_t a, int16_t b)
{
    if (call.side() != Side::End)
        return;
    const auto transnumber = reinterpret_cast<decltype(&::transnumber)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("transnumber");
    int16_t* first = placeValue<int16_t>(call, described.argument("a"));
    int16_t* second = placeValue<int16_t>(call, described.argument("b"));
    setProgramsEnvironment();
    transnumber(first, second);
    setProgramsEnvironment();
    const std::string firstShows = korvikTransnumberShows(a, b);
    call.shows("Label2 reads " + quoted(firstShows));
    if (const std::string secondShows = korvikTransnumberShows(*first, *second); secondShows != firstShows)
        call.note("keeps state between calls: the first click shows " + quoted(firstShows) + ", the second " +
                  quoted(secondShows));
}

void showChara(const Call& call, const char* textB)
{
    if (call.side() == Side::End)
        call.shows("lblindex2 reads " + quoted(korvikCharaShows(textB)));
}

void showListing(const Call& call, int16_t count, const VARIANT* x, const VARIANT* y)
{
    if (call.side() != Side::End)
        return;
    const std::optional<ListingShown> listing = korvikListingShows(count, x, y);
    if (!listing)
        return;
    // The error ends the handler before the second listing replaces the first.
    std::string text = "Text1 reads \"x(i) = 1\" to \"x(i) = 10\", then ";
    if (!listing->error.empty())
        text += "Korvik ends with the runtime error \"" + listing->error + "\"";
    else if (listing->lines.empty())
        text += "\"\"";
    else
        text += quotedLines(listing->lines);
    call.shows(text);
}

void showCaption(const Call& call, const char* label, const char* caption)
{
    if (call.side() == Side::End)
        call.shows(std::string(label) + " reads " + quoted(caption));
}

void checkCharaResult(void* address, Call& call, const char* textB)
{
    if (call.side() != Side::End)
        return;
    const auto chara = reinterpret_cast<decltype(&::chara)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("chara");
    char* textA = placeText(call, described.argument("textA"));
    int32_t* lengthA = placeValue<int32_t>(call, described.argument("lengthA"));
    char* again = placeText(call, described.argument("textB"));
    int32_t* lengthB = placeValue<int32_t>(call, described.argument("lengthB"));
    setProgramsEnvironment();
    chara(textA, lengthA, again, lengthB);
    setProgramsEnvironment();
    const std::string firstShows = korvikCharaShows(textB);
    if (const std::string secondShows = korvikCharaShows(again); secondShows != firstShows)
        call.note("keeps state between calls: the first click shows " + quoted(firstShows) + ", the second " +
                  quoted(secondShows));
}

void checkXArrayResult(void* address, Call& call, int16_t count, const VARIANT* x, const VARIANT* y)
{
    if (call.side() != Side::End)
        return;
    const auto xArray = reinterpret_cast<decltype(&::xArray)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("xArray");
    int16_t* againCount = placeValue<int16_t>(call, described.argument("count"));
    VARIANT* againX = call.elements(pieceNameOf(described.argument("x")), elementsOf(described.argument("x").array));
    VARIANT* againY = call.elements(pieceNameOf(described.argument("y")), elementsOf(described.argument("y").array));
    setProgramsEnvironment();
    xArray(againCount, againX, againY);
    setProgramsEnvironment();
    const std::optional<ListingShown> first = korvikListingShows(count, x, y);
    const std::optional<ListingShown> second = korvikListingShows(*againCount, againX, againY);
    if (!first || !second)
        return;
    const auto text = [](const ListingShown& listing) {
        return listing.error.empty() ? quotedLines(listing.lines) : "the runtime error \"" + listing.error + "\"";
    };
    if (text(*first) != text(*second))
        call.note("keeps state between calls: the first click shows " + text(*first) + ", the second " +
                  text(*second));
}
