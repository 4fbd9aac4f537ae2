// The texts the three windows show, made from the values a handler holds after its call.
//
// Each function turns values into the text one control or message box shows, and nothing more:
// the handlers call it after their call is made, and routine-check calls the same function to
// say what a window will show. No Qt, and inline: each is one line of joining.
#pragma once

#include "conversions.h"
#include "variant.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

// ---- Korvik ------------------------------------------------------------------------------------

// A line of test 2's first listing, without its CR LF: "x(i) = 1".
inline std::u16string firstListingLine(const Variant& element)
{
    return u"x(i) = " + element.toText();
}

// A line of test 2's second listing, after xArray, without its CR LF: "i = 1   x = 1   x^2 = 1".
inline std::u16string xArrayListingLine(int16_t j, const Variant& x, const Variant& y)
{
    return u"i = " + textForJoining(j) + u"   x = " + x.toText() + u"   x^2 = " + y.toText();
}

// A line of test 4's listing, after Sample, without its CR LF: "xxx = 2   xxx^2 = 4".
inline std::u16string sampleListingLine(const Variant& x, const Variant& y)
{
    return u"xxx = " + x.toText() + u"   xxx^2 = " + y.toText();
}

// Label1 after test 3: "xx = 5, xx^2 = 25".
inline std::u16string squareCaption(const Variant& xx, const Variant& yy)
{
    return u"xx = " + xx.toText() + u", xx^2 = " + yy.toText();
}

// Label2 after test 5: numA and numB with two blanks between them, "15  0".
inline std::u16string transnumberCaption(const Variant& numA, int16_t numB)
{
    return numA.toText() + u"  " + textForJoining(numB);
}

// Label3 after test 6 and Label4 after test 7: fixed confirmations, whatever the routine did.
inline constexpr std::u16string_view yArrayCaption = u"OKey";
inline constexpr std::u16string_view zArrayCaption = u"O-Key";

// ---- Vandrel -----------------------------------------------------------------------------------

// lblresult after a click: y by the explicit number-to-text conversion (" 9", " .25"). A square
// beyond the range of a 32-bit real comes back from Morvane as infinity, which is no square at
// all, so the caption names the condition in a word instead: "Overflow".
inline std::u16string resultCaption(double y)
{
    if (std::isinf(y))
        return u"Overflow";
    return explicitNumberText(y);
}

// ---- Tolvan ------------------------------------------------------------------------------------

// The first message box's prompt, the same at every click.
inline constexpr std::u16string_view sumHeading = u"a+b=";

// The second message box's prompt: the sum c as decimal text ("30", "-7").
inline std::u16string sumPrompt(int16_t c)
{
    return textForJoining(c);
}
