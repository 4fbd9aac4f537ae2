// Ostrum as Korvik calls it: tests 1 to 7, with test 2 calling xArray from index 1, and what
// Korvik then shows, in Label1 (test 3) and Label2 (test 5) among the rest.
#include "array_arguments.h"
#include "contract_results.h"
#include "contracts.h"
#include "placements.h"
#include "register_arguments.h"
#include "ostrum_results.h"
#include "shown_texts.h"

#include "ostrum.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

} // namespace

void checkSquareResult(void* address, Call& call, float x, float result)
{
    if (call.side() != Side::End)
        return;
    const auto square = reinterpret_cast<decltype(&::square)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("square");
    SquareResultCalls calls;
    calls.x = x;
    calls.result = result;
    // Called with other reals in the registers and the same x; a result that follows a
    // register is judged alone.
    float* byValue = placeValue<float>(call, described.argument("x"));
    calls.followedRegister = vectorRegisterFollowed(address, {byValue}, true);
    call.shows(squareResultShows(x, result, calls.followedRegister));
    if (!calls.followedRegister) {
        float* again = placeValue<float>(call, described.argument("x"));
        setProgramsEnvironment();
        calls.againResult = square(again);
        setProgramsEnvironment();
        calls.againX = *again;
        // Called once more as a routine of a 64-bit real result, the same register is read whole.
        using WideSquare = double(ROUTINE_CALL*)(float*);
        float* wideX = placeValue<float>(call, described.argument("x"));
        setProgramsEnvironment();
        calls.wide = reinterpret_cast<WideSquare>(address)(wideX);
        setProgramsEnvironment();
        calls.wideX = *wideX;
    }
    for (const Finding& finding : judgeSquareResult(calls).findings)
        call.report(finding);
}

namespace {

// The low 16 bits of an address, as a routine that takes a 16-bit argument by value reads it.
int16_t lowBits(const void* address)
{
    return static_cast<int16_t>(reinterpret_cast<uintptr_t>(address) & 0xFFFF);
}

} // namespace

void checkTransnumberResult(void* address, Call& call, int16_t a, int16_t b)
{
    if (call.side() != Side::End)
        return;
    const auto transnumber = reinterpret_cast<decltype(&::transnumber)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("transnumber");
    const auto click = [&] {
        int16_t* first = placeValue<int16_t>(call, described.argument("a"));
        int16_t* second = placeValue<int16_t>(call, described.argument("b"));
        setProgramsEnvironment();
        transnumber(first, second);
        setProgramsEnvironment();
        return TransnumberClick{{lowBits(first), lowBits(second)}, {*first, *second}};
    };
    TransnumberCalls calls;
    calls.a = a;
    calls.b = b;
    calls.second = click();
    calls.third = click();
    calls.fourth = click();
    const OstrumJudged judged = judgeTransnumber(calls);
    call.shows(judged.shows);
    for (const Finding& finding : judged.findings)
        call.report(finding);
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
    // The error ends the handler before the second listing replaces the first.
    std::string text = "Text1 reads " + quoted(korvikFirstListingLine(1)) + " to " +
                       quoted(korvikFirstListingLine(arrayLength)) + ", then ";
    if (!listing)
        text += "nothing that can be foretold: Korvik reads an element the routine left with a kind only the "
                "program may make as one it made, and may crash";
    else if (!listing->error.empty())
        text += "Korvik ends with the runtime error \"" + listing->error + "\"";
    else if (listing->lines.empty())
        text += "\"\"";
    else
        text += quotedLines(listing->lines);
    call.shows(text);
}

void showCaption(const Call& call, const char* label, const std::string& caption)
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
    if (const std::optional<Finding> keeps = judgeCharaAgain(textB, again))
        call.report(*keeps);
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
    const XArrayLeft first{count, {x, x + arrayLength}, {y, y + arrayLength}};
    const XArrayLeft second{*againCount, {againX, againX + arrayLength}, {againY, againY + arrayLength}};
    if (const std::optional<Finding> keeps = judgeXArrayAgain(first, second))
        call.report(*keeps);
}

