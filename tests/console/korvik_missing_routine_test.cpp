// This test program's Ostrum lacks zArray: tests 1 to 6 work, test 7 reports the routine.
#include "korvik_fixture.h"
#include "ostrum_double.h"

namespace {

using KorvikWithoutZArrayDeathTest = KorvikWindow;

TEST_F(KorvikWithoutZArrayDeathTest, StartAllStopsAtTest7AfterSixSteps)
{
    EXPECT_EXIT(
        {
            ostrumDoubleReset(DOUBLE_TRANSNUMBER_EXCHANGES, 0);
            KorvikErrorReport report(form);
            clickButton(&form, "cmdstartall");
            std::exit(99);
        },
        testing::ExitedWithCode(1),
        "report \\[Korvik\\] Routine not found 'zArray' in library 'Ostrum'(.|\n)*lamp #FF0000\nbar 85.71429\n"
        "lblindex2 \\[aaaa {16}\\]\nLabel1 \\[xx = 5, xx\\^2 = 25\\]\nLabel2 \\[0  15\\]\nLabel3 \\[OKey\\]\n"
        "Label4 \\[Label4\\]");
}

} // namespace
