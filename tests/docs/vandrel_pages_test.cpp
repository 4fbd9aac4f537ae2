// Vandrel's Action through its real button, beside a recording Morvane: what square is passed
// is what the teaching pages show.
#include "form1.h"
#include "pages_test.h"

namespace {

class VandrelPages : public PagesTest<vandrel::Form1> {
protected:
    VandrelPages() : PagesTest("Vandrel") {}
};

TEST_F(VandrelPages, TheCallPassesWhatItsPageShows)
{
    expectPagesShowItsCalls();
}

} // namespace