namespace {

// Test 1: text A as an 8-bit copy, its length through a 32-bit temporary, text B as an
// 8-bit copy that is turned back, B's length by its own address.
void checkChara(void* address, Call& call)
{
    const auto chara = reinterpret_cast<decltype(&::chara)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("chara");
    char* textA = placeText(call, described.argument("textA"));
    int32_t* lengthA = placeValue<int32_t>(call, described.argument("lengthA"));
    char* textB = placeText(call, described.argument("textB"));
    int32_t* lengthB = placeValue<int32_t>(call, described.argument("lengthB"));
    call.run([&] { chara(textA, lengthA, textB, lengthB); });
    showChara(call, textB);
    checkCharaResult(address, call, textB);
    if (const std::optional<Finding> changed = judgeLengthB(*lengthB))
        call.report(*changed);
}

// Test 2: the count by its own address, and element 1 of two arrays of ten Variants: x holds
// the 16-bit integers 1 to 10, y is empty.
void checkXArray(void* address, Call& call)
{
    const auto xArray = reinterpret_cast<decltype(&::xArray)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("xArray");
    int16_t* count = placeValue<int16_t>(call, described.argument("count"));
    const std::vector<VARIANT> xBefore = elementsOf(described.argument("x").array);
    const std::vector<VARIANT> yBefore = elementsOf(described.argument("y").array);
    VARIANT* x = call.elements(pieceNameOf(described.argument("x")), xBefore);
    VARIANT* y = call.elements(pieceNameOf(described.argument("y")), yBefore);
    call.run([&] { xArray(count, x, y); });
    showListing(call, *count, x, y);
    checkXArrayResult(address, call, *count, x, y);
    call.expectSafeElements("x", positionOf(described.argument("x")), xBefore, x, 1);
    call.expectSafeElements("y", positionOf(described.argument("y")), yBefore, y, 1);
    for (const Finding& finding : judgeXArray({*count, {x, x + arrayLength}, {y, y + arrayLength}}))
        call.report(finding);
}

// Test 3: a 32-bit real temporary holding 5; the result is a 32-bit real.
void checkSquare(void* address, Call& call)
{
    const auto square = reinterpret_cast<decltype(&::square)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("square");
    float* x = placeValue<float>(call, described.argument("x"));
    float result = 0;
    call.run([&] { return result = square(x); });
    checkSquareResult(address, call, *x, result);
}

// Test 5: a 16-bit temporary holding 15, then a 16-bit variable holding 0.
void checkTransnumber(void* address, Call& call)
{
    const auto transnumber = reinterpret_cast<decltype(&::transnumber)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("transnumber");
    int16_t* a = placeValue<int16_t>(call, described.argument("a"));
    int16_t* b = placeValue<int16_t>(call, described.argument("b"));
    call.run([&] { transnumber(a, b); });
    checkTransnumberResult(address, call, *a, *b);
}

// Test 6: the count through a 16-bit temporary, and the array by reference: the address of
// the variable that holds the address of its descriptor. Elements 2, 4, ..., 20.
void checkYArray(void* address, Call& call)
{
    const auto yArray = reinterpret_cast<decltype(&::yArray)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("yArray");
    int16_t* count = placeValue<int16_t>(call, described.argument("count"));
    const ArrayArgument array = placeArray(call, described.argument("array"));
    call.run([&] { yArray(count, array.variable); });
    showCaption(call, "Label3", korvikYArrayShows());
    checkArray(call, array);
}

// Test 7: a Variant tagged VT_BYREF | VT_ARRAY | VT_VARIANT whose value is the address of the
// array variable. Elements 1 to 10.
void checkZArray(void* address, Call& call)
{
    const auto zArray = reinterpret_cast<decltype(&::zArray)>(address);
    constexpr const CallDescription& described = ostrumCalls.call("zArray");
    const ArrayArgument array = placeArray(call, described.argument("array"));
    VARIANT wrapped{};
    wrapped.value.bits = 0;
    wrapped.kind = VT_BYREF | VT_ARRAY | VT_VARIANT;
    wrapped.value.arrayRef = array.variable;
    VARIANT* variant = call.value(pieceNameOf(described.argument("array")), wrapped);
    call.run([&] { zArray(variant); });
    showCaption(call, "Label4", korvikZArrayShows());
    const Argument arrayNamed{"array", positionOf(described.argument("array"))};
    if (variant->kind != wrapped.kind)
        call.report({FindingKind::TagChanged, arrayNamed});
    else if (variant->value.arrayRef != array.variable)
        call.report({FindingKind::DescriptorChanged, arrayNamed, {std::string("the address of its array variable")}});
    checkArray(call, array);
}

} // namespace

const Contract ostrumContract{
    "Ostrum",
    "Ostrum",
    "Korvik",
    {{"chara", checkChara},
     {"xArray", checkXArray},
     {"square", checkSquare},
     {"transnumber", checkTransnumber},
     {"yArray", checkYArray},
     {"zArray", checkZArray}},
};
