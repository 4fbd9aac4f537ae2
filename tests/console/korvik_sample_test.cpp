// Korvik with the sample Ostrum library that ships with the programs: what a user sees
// after Start All.
#include "korvik_fixture.h"

namespace {

using KorvikWithSample = KorvikWindow;

TEST_F(KorvikWithSample, StartAllShowsEverySampleResult)
{
    MessageBoxAnswerer answerer;
    clickButton(&form, "cmdstartall");
    EXPECT_EQ(shown("lblindex2"), "WOO HAHAHAHA        ");
    EXPECT_EQ(shown("Text1"),
              "i = 1   x = 1   x^2 = 1\r\ni = 2   x = 2   x^2 = 4\r\ni = 3   x = 3   x^2 = 9\r\n"
              "i = 4   x = 4   x^2 = 16\r\ni = 5   x = 5   x^2 = 25\r\ni = 6   x = 6   x^2 = 36\r\n"
              "i = 7   x = 7   x^2 = 49\r\ni = 8   x = 8   x^2 = 64\r\ni = 9   x = 9   x^2 = 81\r\n"
              "i = 10   x = 10   x^2 = 100\r\n");
    EXPECT_EQ(shown("Label1"), "xx = 5, xx^2 = 25");
    EXPECT_EQ(textBox("Text2")->text().size(), 219u);
    EXPECT_EQ(shown("Label2"), "0  15");
    EXPECT_EQ(shown("Label3"), "OKey");
    EXPECT_EQ(shown("Label4"), "O-Key");
    EXPECT_EQ(bar()->currentValue(), 100.0f);
    EXPECT_EQ(lamp()->fillColor(), blue);
}

} // namespace
