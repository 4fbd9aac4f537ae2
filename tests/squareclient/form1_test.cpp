// Vandrel's window through its real widgets, calling the real Morvane beside the test program.
#include "vandrel_test.h"

#include <gmock/gmock.h>

#include <QPushButton>

#include <span>
#include <string>

namespace {

// ---- The window at start -----------------------------------------------------------------

const StartingControl startingControls[] = {
    {"Label1", "Input X", 0},   {"txtinput", "3", 1}, {"Label2", "Result Y", 2}, {"cmdaction", "Action(&A)", 3},
    {"cmdexit", "Exit(&X)", 4}, {"lblresult", "", 5}, {"txttext", "1", 6},
};

// The width that a label's text takes when drawn on one line.
int drawnWidth(const QLabel* label)
{
    return label->fontMetrics().horizontalAdvance(label->text());
}

TEST_F(VandrelTest, WindowIsFormOneWithItsTextsAndTabIndexes)
{
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_EQ(form.windowTitle(), "Form1");
    expectControlsAtStart(&form, startingControls);
}

TEST_F(VandrelTest, EveryControlIsInSightAndEveryCaptionFits)
{
    expectReadableLayout(&form);
}

// Labels take no focus, so Tab goes from txtinput through the two buttons to txttext and round.
TEST_F(VandrelTest, FocusStartsInInputAndTabSkipsTheLabels)
{
    const char* const tabOrder[] = {"txtinput", "cmdaction", "cmdexit", "txttext", "txtinput"};
    EXPECT_EQ(focusedControlName(), tabOrder[0]);
    for (const char* next : std::span(tabOrder).subspan(1)) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focusedControlName(), next);
    }
}

// ---- A click of Action -------------------------------------------------------------------

TEST_F(VandrelTest, AtStartAClickShowsNineAndTracesOneAndThreeSquared)
{
    clickButton(&form, "cmdaction");

    EXPECT_EQ(result(), u" 9");
    const std::vector<std::string> records = trace();
    ASSERT_EQ(records.size(), 2u) << "one call leaves two records";
    EXPECT_EQ(std::stol(records[0]), 1) << "record 1 holds n: " << records[0];
    EXPECT_EQ(records[1], "x =     3   y =     9");
}

struct ClickCase {
    const char* what;
    const char* input; // typed into txtinput
    const char* whole; // typed into txttext
    const char16_t* shown;
    long tracedN; // the whole number record 1 holds
};

const ClickCase clickCases[] = {
    {"a fraction squares exactly", "2.5", "1", u" 6.25", 1},
    {"a negative number squares to a positive one", "-3", "1", u" 9", 1},
    {"a square below 1 has no 0 before the point", "0.5", "1", u" .25", 1},
    {"the square is rounded to a 32-bit real", "1.1", "1", u" 1.21000003814697", 1},
    {"text without a number is 0", "abc", "1", u" 0", 1},
    {"an empty input is 0", "", "1", u" 0", 1},
    {"a number ends at the first character that does not fit", "4x", "1", u" 16", 1},
    {"a square just inside the 32-bit real range is a number", "1.8E19", "1", u" 3.2399999329209E+38", 1},
    {"2.5 rounds to the even 2", "3", "2.5", u" 9", 2},
    {"3.5 rounds to the even 4", "3", "3.5", u" 9", 4},
    {"-2.5 rounds to the even -2", "3", "-2.5", u" 9", -2},
    {"a negative whole number passes as it is", "3", "-1", u" 9", -1},
    {"the largest 16-bit integer passes", "3", "32767", u" 9", 32767},
    {"the smallest 16-bit integer passes", "3", "-32768", u" 9", -32768},
    {"text without a number passes 0", "3", "abc", u" 9", 0},
};

