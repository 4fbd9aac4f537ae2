// Vandrel beside no Morvane, or beside a Morvane without square (one program each): the first
// click reports that the routine cannot be bound and ends the program; nothing is traced.
#include "vandrel_test.h"

#include <gmock/gmock.h>

namespace {

using VandrelUnbound = VandrelTest;

TEST_F(VandrelUnbound, FirstClickReportsTheBindingErrorAndEnds)
{
    const Ending end = clickToTheEnd("cmdaction");
    EXPECT_EQ(end.status, 1);
    ASSERT_EQ(end.boxes.size(), 1u);
    EXPECT_EQ(end.boxes[0].title, "Vandrel");
    EXPECT_THAT(end.report(), testing::StartsWith(bindingFailureReport("Morvane.dll", "square")));
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
