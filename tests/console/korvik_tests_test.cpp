// Korvik's seven tests, the method Sample and Start All, against the Ostrum test double:
// what crosses to each routine, what comes back, and what the window then shows.
#include "korvik_fixture.h"
#include "ostrum_double.h"

#include <gmock/gmock.h>

#include <cfloat>
#include <cstring>
#include <functional>

namespace {

class KorvikTests : public KorvikWindow {
protected:
    void SetUp() override
    {
        KorvikWindow::SetUp();
        ostrumDoubleReset(0, 0);
    }
    void TearDown() override { ostrumDoubleListen(nullptr); }

    const OstrumDoubleRecord& record() { return *ostrumDoubleRecord(); }

    // Runs `look` at the start of every routine the double is called with.
    static void whileEachRoutineRuns(std::function<void(const char*)> look)
    {
        looking = std::move(look);
        ostrumDoubleListen([](const char* routine) { looking(routine); });
    }
    static inline std::function<void(const char*)> looking;
};

const std::u16string blanks16(16, u' ');

TEST_F(KorvikTests, Test1PassesBothTextsAsTerminatedCopiesWithTheirLengths)
{
    clickButton(&form, "cmdstart1");
    EXPECT_EQ(std::memcmp(record().textA, "Woo HaHaHaHa        ", 21), 0);
    EXPECT_EQ(std::memcmp(record().textB, "aaaa                ", 21), 0);
    EXPECT_EQ(record().lengthA, 20);
    EXPECT_EQ(record().lengthB, 20);
}

TEST_F(KorvikTests, Test1ShowsTextBTurnedBackOverItsFullLength)
{
    const struct {
        const char* what;
        int behaviour;
        std::u16string caption;
    } cases[] = {
        {"a routine that writes nothing", 0, u"aaaa" + blanks16},
        {"three letters and a zero byte into text B", DOUBLE_CHARA_WRITES_B, std::u16string(u"abc\0", 4) + blanks16},
        {"a change to text A is not shown", DOUBLE_CHARA_CHANGES_A, u"aaaa" + blanks16},
        {"a change to length A is not shown", DOUBLE_CHARA_CHANGES_LENGTH_A, u"aaaa" + blanks16},
    };
    for (const auto& c : cases) {
        ostrumDoubleReset(c.behaviour, 0);
        clickButton(&form, "cmdstart1");
        EXPECT_EQ(label("lblindex2")->caption(), c.caption) << c.what;
        EXPECT_EQ(label("lblindex2")->caption().size(), 20u) << c.what;
    }
}

TEST_F(KorvikTests, Test3PassesA32BitTemporaryAndStoresItBack)
{
    clickButton(&form, "cmdstart3");
    EXPECT_EQ(record().squareArgument, 5.0f);
    EXPECT_EQ(shown("Label1"), "xx = 5, xx^2 = 25");

    ostrumDoubleReset(DOUBLE_SQUARE_CHANGES_ARGUMENT, 0);
    clickButton(&form, "cmdstart3");
    EXPECT_EQ(shown("Label1"), "xx = 7, xx^2 = 25") << "the temporary came back into xx";
}

TEST_F(KorvikTests, Test5ShowsBothNumbersAsTheRoutineLeftThem)
{
    clickButton(&form, "cmdstart5");
    EXPECT_EQ(record().transA, 15);
    EXPECT_EQ(record().transB, 0);
    EXPECT_EQ(shown("Label2"), "15  0");

    ostrumDoubleReset(DOUBLE_TRANSNUMBER_EXCHANGES, 0);
    clickButton(&form, "cmdstart5");
    EXPECT_EQ(shown("Label2"), "0  15");
}

const char* const firstListing = "x(i) = 1\r\nx(i) = 2\r\nx(i) = 3\r\nx(i) = 4\r\nx(i) = 5\r\n"
                                 "x(i) = 6\r\nx(i) = 7\r\nx(i) = 8\r\nx(i) = 9\r\nx(i) = 10\r\n";

TEST_F(KorvikTests, Test2ShowsTheFirstListingWhileXArrayRuns)
{
    std::string duringTheCall;
    whileEachRoutineRuns([&](const char*) { duringTheCall = shown("Text1"); });
    clickButton(&form, "cmdstart2");
    EXPECT_EQ(duringTheCall, firstListing);
    EXPECT_EQ(duringTheCall.size(), 101u);
}

TEST_F(KorvikTests, Test2GivesXArrayTheCountAndTheFirstElements)
{
    clickButton(&form, "cmdstart2");
    EXPECT_EQ(record().xCount, 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(record().xElements[i].kind, VT_I2) << i;
        EXPECT_EQ(record().xElements[i].value.i2, i + 1) << i;
        EXPECT_EQ(record().yElements[i].kind, VT_EMPTY) << i;
    }
}

TEST_F(KorvikTests, Test2ListsTheElementsAsXArrayLeftThem)
{
    const struct {
        const char* what;
        int behaviour;
        int16_t count;
        std::string listing;
    } cases[] = {
        {"squares, count kept", DOUBLE_XARRAY_SQUARES, 0,
         "i = 1   x = 1   x^2 = 1\r\ni = 2   x = 2   x^2 = 4\r\ni = 3   x = 3   x^2 = 9\r\n"
         "i = 4   x = 4   x^2 = 16\r\ni = 5   x = 5   x^2 = 25\r\ni = 6   x = 6   x^2 = 36\r\n"
         "i = 7   x = 7   x^2 = 49\r\ni = 8   x = 8   x^2 = 64\r\ni = 9   x = 9   x^2 = 81\r\n"
         "i = 10   x = 10   x^2 = 100\r\n"},
        {"count lowered to 2", DOUBLE_XARRAY_SQUARES | DOUBLE_CHANGES_COUNT, 2,
         "i = 1   x = 1   x^2 = 1\r\ni = 2   x = 2   x^2 = 4\r\n"},
        {"count set to 0", DOUBLE_CHANGES_COUNT, 0, ""},
        {"y left empty", 0, 0,
         "i = 1   x = 1   x^2 = \r\ni = 2   x = 2   x^2 = \r\ni = 3   x = 3   x^2 = \r\n"
         "i = 4   x = 4   x^2 = \r\ni = 5   x = 5   x^2 = \r\ni = 6   x = 6   x^2 = \r\n"
         "i = 7   x = 7   x^2 = \r\ni = 8   x = 8   x^2 = \r\ni = 9   x = 9   x^2 = \r\n"
         "i = 10   x = 10   x^2 = \r\n"},
    };
    for (const auto& c : cases) {
        ostrumDoubleReset(c.behaviour, c.count);
        clickButton(&form, "cmdstart2");
        EXPECT_EQ(shown("Text1"), c.listing) << c.what;
    }
}

TEST_F(KorvikTests, Test4ListsTheSquaresThatSampleStored)
{
    clickButton(&form, "cmdstart4");
    const std::string listing = shown("Text2");
    EXPECT_EQ(listing,
              "xxx = 1   xxx^2 = 1\r\nxxx = 2   xxx^2 = 4\r\nxxx = 3   xxx^2 = 9\r\n"
              "xxx = 4   xxx^2 = 16\r\nxxx = 5   xxx^2 = 25\r\nxxx = 6   xxx^2 = 36\r\n"
              "xxx = 7   xxx^2 = 49\r\nxxx = 8   xxx^2 = 64\r\nxxx = 9   xxx^2 = 81\r\n"
              "xxx = 10   xxx^2 = 100\r\n");
    EXPECT_EQ(listing.size(), 219u);
    EXPECT_EQ(record().calls, 0) << "test 4 calls no routine of Ostrum";
}

TEST_F(KorvikTests, SampleSquaresAsFarAsNnAndBothArraysReach)
{
    const struct {
        float nn;
        int squaresStored;
        bool subscriptError;
    } cases[] = {
        {10, 10, false}, {2.5f, 2, false}, {0.5f, 0, false}, {-3, 0, false}, {11, 10, true},
    };
    for (const auto& c : cases) {
        VariantArray x = VariantArray::fixed(1, 10);
        VariantArray y = VariantArray::fixed(1, 10);
        for (int16_t i = 1; i <= 10; ++i)
            x(i) = static_cast<float>(i);
        float nn = c.nn;
        if (c.subscriptError)
            EXPECT_THROW(form.Sample(nn, x, y), RuntimeError) << c.nn;
        else
            EXPECT_NO_THROW(form.Sample(nn, x, y)) << c.nn;
        for (int i = 1; i <= 10; ++i) {
            if (i <= c.squaresStored) {
                EXPECT_EQ(y(i).kind(), VT_R8) << "nn " << c.nn << ", element " << i;
                EXPECT_EQ(y(i).toDouble(), double(i) * i) << "nn " << c.nn << ", element " << i;
            } else {
                EXPECT_TRUE(y(i).isEmpty()) << "nn " << c.nn << ", element " << i;
            }
        }
        EXPECT_EQ(nn, c.nn) << "Sample leaves nn alone";
        EXPECT_EQ(x(3).toSingle(), 3.0f) << "Sample leaves xxx alone";
    }
}

TEST_F(KorvikTests, SampleChecksEachArrayBeforeStoringAnything)
{
    VariantArray x = VariantArray::fixed(1, 10);
    VariantArray none;
    VariantArray shortY = VariantArray::fixed(1, 3);
    float nn = 5;
    EXPECT_THROW(form.Sample(nn, x, none), RuntimeError) << "a yyy that holds no array";
    EXPECT_THROW(form.Sample(nn, none, shortY), RuntimeError) << "an xxx that holds no array";
    EXPECT_TRUE(shortY(1).isEmpty()) << "nothing stored before the error";
    EXPECT_THROW(form.Sample(nn, x, shortY), RuntimeError) << "yyy shorter than nn";
    EXPECT_EQ(shortY(3).kind(), VT_R8) << "elements 1 to 3 were stored before index 4 failed";
}

void expectTenSmallIntegers(const SAFEARRAY& descriptor, const VARIANT* elements, int first, int step)
{
    EXPECT_EQ(descriptor.dimensions, 1);
    EXPECT_EQ(descriptor.elementSize, 16u);
    EXPECT_TRUE(descriptor.features & SAFEARRAY_OF_VARIANTS);
    EXPECT_EQ(descriptor.bounds[0].elementCount, 10u);
    EXPECT_EQ(descriptor.bounds[0].lowerBound, 1);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(elements[i].kind, VT_I2) << i;
        EXPECT_EQ(elements[i].value.i2, first + i * step) << i;
    }
}

