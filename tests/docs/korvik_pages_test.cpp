// Korvik's seven tests through its real buttons, beside a recording Ostrum: what each test
// passes is what the teaching pages show.
#include "form1.h"
#include "pages_test.h"

namespace {

class KorvikPages : public PagesTest<korvik::Form1> {
protected:
    KorvikPages() : PagesTest("Korvik") {}
};

TEST_F(KorvikPages, EachTestPassesWhatItsPageShows)
{
    expectPagesShowItsCalls();
    // The result the recording Ostrum returned to test 3 is the one its page says is shown.
    EXPECT_EQ(QString::fromStdU16String(control<Label>(&form, "Label1")->caption()), "xx = 5, xx^2 = 25");
}

} // namespace
