// Vandrel's Action through its real button, beside a recording Morvane: what square is passed,
// as the teaching pages show it (teaching_pages.h).
#include "form1.h"
#include "gui_test.h"
#include "recording.h"
#include "teaching_pages.h"

namespace {

TEST(VandrelPages, ActionPassesNXAndYByTheirOwnAddresses)
{
    describeProgram("Vandrel", "1.00");
    Form1 form;
    showAndActivate(&form);
    recordingForget();

    clickButton(&form, "cmdaction");

    expectPagesShow(
        {"vandrel", "Vandrel, Action(A)", "square", {"n", "x", "y"}, {{"n"}, {"x"}, {"y"}}}, *recordingOfLatestCall());
}

} // namespace
