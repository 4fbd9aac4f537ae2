#include "form1.h"

#include "ansi_copy.h"
#include "arithmetic.h"
#include "conversions.h"
#include "ostrum_binding.h"
#include "variant.h"
#include "window_texts.h"

namespace korvik {

namespace {

    constexpr uint32_t lightGrey = 0x00C0C0C0;
    constexpr uint32_t red = 0x000000FF;
    constexpr uint32_t blue = 0x00FF0000;

    constexpr const char16_t* lineEnd = u"\r\n";

} // namespace

Form1::Form1()
    : Form("Form1", "Form1", 5055, 4665),
      ProgressBar1(new ProgressBar(this, "ProgressBar1", {120, 0, 4815, 255}, 0, 0.0f, 100.0f)),
      cmdstart1(new CommandButton(this, "cmdstart1", "Start1(&1)", {120, 360, 855, 375}, 1)),
      cmdexit(new CommandButton(this, "cmdexit", "Exit (&X)", {3960, 1800, 1095, 375}, 2)),
      lblindex2(new Label(this, "lblindex2", u"Label1", {1080, 360, 2655, 255}, 3)),
      cmdstart2(new CommandButton(this, "cmdstart2", "Start2(&2)", {120, 840, 855, 375}, 4)),
      cmdstartall(new CommandButton(this, "cmdstartall", "Start All(&A)", {3960, 360, 1095, 375}, 5)),
      Text1(new TextBox(this, "Text1", u"Text1", {1080, 840, 2775, 855}, 6, TextBox::Lines::Many)),
      cmdstart3(new CommandButton(this, "cmdstart3", "Start(&3)", {120, 1800, 855, 375}, 7)),
      Label1(new Label(this, "Label1", u"Label1", {1080, 1800, 2775, 255}, 8)),
      cmdrestart(new CommandButton(this, "cmdrestart", "Restart(&R)", {3960, 720, 1095, 375}, 9)),
      cmdstart4(new CommandButton(this, "cmdstart4", "Start(&4)", {120, 2280, 855, 375}, 10)),
      Text2(new TextBox(this, "Text2", u"Text2", {1080, 2280, 2775, 855}, 11, TextBox::Lines::Many)),
      cmdstart5(new CommandButton(this, "cmdstart5", "Start(&5)", {120, 3240, 855, 375}, 12)),
      Label2(new Label(this, "Label2", u"Label2", {1080, 3240, 2775, 255}, 13)),
      cmdstart6(new CommandButton(this, "cmdstart6", "Start(&6)", {120, 3720, 855, 375}, 14)),
      Label3(new Label(this, "Label3", u"Label3", {1080, 3720, 2775, 255}, 15)),
      cmdstart7(new CommandButton(this, "cmdstart7", "Start(&7)", {120, 4200, 855, 375}, 16)),
      Label4(new Label(this, "Label4", u"Label4", {1080, 4200, 2775, 255}, 17)),
      Shape1(new Shape(this, "Shape1", {4200, 1200, 615, 615}, lightGrey))
{
    placeCentred();
    wireClick(cmdexit, &Form1::cmdexit_Click);
    wireClick(cmdrestart, &Form1::cmdrestart_Click);
    wireClick(cmdstart1, &Form1::cmdstart1_Click);
    wireClick(cmdstart2, &Form1::cmdstart2_Click);
    wireClick(cmdstart3, &Form1::cmdstart3_Click);
    wireClick(cmdstart4, &Form1::cmdstart4_Click);
    wireClick(cmdstart5, &Form1::cmdstart5_Click);
    wireClick(cmdstart6, &Form1::cmdstart6_Click);
    wireClick(cmdstart7, &Form1::cmdstart7_Click);
    wireClick(cmdstartall, &Form1::cmdstartall_Click);
}

// Squares the elements 1 to nn of xxx into yyy. Each index is checked against each array's
// own bounds before anything is stored at it.
void Form1::Sample(float& nn, VariantArray& xxx, VariantArray& yyy)
{
    // The counter holds 32-bit reals: the end, nn, is a 32-bit real, read once.
    for (float i = 1, last = nn; i <= last; i += 1) {
        const Variant& value = xxx(i);
        Variant& square = yyy(i);
        square = power(value.toDouble(), 2);
    }
}

void Form1::cmdexit_Click()
{
    endProgram();
}

void Form1::cmdrestart_Click()
{
    ProgressBar1->writeProperty("Value", ProgressBar1->readProperty("Min").toSingle());
    lblindex2->setCaption(u"");
    Text1->setText(u"");
    Label1->setCaption(u"");
    Text2->setText(u"");
    Label2->setCaption(u"");
    Label3->setCaption(u"");
    Label4->setCaption(u"");
}

// Test 1: a text with its length, and a text buffer that comes back.
void Form1::cmdstart1_Click()
{
    Variant strA = u"Woo HaHaHaHa        ";
    std::u16string strB = u"aaaa                ";
    Variant lenA = textLength(strA.toText());
    int32_t lenB = textLength(strB);

    // strA goes as an 8-bit copy that is then discarded; lenA through a 32-bit temporary that
    // is stored back; strB as an 8-bit copy that is turned back over its full length; lenB,
    // already a 32-bit integer, by its own address.
    AnsiCopy copyOfStrA(strA.toText());
    int32_t lenATemporary = lenA.toInt32();
    AnsiCopy copyOfStrB(strB);
    Ostrum::chara(copyOfStrA.data(), &lenATemporary, copyOfStrB.data(), &lenB);
    lenA = lenATemporary;
    strB = copyOfStrB.text();

    lblindex2->setCaption(strB);
}

// Test 2: an array by the address of its first element.
void Form1::cmdstart2_Click()
{
    VariantArray x = VariantArray::fixed(1, 10);
    VariantArray y = VariantArray::fixed(1, 10);
    int16_t n = 10;

    // The counters hold 16-bit integers: start, end and step are all 16-bit.
    for (int16_t i = 1; i <= 10; i = add16(i, 1))
        x(i) = i;
    std::u16string s;
    for (int16_t i = 1, last = n; i <= last; i = add16(i, 1))
        s += firstListingLine(x(i)) + lineEnd;
    Text1->setText(s);

    // The elements of an array lie side by side, so the address of element 1 gives xArray
    // n consecutive elements of each array. n goes by its own address.
    Ostrum::xArray(&n, x(1).raw(), y(1).raw());

    s = u"";
    for (int16_t j = 1, last = n; j <= last; j = add16(j, 1))
        s += xArrayListingLine(j, x(j), y(j)) + lineEnd;
    Text1->setText(s);
}

// Test 3: a value through a temporary of the routine's kind, and a function result.
void Form1::cmdstart3_Click()
{
    Variant xx = int16_t{5};
    Variant yy;

    // xx holds a 16-bit integer and square takes a 32-bit real: it goes through a 32-bit real
    // temporary, stored back after the call, so xx then holds a 32-bit real.
    float xxTemporary = xx.toSingle();
    const float result = Ostrum::square(&xxTemporary);
    xx = xxTemporary;
    yy = result;

    Label1->setCaption(squareCaption(xx, yy));
}

// Test 4: whole arrays by reference to the window's own method Sample.
void Form1::cmdstart4_Click()
{
    VariantArray x = VariantArray::fixed(1, 10);
    VariantArray y = VariantArray::fixed(1, 10);
    float n = 10.0f;

    // The counters hold 32-bit reals: the end, n, is a 32-bit real.
    for (float i = 1, last = n; i <= last; i += 1)
        x(i) = i;

    Sample(n, x, y);

    std::u16string s;
    for (float i = 1, last = n; i <= last; i += 1)
        s += sampleListingLine(x(i), y(i)) + lineEnd;
    Text2->setText(s);
}

// Test 5: a value through a temporary, and a variable by its own address.
void Form1::cmdstart5_Click()
{
    Variant numA = int16_t{15};
    int16_t numB = 0;

    // numA goes through a 16-bit temporary that is stored back; numB, already a 16-bit
    // integer, by its own address.
    int16_t numATemporary = numA.toInt16();
    Ostrum::transnumber(&numATemporary, &numB);
    numA = numATemporary;

    Label2->setCaption(transnumberCaption(numA, numB));
}

// Test 6: a whole array by reference to a routine of Ostrum.
void Form1::cmdstart6_Click()
{
    VariantArray x = VariantArray::fixed(1, 10);
    Variant n = int16_t{10};

    for (int16_t i = 1, last = n.toInt16(); i <= last; i = add16(i, 1))
        x(i) = multiply16(i, 2);

    // The count goes through a 16-bit temporary that is stored back; the array as the address
    // of the variable that holds the address of its descriptor.
    int16_t nTemporary = n.toInt16();
    Ostrum::yArray(&nTemporary, x.byReference());
    n = nTemporary;

    Label3->setCaption(yArrayCaption);
}

// Test 7: an array wrapped in a Variant.
void Form1::cmdstart7_Click()
{
    VariantArray x = VariantArray::fixed(1, 10);

    // The counter holds 16-bit integers: start, end and step are all 16-bit.
    for (int16_t i = 1; i <= 10; i = add16(i, 1))
        x(i) = i;

    // A Variant tagged VT_BYREF | VT_ARRAY | VT_VARIANT (0x600C) refers to the array variable.
    Variant wrapped = Variant::arrayReference(x.byReference());
    Ostrum::zArray(wrapped.raw());

    Label4->setCaption(zArrayCaption);
}

// Start All: the seven tests in order, the bar advanced by a seventh of its maximum after
// each, the lamp red while the run goes on and blue once it is complete.
void Form1::cmdstartall_Click()
{
    Shape1->setFillColor(red);
    messageBox(u"Start?");
    ProgressBar1->writeProperty("Visible", Variant::boolean(true));
    ProgressBar1->writeProperty("Value", ProgressBar1->readProperty("Min").toSingle());

    // After test k the bar stands at M × k / 7, computed in double precision and rounded once
    // to a 32-bit real, with M the bar's Max read afresh; the bar gets a reference to it.
    float stepPosition = 0;
    auto advanceBar = [&](int k) {
        const float M = ProgressBar1->readProperty("Max").toSingle();
        stepPosition = scaledSingle(M, k, 7);
        ProgressBar1->writeProperty("Value", Variant::reference(&stepPosition));
    };
    cmdstart1_Click();
    advanceBar(1);
    cmdstart2_Click();
    advanceBar(2);
    cmdstart3_Click();
    advanceBar(3);
    cmdstart4_Click();
    advanceBar(4);
    cmdstart5_Click();
    advanceBar(5);
    cmdstart6_Click();
    advanceBar(6);
    cmdstart7_Click();
    advanceBar(7);

    Shape1->setFillColor(blue);
}

} // namespace korvik