TEST_F(KorvikTests, Test6PassesTheCountAndTheWholeArrayByReference)
{
    clickButton(&form, "cmdstart6");
    EXPECT_EQ(record().yArrayCount, 10);
    ASSERT_TRUE(record().yArrayGotDescriptor);
    expectTenSmallIntegers(record().yArrayDescriptor, record().yArrayElements, 2, 2);
    EXPECT_EQ(shown("Label3"), "OKey");
}

TEST_F(KorvikTests, Test7WrapsTheArrayInAVariantTagged600C)
{
    clickButton(&form, "cmdstart7");
    EXPECT_EQ(record().zWrapper.kind, 0x600C);
    ASSERT_TRUE(record().zArrayGotDescriptor);
    expectTenSmallIntegers(record().zArrayDescriptor, record().zArrayElements, 1, 1);
    EXPECT_EQ(shown("Label4"), "O-Key");
}

TEST_F(KorvikTests, Tests6And7ConfirmWhateverTheRoutineDid)
{
    ostrumDoubleReset(DOUBLE_CHANGES_COUNT, 99);
    clickButton(&form, "cmdstart6");
    clickButton(&form, "cmdstart7");
    EXPECT_EQ(shown("Label3"), "OKey");
    EXPECT_EQ(shown("Label4"), "O-Key");
}

