// This test program's folder holds no Ostrum library: the first test to call a routine
// reports that the library cannot be loaded, and the program ends.
#include "korvik_fixture.h"

namespace {

using KorvikWithoutOstrumDeathTest = KorvikWindow;

TEST_F(KorvikWithoutOstrumDeathTest, Test1ReportsTheLibraryAndLeavesItsCaption)
{
    EXPECT_EXIT(
        {
            KorvikErrorReport report(form);
            clickButton(&form, "cmdstart1");
            std::exit(99);
        },
        testing::ExitedWithCode(1),
        "report \\[Korvik\\] Cannot load library 'Ostrum': (.|\n)*lblindex2 \\[Label1\\]");
}

TEST_F(KorvikWithoutOstrumDeathTest, StartAllStopsAtTest1WithTheBarAtMin)
{
    EXPECT_EXIT(
        {
            KorvikErrorReport report(form);
            control<ProgressBar>(&form, "ProgressBar1")->writeProperty("Value", 100.0f);
            clickButton(&form, "cmdstartall");
            std::exit(99);
        },
        testing::ExitedWithCode(1), "Cannot load library 'Ostrum'(.|\n)*lamp #FF0000\nbar 0\nlblindex2 \\[Label1\\]");
}

TEST_F(KorvikWithoutOstrumDeathTest, Test4NeedsNoLibrary)
{
    clickButton(&form, "cmdstart4");
    EXPECT_EQ(control<TextBox>(&form, "Text2")->text().size(), 219u);
}

} // namespace
