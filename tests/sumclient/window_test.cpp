// Tolvan's window through its real widgets, with the recording Pettrix (tools/pages/doubles/)
// beside the test program: what sumdll is given, what the two boxes say, and how an overflow
// ends it all.
#include "tolvan_test.h"

#include "pettrix_binding.h"
#include "recording.h"
#include "routine_binding.h"

#include <gmock/gmock.h>

#include <cstring>
#include <vector>

namespace {

// What sumdll found behind its three addresses when it was called.
struct SumdllCall {
    int16_t a;
    int16_t b;
    int16_t cOnEntry;

    bool operator==(const SumdllCall&) const = default;
};

void PrintTo(const SumdllCall& call, std::ostream* out)
{
    *out << "{a " << call.a << ", b " << call.b << ", c on entry " << call.cOnEntry << "}";
}

SeenBox box(const char* text)
{
    return {QStringLiteral("Tolvan"), QString::fromUtf8(text), QMessageBox::NoIcon};
}

// The 16-bit integer a recorded region holds.
int16_t int16In(const RecordedRegion& region)
{
    int16_t value = 0;
    EXPECT_EQ(region.size, sizeof value) << region.reachedThrough;
    std::memcpy(&value, region.bytes, sizeof value);
    return value;
}

// Every call the recording Pettrix kept since it last forgot.
std::vector<SumdllCall> recordedCalls()
{
    std::vector<SumdllCall> kept;
    for (int32_t i = 0; const Recording* call = recordingOfCall(i); ++i) {
        EXPECT_STREQ(call->routine, "sumdll");
        EXPECT_EQ(call->regionCount, 3);
        kept.push_back({int16In(call->regions[0]), int16In(call->regions[1]), int16In(call->regions[2])});
    }
    EXPECT_EQ(kept.size(), static_cast<std::size_t>(recordingCallCount())) << "calls beyond those kept";
    return kept;
}

class TolvanWindow : public TolvanTest {
protected:
    void SetUp() override
    {
        recordingForget();
        TolvanTest::SetUp();
    }
};

// ---- The window as it opens ---------------------------------------------------------------

const StartingControl controlRows[] = {
    {"Label1", "Value of A", 0},
    {"Text1", "10", 1},
    {"Label2", "Value of B", 2},
    {"Text2", "20", 3},
    {"Command1", "call fortran function sumdll", 4},
};

TEST_F(TolvanWindow, OpensWithItsCaptionAndFiveControls)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), std::size(controlRows));
    expectControlsAtStart(&form, controlRows);
}

TEST_F(TolvanWindow, EveryControlIsInSightAndEveryCaptionFits)
{
    expectReadableLayout(&form);
}

TEST_F(TolvanWindow, FocusStartsInText1AndTabSkipsTheLabels)
{
    EXPECT_EQ(focusedControlName(), QStringLiteral("Text1"));

    struct Step {
        Qt::Key key;
        const char* focusAfter;
    };
    const Step steps[] = {
        {Qt::Key_Tab, "Text2"},        {Qt::Key_Tab, "Command1"},  {Qt::Key_Tab, "Text1"},
        {Qt::Key_Backtab, "Command1"}, {Qt::Key_Backtab, "Text2"},
    };
    for (const Step& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(focusedControlName(), QString::fromUtf8(step.focusAfter));
    }
}

// Space and Enter click the focused button; its caption has no access key, so Alt with its
// first letter clicks nothing.
TEST_F(TolvanWindow, KeysThatClickTheButtonAndOneThatDoesNot)
{
    struct KeyRow {
        const char* what;
        const char* focusOn;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int clicks;
    };
    const KeyRow rows[] = {
        {"Space on the button", "Command1", Qt::Key_Space, Qt::NoModifier, 1},
        {"Enter on the button", "Command1", Qt::Key_Return, Qt::NoModifier, 1},
        {"Alt+C in Text1", "Text1", Qt::Key_C, Qt::AltModifier, 0},
        {"Alt+C on the button", "Command1", Qt::Key_C, Qt::AltModifier, 0},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.what);
        recordingForget();
        showWindow(&form); // a closed message box may have left no window active here
        QWidget* target = control<QWidget>(&form, row.focusOn);
        if (auto* box = qobject_cast<TextBox*>(target))
            target = box->editor();
        ASSERT_NE(target, nullptr);
        target->setFocus();

        MessageBoxAnswerer answerer;
        QTest::keyClick(target, row.key, row.modifiers);
        // An access key presses its button and releases it 100 ms later: wait well past that.
        QTest::qWait(300);
        EXPECT_EQ(recordingCallCount(), row.clicks);
        EXPECT_EQ(answerer.seen().size(), 2u * row.clicks);
    }
}

// ---- One click ---------------------------------------------------------------------------

TEST_F(TolvanWindow, InitialTextsShowTheSum30)
{
    MessageBoxAnswerer answerer;
    clickButton(&form, "Command1");

    EXPECT_THAT(recordedCalls(), testing::ElementsAre(SumdllCall{10, 20, 0}));
    EXPECT_THAT(answerer.seen(), testing::ElementsAre(box("a+b="), box("30")));
}

