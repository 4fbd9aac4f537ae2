// Korvik beside no Ostrum, or beside an Ostrum without its routines (one program each): the
// first test that calls a routine reports that it cannot be bound, and the program ends.
#include "korvik_fixture.h"

#include <gmock/gmock.h>

namespace {

using testing::StartsWith;

using KorvikUnbound = KorvikWindow;

TEST_F(KorvikUnbound, Test1ReportsTheRoutineAndLeavesItsCaption)
{
    expectEndedWithTheReportAlone(clickToTheEnd("cmdstart1"), bindingFailureReport("Ostrum", "chara"));
    EXPECT_EQ(shown("lblindex2"), "Label1");
}

TEST_F(KorvikUnbound, StartAllStopsAtTest1WithTheBarAtMinAndTheLampRed)
{
    bar()->writeProperty("Value", 100.0f);
    const Ending end = clickToTheEnd("cmdstartall");
    EXPECT_EQ(end.status, 1);
    ASSERT_EQ(end.boxes.size(), 2u) << "Start? and the report";
    EXPECT_THAT(end.report(), StartsWith(bindingFailureReport("Ostrum", "chara")));
    EXPECT_EQ(lamp()->fillColor(), red);
    EXPECT_EQ(bar()->currentValue(), 0.0f);
    EXPECT_EQ(shown("lblindex2"), "Label1");
}

TEST_F(KorvikUnbound, Test4NeedsNoLibrary)
{
    const Ending end = clickToTheEnd("cmdstart4");
    EXPECT_EQ(end.status, std::nullopt);
    EXPECT_EQ(textBox("Text2")->text().size(), 219u);
}

// The one test that lets the program end its process: status 1 once the report is closed.
using KorvikUnboundDeathTest = KorvikWindow;

TEST_F(KorvikUnboundDeathTest, TheReportEndsTheProcessWithStatus1)
{
    expectTheProcessToEnd(1, [this] { clickButton(&form, "cmdstart7"); });
}

} // namespace
