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

struct Placed {
    const char* name;
    const char* caption; // as the program writes it, "&" included
    Twips place;
    int tabIndex;
};

const Placed buttons[] = {
    {"cmdstart1", "Start1(&1)", {120, 360, 855, 375}, 1},     {"cmdexit", "Exit (&X)", {3960, 1800, 1095, 375}, 2},
    {"cmdstart2", "Start2(&2)", {120, 840, 855, 375}, 4},     {"cmdstartall", "Start All(&A)", {3960, 360, 1095, 375}, 5},
    {"cmdstart3", "Start(&3)", {120, 1800, 855, 375}, 7},     {"cmdrestart", "Restart(&R)", {3960, 720, 1095, 375}, 9},
    {"cmdstart4", "Start(&4)", {120, 2280, 855, 375}, 10},    {"cmdstart5", "Start(&5)", {120, 3240, 855, 375}, 12},
    {"cmdstart6", "Start(&6)", {120, 3720, 855, 375}, 14},    {"cmdstart7", "Start(&7)", {120, 4200, 855, 375}, 16},
};

const Placed fields[] = {
    {"lblindex2", "Label1", {1080, 360, 2655, 255}, 3},  {"Text1", "Text1", {1080, 840, 2775, 855}, 6},
    {"Label1", "Label1", {1080, 1800, 2775, 255}, 8},    {"Text2", "Text2", {1080, 2280, 2775, 855}, 11},
    {"Label2", "Label2", {1080, 3240, 2775, 255}, 13},   {"Label3", "Label3", {1080, 3720, 2775, 255}, 15},
    {"Label4", "Label4", {1080, 4200, 2775, 255}, 17},
};

std::u16string fieldContent(QWidget* field)
{
    if (auto* box = qobject_cast<TextBox*>(field))
        return box->text();
    return qobject_cast<Label*>(field)->caption();
}

TEST_F(KorvikWindow, StartsAsItsDescriptionGivesIt)
{
    EXPECT_EQ(form.windowTitle(), "Form1");
    EXPECT_EQ(form.size(), QSize(twipsToPixels(5055), twipsToPixels(4665)));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), 1) << "the window is centred";

    for (const auto& b : buttons) {
        auto* button = control<CommandButton>(&form, b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), b.caption) << b.name;
        EXPECT_EQ(button->geometry(), twipsToPixels(b.place)) << b.name;
        EXPECT_EQ(button->property("TabIndex").toInt(), b.tabIndex) << b.name;
    }
    for (const auto& f : fields) {
        auto* field = control<QWidget>(&form, f.name);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(shown(fieldContent(field)), f.caption) << f.name;
        EXPECT_EQ(field->geometry(), twipsToPixels(f.place)) << f.name;
        EXPECT_EQ(field->property("TabIndex").toInt(), f.tabIndex) << f.name;
    }
    EXPECT_EQ(bar()->geometry(), twipsToPixels(Twips{120, 0, 4815, 255}));
    EXPECT_EQ(bar()->minimumValue(), 0.0f);
    EXPECT_EQ(bar()->maximumValue(), 100.0f);
    EXPECT_EQ(bar()->currentValue(), 0.0f);
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(lamp()->geometry(), twipsToPixels(Twips{4200, 1200, 615, 615}));
    EXPECT_EQ(lamp()->fillColor(), 0xC0C0C0u);
}

TEST_F(KorvikWindow, TabMovesTheFocusInTabIndexOrderPastLabelsAndTheLamp)
{
    const char* order[] = {"cmdstart1", "cmdexit",   "cmdstart2", "cmdstartall", "Text1",     "cmdstart3", "cmdrestart",
                           "cmdstart4", "Text2",     "cmdstart5", "cmdstart6",   "cmdstart7", "cmdstart1"};
    EXPECT_EQ(focusedControlName(), order[0]) << "the focus starts on the first control that takes it";
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focusedControlName(), order[i]) << "Tab number " << i;
    }
}

TEST_F(KorvikWindow, AccessKeysAreUnderlinedLettersThatClickTheirButtons)
{
    for (const auto& b : buttons) {
        const QString caption = b.caption;
        const QChar key = caption.at(caption.indexOf('&') + 1);
        EXPECT_EQ(control<CommandButton>(&form, b.name)->shortcut(), QKeySequence(QString("Alt+") + key)) << b.name;
    }
    pressAccessKey(&form, Qt::Key_R);
    EXPECT_EQ(shown(label("Label4")->caption()), "") << "Alt+R ran Restart";
    pressAccessKey(&form, Qt::Key_5);
    EXPECT_EQ(shown(label("Label2")->caption()), "15  0") << "Alt+5 ran test 5";
}

TEST_F(KorvikWindow, SpaceAndEnterClickTheFocusedButton)
{
    auto* restart = control<CommandButton>(&form, "cmdrestart");
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        label("Label3")->setCaption(u"filled");
        restart->setFocus();
        QTest::keyClick(restart, key);
        EXPECT_EQ(shown(label("Label3")->caption()), "") << "key " << key;
    }
}

TEST_F(KorvikWindow, RestartEmptiesEveryResultFieldAndSetsTheBarToMin)
{
    bar()->writeProperty("Value", 42.0f);
    clickButton(&form, "cmdrestart");
    for (const auto& f : fields)
        EXPECT_EQ(shown(fieldContent(control<QWidget>(&form, f.name))), "") << f.name;
    EXPECT_EQ(bar()->currentValue(), 0.0f);
    EXPECT_EQ(lamp()->fillColor(), 0xC0C0C0u) << "Restart leaves the lamp alone";

    clickButton(&form, "cmdrestart");
    for (const auto& f : fields)
        EXPECT_EQ(shown(fieldContent(control<QWidget>(&form, f.name))), "") << f.name << " after a second Restart";
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

using KorvikWindowDeathTest = KorvikWindow;

TEST_F(KorvikWindowDeathTest, ExitEndsTheProgramAtOnceWithoutAQuestion)
{
    EXPECT_EXIT(
        {
            MessageBoxAnswerer answerer;
            answerer.whileOpen = [] { std::_Exit(98); }; // a question or report would end here
            label("Label1")->setCaption(u"a result");
            clickButton(&form, "cmdexit");
            std::exit(99);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(KorvikWindowDeathTest, AltXEndsTheProgram)
{
    EXPECT_EXIT(
        {
            pressAccessKey(&form, Qt::Key_X);
            std::exit(99);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
