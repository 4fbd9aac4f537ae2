// Tolvan's button through a real click, beside a recording Pettrix: what sumdll is passed, as
// the teaching pages show it (teaching_pages.h).
#include "form1.h"
#include "gui_test.h"
#include "recording.h"
#include "teaching_pages.h"

namespace {

TEST(TolvanPages, Command1PassesAAndBAndCByTheirOwnAddresses)
{
    describeProgram("Tolvan", "1.00");
    Form1 form;
    showAndActivate(&form);
    recordingForget();

    MessageBoxAnswerer answerer; // the two boxes that report the sum
    clickButton(&form, "Command1");

    expectPagesShow(
        {"tolvan", "Tolvan, Command1", "sumdll", {"a", "b", "c"}, {{"a"}, {"b"}, {"c"}}}, *recordingOfLatestCall());
}

} // namespace
