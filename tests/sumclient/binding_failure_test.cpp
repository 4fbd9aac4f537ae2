// Tolvan's window where Pettrix cannot be bound, beside no library at all or beside one
// without sumdll (one program each): the first failing step is reported and ends the program.
#include "tolvan_test.h"

#include "pettrix_binding.h"

namespace {

using TolvanUnbound = TolvanTest;

// The library is bound at the first click, not when the window opens.
TEST_F(TolvanUnbound, TheWindowOpensWithoutBindingPettrix)
{
    EXPECT_EQ(focusedControlName(), QStringLiteral("Text1"));
    EXPECT_FALSE(Pettrix::sumdll.isBound());
    EXPECT_FALSE(LibraryBinding::named("Pettrix.dll").isLoaded());
}

TEST_F(TolvanUnbound, TheFirstFailingStepIsReportedAndEndsTheProgram)
{
    const std::string unbound = bindingFailureReport("Pettrix.dll", "sumdll");
    const struct {
        const char* what;
        const char* text1;
        const char* text2;
        std::string report;
    } rows[] = {
        {"the initial texts reach the call, which cannot be bound", "10", "20", unbound},
        {"typed numbers reach it too", "-3", "2.5", unbound},
        {"an overflow in Text1 comes before the call", "40000", "20", "Overflow: 40000 is outside"},
        {"an overflow in Text2 comes before the call", "1", "-40000", "Overflow: -40000 is outside"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        expectEndedWithTheReportAlone(clickWith(row.text1, row.text2), row.report);
    }
}

// The one test that lets a report end the process: status 1 once the report is closed.
using TolvanUnboundDeathTest = TolvanTest;

TEST_F(TolvanUnboundDeathTest, TheReportEndsTheProcessWithStatus1)
{
    expectTheProcessToEnd(1, [this] { clickButton(&form, "Command1"); });
}

} // namespace
