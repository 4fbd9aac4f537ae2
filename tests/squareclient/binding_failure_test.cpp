// Vandrel beside no Morvane, or beside a Morvane without square: the first click reports that
// the routine cannot be bound and ends the program; nothing is traced.
#include "vandrel_test.h"

namespace {

// The test's name says which of the two situations its program stands in.
class SITUATION : public VandrelTest {};

TEST_F(SITUATION, FirstClickReportsTheBindingErrorAndEnds)
{
    EXPECT_EXIT(
        {
            ReportWatcher watcher(&form);
            clickButton(&form, "cmdaction");
        },
        endsWithAnError,
        std::string("report title: Vandrel\nreport text: ") + EXPECTED_REPORT +
            ".*\nlblresult while open: \\[\\]\nsquare.dat while open: absent\n");
    EXPECT_FALSE(fileExists(scratch.file("square.dat")));
}

} // namespace
