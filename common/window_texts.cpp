#include "window_texts.h"

#include "conversions.h"

#include <cmath>

std::u16string firstListingLine(const Variant& element)
{
    return u"x(i) = " + element.toText();
}

std::u16string xArrayListingLine(int16_t j, const Variant& x, const Variant& y)
{
    return u"i = " + textForJoining(j) + u"   x = " + x.toText() + u"   x^2 = " + y.toText();
}

std::u16string sampleListingLine(const Variant& x, const Variant& y)
{
    return u"xxx = " + x.toText() + u"   xxx^2 = " + y.toText();
}

std::u16string squareCaption(const Variant& xx, const Variant& yy)
{
    return u"xx = " + xx.toText() + u", xx^2 = " + yy.toText();
}

std::u16string transnumberCaption(const Variant& numA, int16_t numB)
{
    return numA.toText() + u"  " + textForJoining(numB);
}

std::u16string resultCaption(double y)
{
    if (std::isinf(y))
        return u"Overflow";
    return explicitNumberText(y);
}

std::u16string sumPrompt(int16_t c)
{
    return textForJoining(c);
}
