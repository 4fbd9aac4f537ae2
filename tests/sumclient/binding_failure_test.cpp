// Tolvan's window where Pettrix cannot be bound: built once beside no library at all and once
// beside a library without sumdll. Each program names its tests BINDING_FIXTURE and gives in
// BINDING_REPORT what its report must say.
#include "tolvan_test.h"

#include "pettrix_binding.h"

#include <gmock/gmock.h>

using testing::AllOf;
using testing::HasSubstr;
using testing::Not;

namespace {

using BINDING_FIXTURE = TolvanTest;

// The library is bound at the first click, not when the window opens.
TEST_F(BINDING_FIXTURE, TheWindowOpensWithoutBindingPettrix)
{
    EXPECT_EQ(focusedControlName(), QStringLiteral("Text1"));
    EXPECT_FALSE(Pettrix::sumdll.isBound());
    EXPECT_FALSE(LibraryBinding::named("Pettrix.dll").isLoaded());
}

struct FailureRow {
    const char* what;
    const char* text1;
    const char* text2;
    const char* report;
};

const FailureRow failureRows[] = {
    {"the initial texts reach the call, which cannot be bound", "10", "20", BINDING_REPORT},
    {"typed numbers reach it too", "-3", "2.5", BINDING_REPORT},
    {"an overflow in Text1 comes before the call", "40000", "20", "Overflow: 40000 is outside"},
    {"an overflow in Text2 comes before the call", "1", "-40000", "Overflow: -40000 is outside"},
};

TEST_F(BINDING_FIXTURE, TheFirstFailingStepIsReportedAndEndsTheProgram)
{
    for (const FailureRow& row : failureRows) {
        SCOPED_TRACE(row.what);
        EXPECT_EXIT(
            {
                MessageBoxAnswerer answerer;
                echoBoxesToStderr(answerer);
                typeInto(&window, "Text1", QString::fromUtf8(row.text1));
                typeInto(&window, "Text2", QString::fromUtf8(row.text2));
                clickButton(&window, "Command1");
            },
            testing::ExitedWithCode(1),
            AllOf(HasSubstr(std::string("box 1 [Tolvan] ") + row.report), Not(HasSubstr("box 2"))));
    }
}

} // namespace
