// Korvik's window before any test runs: its layout, focus order, access keys, Restart and Exit.
#include "korvik_fixture.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <QAccessible>
#include <QAccessibleValueInterface>

namespace {

// Captions as the program writes them, "&" included.
const StartingControl buttons[] = {
    {"cmdstart1", "Start1(&1)", 1},      {"cmdexit", "Exit (&X)", 2},    {"cmdstart2", "Start2(&2)", 4},
    {"cmdstartall", "Start All(&A)", 5}, {"cmdstart3", "Start(&3)", 7},  {"cmdrestart", "Restart(&R)", 9},
    {"cmdstart4", "Start(&4)", 10},      {"cmdstart5", "Start(&5)", 12}, {"cmdstart6", "Start(&6)", 14},
    {"cmdstart7", "Start(&7)", 16},
};

const StartingControl fields[] = {
    {"lblindex2", "Label1", 3}, {"Text1", "Text1", 6},    {"Label1", "Label1", 8},  {"Text2", "Text2", 11},
    {"Label2", "Label2", 13},   {"Label3", "Label3", 15}, {"Label4", "Label4", 17},
};

TEST_F(KorvikWindow, StartsCentredWithItsCaptionsAndTabIndexes)
{
    EXPECT_EQ(form.windowTitle(), "Form1");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), 1) << "the window is centred";

    expectControlsAtStart(&form, buttons);
    expectControlsAtStart(&form, fields);
    EXPECT_EQ(bar()->minimumValue(), 0.0f);
    EXPECT_EQ(bar()->maximumValue(), 100.0f);
    EXPECT_EQ(bar()->currentValue(), 0.0f);
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(lamp()->fillColor(), 0xC0C0C0u);
}

TEST_F(KorvikWindow, EveryControlIsInSightAndEveryCaptionFits)
{
    expectReadableLayout(&form);
}

TEST_F(KorvikWindow, TabMovesTheFocusInTabIndexOrderPastLabelsAndTheLamp)
{
    const char* order[] = {"cmdstart1", "cmdexit", "cmdstart2", "cmdstartall", "Text1",     "cmdstart3", "cmdrestart",
                           "cmdstart4", "Text2",   "cmdstart5", "cmdstart6",   "cmdstart7", "cmdstart1"};
    EXPECT_EQ(focusedControlName(), order[0]) << "the focus starts on the first control that takes it";
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focusedControlName(), order[i]) << "Tab number " << i;
    }
}

TEST_F(KorvikWindow, AccessKeysAreUnderlinedLettersThatClickTheirButtons)
{
    for (const auto& b : buttons) {
        const QString caption = b.shows;
        const QChar key = caption.at(caption.indexOf('&') + 1);
        EXPECT_EQ(control<CommandButton>(&form, b.name)->shortcut(), QKeySequence(QString("Alt+") + key)) << b.name;
    }
    pressAccessKey(&form, Qt::Key_R);
    EXPECT_EQ(shown("Label4"), "") << "Alt+R ran Restart";
    pressAccessKey(&form, Qt::Key_5);
    EXPECT_EQ(shown("Label2"), "15  0") << "Alt+5 ran test 5";
}

TEST_F(KorvikWindow, SpaceAndEnterClickTheFocusedButton)
{
    auto* restart = control<CommandButton>(&form, "cmdrestart");
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        label("Label3")->setCaption(u"filled");
        restart->setFocus();
        QTest::keyClick(restart, key);
        EXPECT_EQ(shown("Label3"), "") << "key " << key;
    }
}

TEST_F(KorvikWindow, RestartEmptiesEveryResultFieldAndSetsTheBarToMin)
{
    bar()->writeProperty("Value", 42.0f);
    clickButton(&form, "cmdrestart");
    for (const auto& f : fields)
        EXPECT_EQ(shown(f.name), "") << f.name;
    EXPECT_EQ(bar()->currentValue(), 0.0f);
    EXPECT_EQ(lamp()->fillColor(), 0xC0C0C0u) << "Restart leaves the lamp alone";

    clickButton(&form, "cmdrestart");
    for (const auto& f : fields)
        EXPECT_EQ(shown(f.name), "") << f.name << " after a second Restart";
    EXPECT_EQ(bar()->currentValue(), 0.0f);
}

TEST_F(KorvikWindow, RestartSetsTheBarToWhateverMinIs)
{
    bar()->writeProperty("Max", 50.0f);
    bar()->writeProperty("Min", 12.5f);
    bar()->writeProperty("Value", 40.0f);
    clickButton(&form, "cmdrestart");
    EXPECT_EQ(bar()->currentValue(), 12.5f);
}

TEST_F(KorvikWindow, ControlsAreNamedForAssistiveTechnology)
{
    EXPECT_EQ(form.accessibleDescription(), "Form1");
    EXPECT_EQ(label("lblindex2")->accessibleDescription(), "lblindex2");
    EXPECT_EQ(label("lblindex2")->accessibleName(), "Label1");
    EXPECT_EQ(textBox("Text1")->editor()->accessibleName(), "Text1");
    EXPECT_EQ(lamp()->accessibleName(), "#C0C0C0");

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar());
    ASSERT_NE(accessible, nullptr);
    QAccessibleValueInterface* value = accessible->valueInterface();
    ASSERT_NE(value, nullptr);
    bar()->writeProperty("Value", 14.285714f);
    EXPECT_EQ(value->currentValue().toFloat(), 14.285714f);
    EXPECT_EQ(value->minimumValue().toFloat(), 0.0f);
    EXPECT_EQ(value->maximumValue().toFloat(), 100.0f);
}

TEST_F(KorvikWindow, TheBarKeepsItsValuesAsExact32BitReals)
{
    const float step = 100.0f / 7;
    bar()->writeProperty("Value", Variant::reference(const_cast<float*>(&step)));
    EXPECT_EQ(bar()->currentValue(), step);
    EXPECT_EQ(bar()->readProperty("Value").kind(), VT_R4);
    EXPECT_EQ(bar()->readProperty("Min").kind(), VT_R4);
    EXPECT_EQ(bar()->value(), 142857) << "the drawn fraction";
}

TEST_F(KorvikWindow, TheBarRefusesWhatItCannotShow)
{
    const struct {
        const char* property;
        Variant value;
    } refused[] = {{"Value", 100.5f}, {"Value", -1.0f}, {"Min", 101.0f}, {"Colour", 1.0f}};
    for (const auto& r : refused) {
        try {
            bar()->writeProperty(r.property, r.value);
            ADD_FAILURE() << r.property << " accepted";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.code(), ErrorCode::ControlOperationFailed) << r.property;
            EXPECT_THAT(error.what(), testing::HasSubstr("ProgressBar1")) << r.property;
        }
    }
    EXPECT_EQ(bar()->currentValue(), 0.0f);
}

TEST_F(KorvikWindow, ExitEndsTheProgramAtOnceWithoutAQuestion)
{
    label("Label1")->setCaption(u"a result");
    const Ending end = clickToTheEnd("cmdexit");
    EXPECT_EQ(end.status, 0);
    EXPECT_THAT(end.boxes, testing::IsEmpty());
}

// The one test that lets Exit end the process, through its access key.
using KorvikWindowDeathTest = KorvikWindow;

TEST_F(KorvikWindowDeathTest, AltXEndsTheProcessWithStatus0)
{
    expectTheProcessToEnd(0, [this] { pressAccessKey(&form, Qt::Key_X); });
}

} // namespace