struct TextRow {
    const char* what;
    const char* text1;
    const char* text2;
    int16_t a;
    int16_t b;
    const char* sumShown;
};

const TextRow textRows[] = {
    {"2.5 ties to the even 2", "2.5", "0", 2, 0, "2"},
    {"3.5 ties to the even 4", "3.5", "0", 4, 0, "4"},
    {"-2.5 ties to the even -2", "-2.5", "0", -2, 0, "-2"},
    {"2.6 rounds to nearest", "2.6", "0", 3, 0, "3"},
    {"Text2 rounds the same way", "0", "3.5", 0, 4, "4"},
    {"an empty Text2 reads as 0", "7", "", 7, 0, "7"},
    {"letters alone read as 0", "7", "abc", 7, 0, "7"},
    {"digits then letters keep the digits", "7", "12abc", 7, 12, "19"},
    {"a blank between digits is skipped", "7", "1 2", 7, 12, "19"},
    {"an exponent counts", "1E3", "2.5e1", 1000, 25, "1025"},
    {"32767.4 rounds down into range", "32767.4", "0", 32767, 0, "32767"},
    {"-32768.5 rounds to -32768, in range", "-32768.5", "0", -32768, 0, "-32768"},
    {"a and b keep their order", "5", "-8", 5, -8, "-3"},
};

TEST_F(TolvanWindow, TextsBecomeSixteenBitIntegersAndTheSumShows)
{
    for (const TextRow& row : textRows) {
        SCOPED_TRACE(row.what);
        recordingForget();
        const Ending end = clickWith(row.text1, row.text2);
        EXPECT_EQ(end.status, std::nullopt);
        EXPECT_THAT(recordedCalls(), testing::ElementsAre(SumdllCall{row.a, row.b, 0}));
        EXPECT_THAT(end.boxes, testing::ElementsAre(box("a+b="), box(row.sumShown)));
    }
}

// ---- Clicks after the first --------------------------------------------------------------

TEST_F(TolvanWindow, ASecondClickCallsTheBoundRoutineWithTheNewTexts)
{
    MessageBoxAnswerer answerer;
    clickButton(&form, "Command1");
    EXPECT_TRUE(Pettrix::sumdll.isBound());

    typeInto(&form, "Text1", QStringLiteral("1"));
    typeInto(&form, "Text2", QStringLiteral("2"));
    clickButton(&form, "Command1");

    EXPECT_THAT(recordedCalls(), testing::ElementsAre(SumdllCall{10, 20, 0}, SumdllCall{1, 2, 0}));
    EXPECT_THAT(answerer.seen(), testing::ElementsAre(box("a+b="), box("30"), box("a+b="), box("3")));
}

// c starts at 0 at every click, so a routine that stores nothing shows 0, not an earlier sum.
TEST_F(TolvanWindow, ARoutineThatLeavesCAloneShows0)
{
    MessageBoxAnswerer answerer;
    clickButton(&form, "Command1");
    recordingForget();
    recordingLeaveStorageAlone(1);
    clickButton(&form, "Command1");

    EXPECT_THAT(recordedCalls(), testing::ElementsAre(SumdllCall{10, 20, 0}));
    EXPECT_THAT(answerer.seen(), testing::ElementsAre(box("a+b="), box("30"), box("a+b="), box("0")));
}

TEST_F(TolvanWindow, TheHandlerChangesNoControl)
{
    typeInto(&form, "Text1", QStringLiteral("1 2abc"));
    MessageBoxAnswerer answerer;
    clickButton(&form, "Command1");

    for (const StartingControl& row : controlRows) {
        const char* expected = std::string_view(row.name) == "Text1" ? "1 2abc" : row.shows;
        EXPECT_EQ(shownText(&form, row.name), expected) << row.name;
    }
}

// ---- Overflow ends the program -------------------------------------------------------------

struct OverflowRow {
    const char* what;
    const char* text1;
    const char* text2;
    const char* report; // how the report begins
};

const OverflowRow overflowRows[] = {
    {"32767.5 in Text1 rounds to 32768", "32767.5", "20", "Overflow: 32767.5 is outside"},
    {"-32768.6 in Text1 rounds to -32769", "-32768.6", "20", "Overflow: -32768.6 is outside"},
    {"40000 in Text2", "10", "40000", "Overflow: 40000 is outside"},
    {"-32769 in Text2", "10", "-32769", "Overflow: -32769 is outside"},
    {"a number too large for a 64-bit real", "1E999", "20", "Overflow: the number read from text"},
    {"Text1 ends the click before Text2 is read", "70000", "80000", "Overflow: 70000 is outside"},
};

TEST_F(TolvanWindow, AnOverflowIsReportedAndEndsTheProgramBeforeTheCall)
{
    for (const OverflowRow& row : overflowRows) {
        SCOPED_TRACE(row.what);
        const Ending end = clickWith(row.text1, row.text2);
        expectEndedWithTheReportAlone(end, row.report);
        EXPECT_THAT(end.report(), testing::Not(testing::HasSubstr("80000")));
        EXPECT_EQ(recordingCallCount(), 0);
    }
}

} // namespace