// Each case starts with the focus in txttext, so that the focus has to come back to txtinput.
TEST_F(VandrelTest, ClickShowsTheSquareTracesNAndFocusesInput)
{
    for (const ClickCase& c : clickCases) {
        SCOPED_TRACE(c.what);
        std::remove(scratch.file("square.dat").c_str());
        typeInto(&form, "txtinput", QString::fromLatin1(c.input));
        typeInto(&form, "txttext", QString::fromLatin1(c.whole));
        focus("txttext");

        clickButton(&form, "cmdaction");

        EXPECT_EQ(result(), c.shown);
        const std::vector<std::string> records = trace();
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(std::stol(records[0]), c.tracedN) << "record 1: " << records[0];
        EXPECT_EQ(focusedControlName(), "txtinput");
        EXPECT_EQ(control<TextBox>(&form, "txtinput")->text(), QString::fromLatin1(c.input).toStdU16String());
        EXPECT_EQ(control<TextBox>(&form, "txttext")->text(), QString::fromLatin1(c.whole).toStdU16String());
    }
}

TEST_F(VandrelTest, EachClickReplacesTheResultAndAddsItsOwnRecords)
{
    clickButton(&form, "cmdaction");
    typeInto(&form, "txtinput", "-0.5");
    typeInto(&form, "txttext", "7");
    clickButton(&form, "cmdaction");

    EXPECT_EQ(result(), u" .25");
    const std::vector<std::string> records = trace();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1], "x =     3   y =     9");
    EXPECT_EQ(std::stol(records[2]), 7);
    EXPECT_EQ(records[3], "x =     0   y =     0");
}

// ---- A square beyond the range of a 32-bit real ------------------------------------------

TEST_F(VandrelTest, SquareBeyondThe32BitRealRangeShowsOverflowAndExplainsIt)
{
    const char* const tooLarge[] = {"1.85E19", "-1E20", "1E200"};
    auto* lblresult = control<Label>(&form, "lblresult");
    for (const char* input : tooLarge) {
        SCOPED_TRACE(input);
        typeInto(&form, "txtinput", QString::fromLatin1(input));
        clickButton(&form, "cmdaction");

        EXPECT_EQ(result(), u"Overflow");
        EXPECT_EQ(lblresult->text(), "Overflow") << "drawn whole";
        EXPECT_TRUE(lblresult->toolTip().contains("beyond the range of a 32-bit real"))
            << lblresult->toolTip().toStdString();
        EXPECT_EQ(focusedControlName(), "txtinput");
        EXPECT_EQ(trace().size(), 2u) << "the routine was called and traced the call";
        std::remove(scratch.file("square.dat").c_str());
    }

    typeInto(&form, "txtinput", "3");
    clickButton(&form, "cmdaction");
    EXPECT_EQ(result(), u" 9");
    EXPECT_TRUE(lblresult->toolTip().isEmpty()) << "the explanation outlived the overflow";
}

// ---- A result wider than its label ------------------------------------------------------

// A long result is drawn shortened in the middle: the leading digits and the end (the exponent,
// or the last digits of a whole number) stay, "…" marks the cut, and the tooltip holds it whole.
struct LongResultCase {
    const char* input;
    const char16_t* caption; // the result whole
    const char* begins;      // what is drawn before the cut, and after it
    const char* ends;
};

const LongResultCase longResultCases[] = {
    {"1.8E19", u" 3.2399999329209E+38", " 3.2", "E+38"},
    {"10000000", u" 100000000376832", " 10", "832"},
};

TEST_F(VandrelTest, LongResultIsShortenedInTheMiddleAndWholeInTheTooltip)
{
    auto* lblresult = control<Label>(&form, "lblresult");
    for (const LongResultCase& c : longResultCases) {
        SCOPED_TRACE(c.input);
        typeInto(&form, "txtinput", QString::fromLatin1(c.input));
        clickButton(&form, "cmdaction");

        const QString drawn = lblresult->text();
        EXPECT_EQ(result(), c.caption) << "the caption itself stays whole";
        EXPECT_LE(drawnWidth(lblresult), lblresult->contentsRect().width()) << drawn.toStdString();
        EXPECT_TRUE(drawn.contains(QChar(0x2026))) << drawn.toStdString();
        EXPECT_TRUE(drawn.startsWith(c.begins)) << drawn.toStdString();
        EXPECT_TRUE(drawn.endsWith(c.ends)) << drawn.toStdString();
        EXPECT_EQ(lblresult->toolTip(), QString::fromStdU16String(c.caption));
    }

    typeInto(&form, "txtinput", "0.5");
    clickButton(&form, "cmdaction");
    EXPECT_EQ(lblresult->text(), " .25") << "a short result is drawn as it is";
    EXPECT_TRUE(lblresult->toolTip().isEmpty());
}

