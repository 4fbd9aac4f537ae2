// Ostrum as Korvik calls it: tests 1 to 7, with test 2 calling xArray from index 1.
#include "array_arguments.h"
#include "contract_results.h"
#include "contracts.h"

#include "ostrum.h"

namespace {

// Test 1: text A as an 8-bit copy, its length through a 32-bit temporary, text B as an
// 8-bit copy that is turned back, B's length by its own address.
void checkChara(void* address, Call& call)
{
    const auto chara = reinterpret_cast<decltype(&::chara)>(address);
    char* textA = call.text({"textA", "textA", "copyOfStrA"}, "Woo HaHaHaHa        ");
    int32_t* lengthA = call.value<int32_t>({"lengthA", "lengthA", "lenATemporary"}, 20);
    char* textB = call.text({"textB", "textB", "copyOfStrB"}, "aaaa                ");
    int32_t* lengthB = call.value<int32_t>({"lengthB", "lengthB", "lenB"}, 20);
    call.run([&] { chara(textA, lengthA, textB, lengthB); });
    showChara(call, textB);
    checkCharaResult(address, call, textB);
    if (*lengthB != 20)
        call.note("changed lengthB from 20 to " + std::to_string(*lengthB) +
                  "; Korvik does not read it back, and text B keeps its 20 characters");
}

// Test 2: the count by its own address, and element 1 of two arrays of ten Variants: x holds
// the 16-bit integers 1 to 10, y is empty.
void checkXArray(void* address, Call& call)
{
    const auto xArray = reinterpret_cast<decltype(&::xArray)>(address);
    int16_t* count = call.value<int16_t>({"count", "count", "n"}, 10);
    const std::vector<VARIANT> xBefore = smallIntegers(1, 1);
    const std::vector<VARIANT> yBefore = emptyVariants();
    VARIANT* x = call.elements({"x", "x", "", "x"}, xBefore);
    VARIANT* y = call.elements({"y", "y", "", "y"}, yBefore);
    call.run([&] { xArray(count, x, y); });
    showListing(call, *count, x, y);
    checkXArrayResult(address, call, *count, x, y);
    if (*count > 10)
        call.note("left count at " + std::to_string(*count) +
                  ", beyond the 10 elements of each array; Korvik then reports \"Subscript out of range\"");
    call.expectSafeElements("x", xBefore, x, 1);
    call.expectSafeElements("y", yBefore, y, 1);
}

// Test 3: a 32-bit real temporary holding 5; the result is a 32-bit real.
void checkSquare(void* address, Call& call)
{
    const auto square = reinterpret_cast<decltype(&::square)>(address);
    float* x = call.value<float>({"x", "x", "xxTemporary"}, 5.0f);
    float result = 0;
    call.run([&] { return result = square(x); });
    checkSquareResult(address, call, *x, result);
}

// Test 5: a 16-bit temporary holding 15, then a 16-bit variable holding 0.
void checkTransnumber(void* address, Call& call)
{
    const auto transnumber = reinterpret_cast<decltype(&::transnumber)>(address);
    int16_t* a = call.value<int16_t>({"a", "a", "numATemporary"}, 15);
    int16_t* b = call.value<int16_t>({"b", "b", "numB"}, 0);
    call.run([&] { transnumber(a, b); });
    checkTransnumberResult(address, call, *a, *b);
}

// Test 6: the count through a 16-bit temporary, and the array by reference: the address of
// the variable that holds the address of its descriptor. Elements 2, 4, ..., 20.
void checkYArray(void* address, Call& call)
{
    const auto yArray = reinterpret_cast<decltype(&::yArray)>(address);
    int16_t* count = call.value<int16_t>({"count", "count", "nTemporary"}, 10);
    const ArrayArgument array = placeArray(call, "array", "x", 2, 2, {"array", "array", "x"});
    call.run([&] { yArray(count, array.variable); });
    showCaption(call, "Label3", "OKey");
    checkArray(call, array);
}

// Test 7: a Variant tagged VT_BYREF | VT_ARRAY | VT_VARIANT whose value is the address of the
// array variable. Elements 1 to 10.
void checkZArray(void* address, Call& call)
{
    const auto zArray = reinterpret_cast<decltype(&::zArray)>(address);
    const ArrayArgument array = placeArray(call, "array", "x", 1, 1,
                                           {"the array variable of array", "array->value.arrayRef", "x"});
    VARIANT wrapped{};
    wrapped.value.bits = 0;
    wrapped.kind = VT_BYREF | VT_ARRAY | VT_VARIANT;
    wrapped.value.arrayRef = array.variable;
    VARIANT* variant = call.value({"array", "array", "wrapped"}, wrapped);
    call.run([&] { zArray(variant); });
    showCaption(call, "Label4", "O-Key");
    if (variant->kind != wrapped.kind)
        call.fault("changed the tag of array");
    else if (variant->value.arrayRef != array.variable)
        call.fault("changed the descriptor of array (the address of its array variable)");
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
