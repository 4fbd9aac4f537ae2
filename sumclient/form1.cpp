#include "form1.h"

#include "conversions.h"
#include "pettrix_binding.h"
#include "window_texts.h"

namespace tolvan {

// The system chooses where the window first appears, so it is neither placed nor centred.
Form1::Form1()
    : Form("Form1", "Form1", 6960, 4710),
      Label1(new Label(this, "Label1", u"Value of A", {480, 480, 975, 375}, 0)),
      Text1(new TextBox(this, "Text1", u"10", {1680, 480, 975, 375}, 1)),
      Label2(new Label(this, "Label2", u"Value of B", {480, 1440, 975, 255}, 2)),
      Text2(new TextBox(this, "Text2", u"20", {1680, 1320, 975, 375}, 3)),
      Command1(new CommandButton(this, "Command1", "call fortran function sumdll", {3720, 1440, 2655, 615}, 4))
{
    wireClick(Command1, &Form1::Command1_Click);
}

// Adds the numbers of Text1 and Text2 in Pettrix and reports the sum. a, b and c are made
// afresh at every click, so c starts at 0 whatever an earlier click left in it.
void Form1::Command1_Click()
{
    // Text1 is converted before Text2 is read, so an overflow in a ends the click there.
    int16_t a = toInt16(numberFromText(Text1->text()));
    int16_t b = toInt16(numberFromText(Text2->text()));
    int16_t c = 0;

    // a, b and c are 16-bit integers already, so each goes by its own address.
    Pettrix::sumdll(&a, &b, &c);

    // Only the second box shows the sum: c as decimal text.
    messageBox(sumHeading);
    messageBox(sumPrompt(c));
}

} // namespace tolvan
