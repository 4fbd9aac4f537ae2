// What Tolvan's message boxes show with the library beside this test, against what
// routine-check says they will show.
#include "checker_lines.h"
#include "tolvan_test.h"

namespace {

using ShownByTolvan = TolvanTest;

TEST_F(ShownByTolvan, MessageBoxesAreWhatTheCheckerSays)
{
    const auto shows = checkerShows();
    ASSERT_EQ(shows.count("sumdll"), 1u) << "routine-check said nothing of what sumdll shows";
    const Ending end = clickWith("10", "20");
    ASSERT_EQ(end.boxes.size(), 2u);
    EXPECT_EQ(shows.at("sumdll"), "Tolvan's message boxes read " + quoted(end.boxes[0].text.toStdString()) +
                                      ", then " + quoted(end.boxes[1].text.toStdString()));
}

} // namespace