TEST_F(KorvikTests, ASecondClickShowsTheSameResultAgain)
{
    ostrumDoubleReset(DOUBLE_XARRAY_SQUARES | DOUBLE_TRANSNUMBER_EXCHANGES, 0);
    for (const char* button : {"cmdstart1", "cmdstart2", "cmdstart3", "cmdstart4", "cmdstart5"}) {
        clickButton(&form, button);
        const std::string first = narrow(label("lblindex2")->caption() + textBox("Text1")->text() +
                                         label("Label1")->caption() + textBox("Text2")->text() +
                                         label("Label2")->caption());
        clickButton(&form, button);
        EXPECT_EQ(narrow(label("lblindex2")->caption() + textBox("Text1")->text() + label("Label1")->caption() +
                         textBox("Text2")->text() + label("Label2")->caption()),
                  first)
            << button;
    }
}

// ---- Start All ----

TEST_F(KorvikTests, StartAllAsksFirstWithTheLampAlreadyRed)
{
    MessageBoxAnswerer answerer;
    uint32_t lampWhileAsking = 0;
    float barWhileAsking = -1;
    bar()->writeProperty("Value", 100.0f); // as an earlier run leaves it
    answerer.whileOpen = [&](QMessageBox&, int) {
        lampWhileAsking = lamp()->fillColor();
        barWhileAsking = bar()->currentValue();
    };
    clickButton(&form, "cmdstartall");
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Korvik");
    EXPECT_EQ(answerer.seen()[0].text, "Start?");
    EXPECT_EQ(lampWhileAsking, red);
    EXPECT_EQ(barWhileAsking, 100.0f) << "the bar goes to Min only after the box is closed";
    EXPECT_EQ(lamp()->fillColor(), blue) << "blue after a complete run";
}

