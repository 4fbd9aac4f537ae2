// Korvik's seven tests: what each passes.
#include "form1.h"
#include "program_calls.h"
#include "window_driving.h"

namespace {

// Test 4 calls no routine of a library but the window's own method Sample, so no double can
// stand in for it. Its arrays are watched through their element look-ups instead. Before
// Start(4) calls Sample it looks up elements of x alone; Sample's first step looks up xxx(1)
// and then yyy(1), before it stores anything. So the first look-up on a second array is
// Sample's yyy(1), and the memory it sees then is the memory at the call of Sample.
struct SampleWatch {
    VariantArray* firstArray = nullptr; // x, filled before Sample is called
    bool taken = false;
    Recording sampleCall = {};
};
SampleWatch watch;

void watchLookUp(VariantArray& array, double index)
{
    if (watch.taken)
        return;
    if (!watch.firstArray) {
        watch.firstArray = &array;
        return;
    }
    if (&array == watch.firstArray)
        return;
    watch.taken = true;
    // Any other first look-up on the second array means Sample no longer begins with
    // yyy(1), and may have stored something already: nothing is recorded then.
    if (index != 1.0)
        return;
    Recording& call = watch.sampleCall;
    recordingStart(&call, "Sample");
    recordingKeepArray(&call, "xxx", "xxx.descriptor()", "xxx.descriptor()->data", watch.firstArray->byReference());
    recordingKeepArray(&call, "yyy", "yyy.descriptor()", "yyy.descriptor()->data", array.byReference());
}

RecordedCall sampleCall(korvik::Form1& window)
{
    RecordedCall call{"korvik-test4",
                      "Korvik, Start(4)",
                      "Sample",
                      {"nn", "xxx", "yyy"},
                      {{"x"}, {"x's descriptor", 2}, {"", 2, "x", 1}, {"y"}, {"y's descriptor", 2}, {"", 2, "y", 1}}};
    call.argumentsInRegisters = false;
    call.unrecorded = {{"nn", "n", "Sample reads it once, with no call the recording can see"}};
    watch = {};
    VariantArray::watchLookUps(watchLookUp);
    clickButton(&window, "cmdstart4");
    VariantArray::watchLookUps(nullptr);
    call.recording = watch.sampleCall;
    return call;
}

} // namespace

std::vector<RecordedCall> recordCalls(korvik::Form1& window)
{
    // Clicks a test's button; the call as the recording Ostrum kept it.
    auto click = [&window](const char* button, RecordedCall call) {
        recordingForget();
        clickButton(&window, button);
        call.recording = *recordingOfLatestCall();
        return call;
    };
    return {
        click("cmdstart1",
              {"korvik-test1",
               "Korvik, Start1(1)",
               "chara",
               {"textA", "lengthA", "textB", "lengthB"},
               {{"copyOfStrA"}, {"lenATemporary"}, {"copyOfStrB"}, {"lenB"}}}),
        click("cmdstart2",
              {"korvik-test2",
               "Korvik, Start2(2)",
               "xArray",
               {"count", "x", "y"},
               {{"n"}, {"", 1, "x", 1}, {"", 1, "y", 1}}}),
        click("cmdstart3", {"korvik-test3", "Korvik, Start(3)", "square", {"x"}, {{"xxTemporary"}, {"result", 0}}}),
        sampleCall(window),
        click("cmdstart5",
              {"korvik-test5", "Korvik, Start(5)", "transnumber", {"a", "b"}, {{"numATemporary"}, {"numB"}}}),
        click("cmdstart6",
              {"korvik-test6",
               "Korvik, Start(6)",
               "yArray",
               {"count", "array"},
               {{"nTemporary"}, {"x"}, {"x's descriptor", 2}, {"", 2, "x", 1}}}),
        click("cmdstart7",
              {"korvik-test7",
               "Korvik, Start(7)",
               "zArray",
               {"array"},
               {{"wrapped"}, {"x", 2}, {"x's descriptor", 2}, {"", 2, "x", 1}}}),
    };
}
