#include "form1.h"

#include "conversions.h"
#include "morvane_binding.h"
#include "window_texts.h"

#include <cmath>

namespace vandrel {

namespace {

    // Why lblresult names the condition in a word when the square lies beyond the range of a
    // 32-bit real, for which Morvane stores infinity into y.
    const QString squareTooLargeExplained = QStringLiteral(
        "The square of Input X is beyond the range of a 32-bit real (about 3.4E+38), so it cannot be shown.");

} // namespace

Form1::Form1()
    : Form("Form1", "Form1", 2295, 1575),
      Label1(new Label(this, "Label1", u"Input X", {240, 120, 615, 255}, 0)),
      txtinput(new TextBox(this, "txtinput", u"3", {960, 120, 1215, 270}, 1)),
      Label2(new Label(this, "Label2", u"Result Y", {120, 480, 735, 255}, 2)),
      cmdaction(new CommandButton(this, "cmdaction", "Action(&A)", {240, 1200, 975, 255}, 3)),
      cmdexit(new CommandButton(this, "cmdexit", "Exit(&X)", {1440, 1200, 735, 255}, 4)),
      lblresult(new Label(this, "lblresult", u"", {960, 480, 1215, 255}, 5)),
      txttext(new TextBox(this, "txttext", u"1", {120, 840, 2055, 270}, 6))
{
    placeAt(3405, 4260);

    // The result reads as a field of its own, framed and on the background of a text box,
    // even while it is still empty, and keeps to one line.
    lblresult->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblresult->setBackgroundRole(QPalette::Base);
    lblresult->setAutoFillBackground(true);
    lblresult->setIndent(twipsToPixels(45));

    wireClick(cmdaction, &Form1::cmdaction_Click);
    wireClick(cmdexit, &Form1::cmdexit_Click);
}

// Squares the number in txtinput through Morvane, which also traces n, the whole number in
// txttext, and shows the square in lblresult.
void Form1::cmdaction_Click()
{
    // 1. x, the number in txtinput; text without a number gives 0.
    double x = numberFromText(txtinput->text());

    // 2. n, the whole number in txttext: rounded to a 16-bit integer, ties to even, which raises
    //    Overflow outside -32768 to 32767 before anything is called; then held as a 64-bit real.
    double n = toInt16(numberFromText(txttext->text()));

    // 3. n, x and y are 64-bit reals, the routine's own kind, so each goes by its own address;
    //    square stores the result into y. Its status result is always 0 and is not read.
    double y = 0;
    Morvane::square(&n, &x, &y);

    // 4. The square as explicit number text, with a blank for its sign: " 9", " .25". A square
    //    beyond the 32-bit real range comes back as infinity and is named instead.
    lblresult->setCaption(resultCaption(y));
    if (std::isinf(y))
        lblresult->setToolTip(squareTooLargeExplained);

    // 5. The focus goes back to txtinput, its text as it was, ready for the next number.
    txtinput->setFocus();
}

void Form1::cmdexit_Click()
{
    endProgram();
}

} // namespace vandrel
