// Vandrel beside no Morvane, or beside a Morvane without square (one program each): the first
// click reports that the routine cannot be bound and ends the program; nothing is traced.
#include "vandrel_test.h"

namespace {

using VandrelUnbound = VandrelTest;

TEST_F(VandrelUnbound, FirstClickReportsTheBindingErrorAndEnds)
{
    expectEndedWithTheReportAlone(clickToTheEnd("cmdaction"), bindingFailureReport("Morvane.dll", "square"));
    EXPECT_EQ(result(), u"");
    EXPECT_FALSE(fileExists(scratch.file("square.dat")));
}

// The one test that lets a report end the process: status 1 once the report is closed.
using VandrelUnboundDeathTest = VandrelTest;

TEST_F(VandrelUnboundDeathTest, TheReportEndsTheProcessWithStatus1)
{
    expectTheProcessToEnd(1, [this] { clickButton(&form, "cmdaction"); });
}

} // namespace
