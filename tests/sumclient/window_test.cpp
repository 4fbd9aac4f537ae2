// Tolvan's window through its real widgets, with a recording stand-in for Pettrix beside the
// test program: what sumdll is given, what the two boxes say, and how an overflow ends it all.
#include "tolvan_test.h"

#include "pettrix_binding.h"
#include "recording_pettrix.h"
#include "routine_binding.h"

#include <gmock/gmock.h>

#include <dlfcn.h>

#include <filesystem>
#include <vector>

using testing::AllOf;
using testing::HasSubstr;
using testing::Not;

bool operator==(const SumdllCall& left, const SumdllCall& right)
{
    return left.a == right.a && left.b == right.b && left.cOnEntry == right.cOnEntry;
}

void PrintTo(const SumdllCall& call, std::ostream* out)
{
    *out << "{a " << call.a << ", b " << call.b << ", c on entry " << call.cOnEntry << "}";
}

bool operator==(const SeenBox& left, const SeenBox& right)
{
    return left.title == right.title && left.text == right.text;
}

void PrintTo(const SeenBox& box, std::ostream* out)
{
    *out << "[" << box.title.toStdString() << "] " << box.text.toStdString();
}

namespace {

// The stand-in as the window binds it: the same file, so the same calls.
class RecordingPettrix {
public:
    RecordingPettrix()
    {
        const auto file = std::filesystem::path(programDirectory()) / libraryFileName("Pettrix.dll");
        handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(handle_, nullptr) << "cannot open " << file << ": " << dlerror();
        if (handle_) {
            reset_ = reinterpret_cast<decltype(reset_)>(dlsym(handle_, "recordingPettrixReset"));
            callCount_ = reinterpret_cast<decltype(callCount_)>(dlsym(handle_, "recordingPettrixCallCount"));
            call_ = reinterpret_cast<decltype(call_)>(dlsym(handle_, "recordingPettrixCall"));
        }
    }
    ~RecordingPettrix()
    {
        if (handle_)
            dlclose(handle_);
    }
    RecordingPettrix(const RecordingPettrix&) = delete;
    RecordingPettrix& operator=(const RecordingPettrix&) = delete;

    bool isOpen() const { return reset_ && callCount_ && call_; }
    void reset(int32_t behaviour) { reset_(behaviour); }
    int32_t callCount() const { return callCount_(); }
    std::vector<SumdllCall> calls() const
    {
        std::vector<SumdllCall> kept;
        for (int32_t i = 0; i < callCount_() && i < RECORDING_PETTRIX_ROOM; ++i)
            kept.push_back(call_(i));
        return kept;
    }

private:
    void* handle_ = nullptr;
    decltype(&recordingPettrixReset) reset_ = nullptr;
    decltype(&recordingPettrixCallCount) callCount_ = nullptr;
    decltype(&recordingPettrixCall) call_ = nullptr;
};

SeenBox box(const char* text)
{
    return {QStringLiteral("Tolvan"), QString::fromUtf8(text), QMessageBox::NoIcon};
}

class TolvanWindow : public TolvanTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pettrix.isOpen());
        pettrix.reset(RECORDING_STORES_SUM);
        TolvanTest::SetUp();
    }

    RecordingPettrix pettrix;
};

// ---- The window as it opens ---------------------------------------------------------------

struct ControlRow {
    const char* name;
    const char* shows; // caption or text
    Twips place;
    int tabIndex;
};

const ControlRow controlRows[] = {
    {"Label1", "Value of A", {480, 480, 975, 375}, 0},
    {"Text1", "10", {1680, 480, 975, 375}, 1},
    {"Label2", "Value of B", {480, 1440, 975, 255}, 2},
    {"Text2", "20", {1680, 1320, 975, 375}, 3},
    {"Command1", "call fortran function sumdll", {3720, 1440, 2655, 615}, 4},
};

QString shownBy(QWidget* widget)
{
    if (auto* label = qobject_cast<Label*>(widget))
        return QString::fromStdU16String(label->caption());
    if (auto* box = qobject_cast<TextBox*>(widget))
        return QString::fromStdU16String(box->text());
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    return QStringLiteral("(not a label, text box or button)");
}

TEST_F(TolvanWindow, OpensWithItsCaptionSizeAndFiveControls)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(window.size(), QSize(twipsToPixels(6960), twipsToPixels(4710)));
    EXPECT_EQ(window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), std::size(controlRows));

    for (const ControlRow& row : controlRows) {
        SCOPED_TRACE(row.name);
        auto* widget = control<QWidget>(&window, row.name);
        if (!widget)
            continue;
        EXPECT_EQ(shownBy(widget), QString::fromUtf8(row.shows));
        EXPECT_EQ(widget->geometry(), twipsToPixels(row.place));
        EXPECT_EQ(widget->property("TabIndex").toInt(), row.tabIndex);
    }
}

