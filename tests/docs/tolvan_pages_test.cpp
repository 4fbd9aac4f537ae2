// Tolvan's button through a real click, beside a recording Pettrix: what sumdll is passed
// is what the teaching pages show.
#include "form1.h"
#include "pages_test.h"

namespace {

class TolvanPages : public PagesTest<tolvan::Form1> {
protected:
    TolvanPages() : PagesTest("Tolvan") {}
};

TEST_F(TolvanPages, TheCallPassesWhatItsPageShows)
{
    expectPagesShowItsCalls();
}

} // namespace
