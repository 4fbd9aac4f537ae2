// Vandrel's Action: what square is passed.
#include "form1.h"
#include "program_calls.h"
#include "window_driving.h"

std::vector<RecordedCall> recordCalls(vandrel::Form1& window)
{
    RecordedCall call = describedCall("vandrel", "Vandrel, Action(A)", morvaneCalls.call("square"));
    recordingForget();
    clickButton(&window, "cmdaction");
    call.recording = *recordingOfLatestCall();
    return {call};
}