TEST_F(TolvanWindow, FocusStartsInText1AndTabSkipsTheLabels)
{
    EXPECT_EQ(focusedControlName(), QStringLiteral("Text1"));

    struct Step {
        Qt::Key key;
        const char* focusAfter;
    };
    const Step steps[] = {
        {Qt::Key_Tab, "Text2"},
        {Qt::Key_Tab, "Command1"},
        {Qt::Key_Tab, "Text1"},
        {Qt::Key_Backtab, "Command1"},
        {Qt::Key_Backtab, "Text2"},
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
        pettrix.reset(RECORDING_STORES_SUM);
        showAndActivate(&window); // a closed message box may have left no window active here
        QWidget* target = control<QWidget>(&window, row.focusOn);
        if (auto* box = qobject_cast<TextBox*>(target))
            target = box->editor();
        ASSERT_NE(target, nullptr);
        target->setFocus();

        MessageBoxAnswerer answerer;
        QTest::keyClick(target, row.key, row.modifiers);
        // An access key presses its button and releases it 100 ms later: wait well past that.
        QTest::qWait(300);
        EXPECT_EQ(pettrix.callCount(), row.clicks);
        EXPECT_EQ(answerer.seen().size(), 2u * row.clicks);
    }
}

// ---- One click ---------------------------------------------------------------------------

TEST_F(TolvanWindow, InitialTextsShowTheSum30)
{
    MessageBoxAnswerer answerer;
    clickButton(&window, "Command1");

    EXPECT_THAT(pettrix.calls(), testing::ElementsAre(SumdllCall{10, 20, 0}));
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
        pettrix.reset(RECORDING_STORES_SUM);
        typeInto(&window, "Text1", QString::fromUtf8(row.text1));
        typeInto(&window, "Text2", QString::fromUtf8(row.text2));

        MessageBoxAnswerer answerer;
        clickButton(&window, "Command1");

        EXPECT_THAT(pettrix.calls(), testing::ElementsAre(SumdllCall{row.a, row.b, 0}));
        EXPECT_THAT(answerer.seen(), testing::ElementsAre(box("a+b="), box(row.sumShown)));
    }
}

// ---- Clicks after the first --------------------------------------------------------------

TEST_F(TolvanWindow, ASecondClickCallsTheBoundRoutineWithTheNewTexts)
{
    MessageBoxAnswerer answerer;
    clickButton(&window, "Command1");
    EXPECT_TRUE(Pettrix::sumdll.isBound());

    typeInto(&window, "Text1", QStringLiteral("1"));
    typeInto(&window, "Text2", QStringLiteral("2"));
    clickButton(&window, "Command1");

    EXPECT_THAT(pettrix.calls(), testing::ElementsAre(SumdllCall{10, 20, 0}, SumdllCall{1, 2, 0}));
    EXPECT_THAT(answerer.seen(), testing::ElementsAre(box("a+b="), box("30"), box("a+b="), box("3")));
}

// c starts at 0 at every click, so a routine that stores nothing shows 0, not an earlier sum.
TEST_F(TolvanWindow, ARoutineThatLeavesCAloneShows0)
{
    MessageBoxAnswerer answerer;
    clickButton(&window, "Command1");
    pettrix.reset(RECORDING_LEAVES_C_ALONE);
    clickButton(&window, "Command1");

    EXPECT_THAT(pettrix.calls(), testing::ElementsAre(SumdllCall{10, 20, 0}));
    EXPECT_THAT(answerer.seen(), testing::ElementsAre(box("a+b="), box("30"), box("a+b="), box("0")));
}

TEST_F(TolvanWindow, TheHandlerChangesNoControl)
{
    typeInto(&window, "Text1", QStringLiteral("1 2abc"));
    MessageBoxAnswerer answerer;
    clickButton(&window, "Command1");

    for (const ControlRow& row : controlRows) {
        const char* expected = std::string_view(row.name) == "Text1" ? "1 2abc" : row.shows;
        EXPECT_EQ(shownBy(control<QWidget>(&window, row.name)), QString::fromUtf8(expected)) << row.name;
    }
}

// ---- Overflow ends the program -------------------------------------------------------------

struct OverflowRow {
    const char* what;
    const char* text1;
    const char* text2;
    const char* report;
    const char* notMentioned; // nullptr: nothing to rule out
};

const OverflowRow overflowRows[] = {
    {"32767.5 in Text1 rounds to 32768", "32767.5", "20", "Overflow: 32767.5 is outside", nullptr},
    {"-32768.6 in Text1 rounds to -32769", "-32768.6", "20", "Overflow: -32768.6 is outside", nullptr},
    {"40000 in Text2", "10", "40000", "Overflow: 40000 is outside", nullptr},
    {"-32769 in Text2", "10", "-32769", "Overflow: -32769 is outside", nullptr},
    {"a number too large for a 64-bit real", "1E999", "20", "Overflow: the number read from text", nullptr},
    {"Text1 ends the click before Text2 is read", "70000", "80000", "Overflow: 70000 is outside", "80000"},
};

TEST_F(TolvanWindow, AnOverflowIsReportedAndEndsTheProgramBeforeTheCall)
{
    for (const OverflowRow& row : overflowRows) {
        SCOPED_TRACE(row.what);
        testing::Matcher<const std::string&> ruledOut =
            row.notMentioned ? testing::Matcher<const std::string&>(Not(HasSubstr(row.notMentioned))) : testing::_;
        EXPECT_EXIT(
            {
                MessageBoxAnswerer answerer;
                echoBoxesToStderr(answerer, [this] { return "sumdll calls: " + std::to_string(pettrix.callCount()); });
                typeInto(&window, "Text1", QString::fromUtf8(row.text1));
                typeInto(&window, "Text2", QString::fromUtf8(row.text2));
                clickButton(&window, "Command1");
            },
            testing::ExitedWithCode(1),
            AllOf(HasSubstr(std::string("box 1 [Tolvan] ") + row.report), HasSubstr("| sumdll calls: 0"),
                  Not(HasSubstr("box 2")), ruledOut));
    }
}

} // namespace