TEST_F(KorvikTests, StartAllAdvancesTheBarAfterEachTest)
{
    MessageBoxAnswerer answerer;
    std::vector<std::pair<std::string, float>> barDuring;
    whileEachRoutineRuns([&](const char* routine) { barDuring.emplace_back(routine, bar()->currentValue()); });
    clickButton(&form, "cmdstartall");

    // Test 4 calls the window's own Sample, so no routine shows the bar's position during it.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"chara", "0"},         {"xArray", "14.28571"}, {"square", "28.57143"}, {"transnumber", "57.14286"},
        {"yArray", "71.42857"}, {"zArray", "85.71429"},
    };
    ASSERT_EQ(barDuring.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(barDuring[i].first, expected[i].first);
        EXPECT_EQ(narrow(textForJoining(barDuring[i].second, u'.')), expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(bar()->currentValue(), 100.0f);
}

TEST_F(KorvikTests, StartAllStepsAreExact32BitRealsForAnyMax)
{
    for (float max : {7.0f, 0.0f, 1.0f, FLT_MAX, 100.0f}) {
        MessageBoxAnswerer answerer;
        bar()->writeProperty("Max", max);
        std::vector<float> steps;
        whileEachRoutineRuns([&](const char*) { steps.push_back(bar()->currentValue()); });
        clickButton(&form, "cmdstartall");
        const int afterTest[] = {0, 1, 2, 4, 5, 6}; // the tests done when each routine runs
        ASSERT_EQ(steps.size(), 6u) << max;
        for (std::size_t i = 0; i < steps.size(); ++i)
            EXPECT_EQ(steps[i], static_cast<float>(double{max} * afterTest[i] / 7)) << "Max " << max << ", step " << i;
        EXPECT_EQ(bar()->currentValue(), max) << "the last step is Max exactly";
    }
}

TEST_F(KorvikTests, StartAllReadsMaxAfreshAtEveryStep)
{
    MessageBoxAnswerer answerer;
    whileEachRoutineRuns([&](const char* routine) {
        if (std::strcmp(routine, "transnumber") == 0)
            bar()->writeProperty("Max", 70.0f);
    });
    clickButton(&form, "cmdstartall");
    EXPECT_EQ(bar()->currentValue(), 70.0f);
}

TEST_F(KorvikTests, StartAllFillsEveryFieldAsItsOwnButtonDoes)
{
    ostrumDoubleReset(DOUBLE_XARRAY_SQUARES | DOUBLE_TRANSNUMBER_EXCHANGES, 0);
    const char* buttons[] = {"cmdstart1", "cmdstart2", "cmdstart3", "cmdstart4", "cmdstart5", "cmdstart6", "cmdstart7"};
    for (const char* button : buttons)
        clickButton(&form, button);
    const std::u16string byButtons = label("lblindex2")->caption() + textBox("Text1")->text() +
        label("Label1")->caption() + textBox("Text2")->text() + label("Label2")->caption() +
        label("Label3")->caption() + label("Label4")->caption();
    clickButton(&form, "cmdrestart");
    MessageBoxAnswerer answerer;
    clickButton(&form, "cmdstartall");
    EXPECT_EQ(narrow(label("lblindex2")->caption() + textBox("Text1")->text() + label("Label1")->caption() +
                     textBox("Text2")->text() + label("Label2")->caption() + label("Label3")->caption() +
                     label("Label4")->caption()),
              narrow(byButtons));
}

// ---- A runtime error ----

// xArray sets the count beyond the arrays: the second listing runs into index 11.
TEST_F(KorvikTests, ASubscriptErrorEndsTest2WithTheFirstListingShown)
{
    ostrumDoubleReset(DOUBLE_CHANGES_COUNT, 11);
    expectEndedWithTheReportAlone(clickToTheEnd("cmdstart2"), "Subscript out of range: index 11 is outside 1 to 10");
    EXPECT_EQ(shown("Text1"), firstListing);
}

TEST_F(KorvikTests, AnErrorStopsStartAllAfterTheLastCompletedStep)
{
    ostrumDoubleReset(DOUBLE_CHANGES_COUNT, 11);
    const Ending end = clickToTheEnd("cmdstartall");
    EXPECT_EQ(end.status, 1);
    EXPECT_THAT(end.report(), testing::StartsWith("Subscript out of range"));
    EXPECT_EQ(lamp()->fillColor(), red) << "the lamp stays red";
    EXPECT_EQ(bar()->currentValue(), static_cast<float>(100.0 / 7)) << "the bar keeps the step after test 1";
    EXPECT_EQ(shown("lblindex2"), "aaaa                ");
    for (const char* later : {"Label1", "Label2", "Label3", "Label4"})
        EXPECT_EQ(shown(later), later) << "a later test ran";
    EXPECT_THAT(shown("Text1"), testing::StartsWith("x(i) = 1\r\n"));
}

TEST_F(KorvikTests, ClosingTheQuestionAnyWayGoesOnWithTheRun)
{
    for (auto answer : {MessageBoxAnswerer::Answer::PressEscape, MessageBoxAnswerer::Answer::CloseBox}) {
        MessageBoxAnswerer answerer(answer);
        lamp()->setFillColor(0xC0C0C0);
        clickButton(&form, "cmdstartall");
        EXPECT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(lamp()->fillColor(), blue);
        EXPECT_EQ(bar()->currentValue(), 100.0f);
    }
}

TEST_F(KorvikTests, RestartAfterStartAllLeavesTheLampBlue)
{
    MessageBoxAnswerer answerer;
    clickButton(&form, "cmdstartall");
    clickButton(&form, "cmdrestart");
    EXPECT_EQ(bar()->currentValue(), 0.0f);
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(lamp()->fillColor(), blue);
}

} // namespace