// ---- Ways to click, and keys that are not clicks -----------------------------------------

TEST_F(VandrelTest, AltAClicksActionWhereverTheFocusIs)
{
    for (const char* start : {"txtinput", "txttext", "cmdexit"}) {
        SCOPED_TRACE(start);
        std::remove(scratch.file("square.dat").c_str());
        control<Label>(&form, "lblresult")->setCaption(u"");
        focus(start);

        pressAccessKey(&form, Qt::Key_A);

        EXPECT_EQ(result(), u" 9");
        EXPECT_EQ(trace().size(), 2u);
        EXPECT_EQ(focusedControlName(), "txtinput");
    }
}

// Neither button is the window's default or cancel button.
TEST_F(VandrelTest, EnterAndEscapeInATextBoxClickNothing)
{
    for (const char* textBox : {"txtinput", "txttext"}) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            SCOPED_TRACE(std::string(textBox) + " key " + std::to_string(key));
            focus(textBox);
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_EQ(result(), u"");
            EXPECT_FALSE(fileExists(scratch.file("square.dat")));
        }
    }
}

// ---- Ending the program ------------------------------------------------------------------

TEST_F(VandrelTest, ExitEndsTheProgramAtOnce)
{
    const Ending end = clickToTheEnd("cmdexit");
    EXPECT_EQ(end.status, 0);
    EXPECT_THAT(end.boxes, testing::IsEmpty());
}

// The one test that lets Exit end the process, through its access key. Exit's handler is the
// first thing its click runs; a click of Action connected behind it would leave a trace if it
// ran, and ending the process at once means it never does.
using VandrelDeathTest = VandrelTest;

TEST_F(VandrelDeathTest, AltXEndsTheProcessWithStatus0BeforeAFurtherEvent)
{
    expectTheProcessToEnd(0, [this] {
        QObject::connect(control<QPushButton>(&form, "cmdexit"), &QPushButton::clicked,
                         control<QPushButton>(&form, "cmdaction"), &QPushButton::click);
        pressAccessKey(&form, Qt::Key_X);
    });
    EXPECT_FALSE(fileExists(scratch.file("square.dat"))) << "an event ran after Exit";
}

// A whole number outside the 16-bit range is reported before square is called: the result of
// the previous click stays and no trace is written.
struct OutsideCase {
    const char* whole;    // typed into txttext
    const char* reported; // how the report begins
};

const OutsideCase outsideCases[] = {
    {"40000", "Overflow: 40000 is outside the 16-bit integer range -32768 to 32767"},
    {"-32769", "Overflow: -32769 is outside the 16-bit integer range"},
    {"32767.5", "Overflow: 32767.5 is outside the 16-bit integer range"},
    {"1E10", "Overflow: 10000000000 is outside the 16-bit integer range"},
};

TEST_F(VandrelTest, WholeNumberOutside16BitsEndsTheProgramBeforeTheCall)
{
    clickButton(&form, "cmdaction");
    for (const OutsideCase& c : outsideCases) {
        SCOPED_TRACE(c.whole);
        std::remove(scratch.file("square.dat").c_str());
        typeInto(&form, "txttext", QString::fromLatin1(c.whole));

        expectEndedWithTheReportAlone(clickToTheEnd("cmdaction"), c.reported);
        EXPECT_EQ(result(), u" 9");
        EXPECT_FALSE(fileExists(scratch.file("square.dat")));
    }
}

} // namespace
