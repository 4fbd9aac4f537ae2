// Ostrum as Korvik calls it: tests 1 to 7, with test 2 calling xArray from index 1.
#include "contract_results.h"
#include "contracts.h"
#include "placements.h"

#include "ostrum.h"

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
    const ArgumentDescription& lengthBPassed = described.argument("lengthB");
    if (*lengthB != lengthBPassed.number)
        call.note("changed " + namedWithin("lengthB", positionOf(lengthBPassed)) + " from " +
                  std::to_string(static_cast<int>(lengthBPassed.number)) + " to " + std::to_string(*lengthB) +
                  "; Korvik does not read it back, and text B keeps its " + std::to_string(described.argument("textB").text.size()) +
                  " characters");
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
    if (*count > arrayLength)
        call.note("left " + namedWithin("count", positionOf(described.argument("count"))) + " at " +
                  std::to_string(*count) + ", beyond the " + std::to_string(arrayLength) +
                  " elements of each array; Korvik then reports \"Subscript out of range\"");
    call.expectSafeElements("x", positionOf(described.argument("x")), xBefore, x, 1);
    call.expectSafeElements("y", positionOf(described.argument("y")), yBefore, y, 1);
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
    showCaption(call, "Label3", "OKey");
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
    showCaption(call, "Label4", "O-Key");
    const std::string arrayNamed = named("array", positionOf(described.argument("array")));
    if (variant->kind != wrapped.kind)
        call.fault("changed the tag of " + arrayNamed);
    else if (variant->value.arrayRef != array.variable)
        call.fault("changed the descriptor of " + arrayNamed + " (the address of its array variable)");
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
