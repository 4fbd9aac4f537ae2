// Korvik's seven tests through its real buttons, beside a recording Ostrum: what each test
// passes, as the teaching pages show it (teaching_pages.h).
#include "form1.h"
#include "gui_test.h"
#include "recording.h"
#include "teaching_pages.h"

// Test 4 calls no routine of a library but the window's own method Sample, so no double can
// stand in for it. Instead this program is linked so that every call the window makes of
// VariantArray::operator()(double), the element look-up with a real index that Sample's
// 32-bit real counter uses, passes through the wrapper below first (the linker's --wrap).
// Before Start(4) calls Sample it looks up elements of x alone; Sample's first step looks up
// xxx(1) and then yyy(1), before it stores anything. So the first look-up on a second array is
// Sample's yyy(1), and the memory it sees then is the memory at the call of Sample.
namespace {

struct LookUpWatch {
    bool watching = false;
    VariantArray* firstArray = nullptr; // x, filled before Sample is called
    bool taken = false;
    double indexWhenTaken = 0;
    Recording sampleCall = {};
};
LookUpWatch lookUps;

} // namespace

extern "C" Variant& __real__ZN12VariantArrayclEd(VariantArray* array, double index);

extern "C" Variant& __wrap__ZN12VariantArrayclEd(VariantArray* array, double index)
{
    if (lookUps.watching && !lookUps.taken) {
        if (!lookUps.firstArray) {
            lookUps.firstArray = array;
        } else if (array != lookUps.firstArray) {
            lookUps.taken = true;
            lookUps.indexWhenTaken = index;
            Recording& call = lookUps.sampleCall;
            recordingStart(&call, "Sample");
            recordingKeepArray(
                &call, "xxx", "xxx.descriptor()", "xxx.descriptor()->data", lookUps.firstArray->byReference());
            recordingKeepArray(&call, "yyy", "yyy.descriptor()", "yyy.descriptor()->data", array->byReference());
        }
    }
    return __real__ZN12VariantArrayclEd(array, index);
}

namespace {

class KorvikPages : public testing::Test {
protected:
    void SetUp() override
    {
        describeProgram("Korvik", "1.00");
        showAndActivate(&form);
        recordingForget();
    }

    // Clicks a test's button; what the recording Ostrum kept of the call it made.
    const Recording& click(const char* button)
    {
        clickButton(&form, button);
        return *recordingOfLatestCall();
    }

    Form1 form;
};

TEST_F(KorvikPages, Test1PassesTwoTextCopiesAndTheirLengths)
{
    expectPagesShow({"korvik-test1", "Korvik, Start1(1)", "chara", {"textA", "lengthA", "textB", "lengthB"},
                        {{"copyOfStrA"}, {"lenATemporary"}, {"copyOfStrB"}, {"lenB"}}},
        click("cmdstart1"));
}

TEST_F(KorvikPages, Test2PassesTheCountAndTheFirstElementOfEachArray)
{
    expectPagesShow(
        {"korvik-test2", "Korvik, Start2(2)", "xArray", {"count", "x", "y"}, {{"n"}, {"", 1, "x", 1}, {"", 1, "y", 1}}},
        click("cmdstart2"));
}

TEST_F(KorvikPages, Test3PassesATemporaryAndGetsAResult)
{
    const Recording& call = click("cmdstart3");
    expectPagesShow({"korvik-test3", "Korvik, Start(3)", "square", {"x"}, {{"xxTemporary"}, {"result", 0}}}, call);
    // The result the routine returned is the one the window shows.
    EXPECT_EQ(QString::fromStdU16String(control<Label>(&form, "Label1")->caption()), "xx = 5, xx^2 = 25");
}

TEST_F(KorvikPages, Test4PassesBothArraysByReferenceToSample)
{
    lookUps = {};
    lookUps.watching = true;
    clickButton(&form, "cmdstart4");
    lookUps.watching = false;
    ASSERT_TRUE(lookUps.taken) << "Start(4) looked up no element of a second array: does it still call Sample, "
                                  "and is this program linked with --wrap?";
    EXPECT_EQ(lookUps.indexWhenTaken, 1.0) << "the first look-up on y is Sample's yyy(1)";
    RecordedCall sample {"korvik-test4", "Korvik, Start(4)", "Sample", {"nn", "xxx", "yyy"},
        {{"x"}, {"x's descriptor", 2}, {"", 2, "x", 1}, {"y"}, {"y's descriptor", 2}, {"", 2, "y", 1}}};
    sample.argumentsInRegisters = false;
    sample.unrecorded = {{"nn", "n", "Sample reads it once, with no call the recording can see"}};
    expectPagesShow(sample, lookUps.sampleCall);
}

TEST_F(KorvikPages, Test5PassesATemporaryAndAVariableByItsOwnAddress)
{
    expectPagesShow({"korvik-test5", "Korvik, Start(5)", "transnumber", {"a", "b"}, {{"numATemporary"}, {"numB"}}},
        click("cmdstart5"));
}

TEST_F(KorvikPages, Test6PassesTheArrayByReference)
{
    expectPagesShow({"korvik-test6", "Korvik, Start(6)", "yArray", {"count", "array"},
                        {{"nTemporary"}, {"x"}, {"x's descriptor", 2}, {"", 2, "x", 1}}},
        click("cmdstart6"));
}

TEST_F(KorvikPages, Test7PassesTheArrayWrappedInATaggedValue)
{
    expectPagesShow({"korvik-test7", "Korvik, Start(7)", "zArray", {"array"},
                        {{"wrapped"}, {"x", 2}, {"x's descriptor", 2}, {"", 2, "x", 1}}},
        click("cmdstart7"));
}

} // namespace
