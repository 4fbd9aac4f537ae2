// What Vandrel's lblresult and the trace show with the library beside this test, against what
// routine-check says they will show.
#include "checker_lines.h"
#include "vandrel_test.h"

namespace {

using ShownByVandrel = VandrelTest;

TEST_F(ShownByVandrel, ResultAndTraceAreWhatTheCheckerSays)
{
    const auto shows = checkerShows();
    ASSERT_EQ(shows.count("square"), 1u) << "routine-check said nothing of what square shows";
    clickToTheEnd("cmdaction");
    const std::vector<std::string> records = trace();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(shows.at("square"), "Vandrel's lblresult reads " + quoted(shownText(&form, "lblresult")) +
                                      "; square.dat ends with " + quoted(records[records.size() - 2]) + " and " +
                                      quoted(records.back()));
}

} // namespace
