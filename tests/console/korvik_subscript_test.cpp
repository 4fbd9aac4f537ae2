// A subscript error inside a test stops it, and Start All with it, at the right step.
#include "korvik_fixture.h"
#include "ostrum_double.h"

namespace {

using KorvikSubscriptDeathTest = KorvikWindow;

// xArray sets the count beyond the arrays: the second listing runs into index 11.
TEST_F(KorvikSubscriptDeathTest, Test2EndsWithTheFirstListingShown)
{
    EXPECT_EXIT(
        {
            ostrumDoubleReset(DOUBLE_CHANGES_COUNT, 11);
            KorvikErrorReport report(form);
            clickButton(&form, "cmdstart2");
            std::exit(99);
        },
        testing::ExitedWithCode(1),
        "report \\[Korvik\\] Subscript out of range: index 11 is outside 1 to 10\n"
        "(.|\n)*Text1 \\[x\\(i\\) = 1\\|x\\(i\\) = 2\\|(.|\n)*x\\(i\\) = 10\\|\\]");
}

TEST_F(KorvikSubscriptDeathTest, StartAllStopsAfterTheLastCompletedStep)
{
    EXPECT_EXIT(
        {
            ostrumDoubleReset(DOUBLE_CHANGES_COUNT, 11);
            KorvikErrorReport report(form);
            clickButton(&form, "cmdstartall");
            std::exit(99);
        },
        testing::ExitedWithCode(1),
        "Subscript out of range(.|\n)*lamp #FF0000\nbar 14.28571\nlblindex2 \\[aaaa {16}\\]\n"
        "Label1 \\[Label1\\]\nLabel2 \\[Label2\\]\nLabel3 \\[Label3\\]\nLabel4 \\[Label4\\]\nText1 \\[x\\(i\\) = 1");
}

} // namespace
