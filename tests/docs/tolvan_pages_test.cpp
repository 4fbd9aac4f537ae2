// Tolvan's button through a real click, beside a recording Pettrix: what sumdll is passed
// is what the teaching pages show.
#include "form1.h"
#include "pages_test.h"

namespace {

TEST(TolvanPages, TheCallPassesWhatItsPageShows)
{
    if (!pagesShowThisMachine)
        GTEST_SKIP() << "the pages show the memory of an x86-64 Linux build";
    Form1 form;
    expectPagesShowTheCallsOf("Tolvan", form);
}

} // namespace
