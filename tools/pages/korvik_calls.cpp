// Korvik's seven tests: what each passes. Tests 1 to 3 and 5 to 7 call Ostrum as its description
// says (call_descriptions.h); test 4 calls the window's own method Sample.
#include "form1.h"
#include "program_calls.h"
#include "variant.h"
#include "window_driving.h"

namespace {

// Test 4 calls no routine of a library but the window's own method Sample, so no double can
// stand in for it. Its arrays are watched through their element look-ups instead. Before
// Start(4) calls Sample it looks up elements of x alone; Sample's first step looks up xxx(1)
// and then yyy(1), before it stores anything. So the first look-up on a second array is
// Sample's yyy(1), and the memory it sees then is the memory at the call of Sample. Sample
// looks up xxx(1) only before that; the next look-up of x(1) is Start(4)'s own listing, after
// Sample has returned, and the memory then is the memory after the call.
struct SampleWatch {
    VariantArray* firstArray = nullptr; // x, filled before Sample is called
    bool taken = false;
    bool returned = false;
    Recording sampleCall = {};
};
SampleWatch watch;

void watchLookUp(VariantArray& array, double index)
{
    if (watch.taken) {
        if (!watch.returned && &array == watch.firstArray && index == 1.0 && *watch.sampleCall.routine) {
            watch.returned = true;
            recordingKeepAfterCall(&watch.sampleCall);
        }
        return;
    }
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
    // numA, whose 16 bytes stay in the handler while its value crosses in a temporary: the Variant
    // as Start(5) makes it from its literal.
    RecordedCall test5 = describedCall("korvik-test5", "Korvik, Start(5)", ostrumCalls.call("transnumber"));
    const Variant numA = int16_t{15};
    const auto* numABytes = reinterpret_cast<const unsigned char*>(numA.raw());
    test5.beside = {{{"", "numA", VALUE_VARIANT, nullptr,
                      std::vector<unsigned char>(numABytes, numABytes + sizeof(VARIANT))}}};
    return {
        click("cmdstart1", describedCall("korvik-test1", "Korvik, Start1(1)", ostrumCalls.call("chara"))),
        click("cmdstart2", describedCall("korvik-test2", "Korvik, Start2(2)", ostrumCalls.call("xArray"))),
        click("cmdstart3", describedCall("korvik-test3", "Korvik, Start(3)", ostrumCalls.call("square"))),
        sampleCall(window),
        click("cmdstart5", test5),
        click("cmdstart6", describedCall("korvik-test6", "Korvik, Start(6)", ostrumCalls.call("yArray"))),
        click("cmdstart7", describedCall("korvik-test7", "Korvik, Start(7)", ostrumCalls.call("zArray"))),
    };
}
