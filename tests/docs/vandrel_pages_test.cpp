// Vandrel's Action through its real button, beside a recording Morvane: what square is passed
// is what the teaching pages show.
#include "form1.h"
#include "pages_test.h"

namespace {

TEST(VandrelPages, TheCallPassesWhatItsPageShows)
{
    if (!pagesShowThisMachine)
        GTEST_SKIP() << "the pages show the memory of an x86-64 Linux build";
    Form1 form;
    expectPagesShowTheCallsOf("Vandrel", form);
}

} // namespace
