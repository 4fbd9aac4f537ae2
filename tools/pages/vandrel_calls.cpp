// Vandrel's Action: what square is passed.
#include "form1.h"
#include "program_calls.h"
#include "window_driving.h"

std::vector<RecordedCall> recordCalls(vandrel::Form1& window)
{
    RecordedCall call{"vandrel", "Vandrel, Action(A)", "square", {"n", "x", "y"}, {{"n"}, {"x"}, {"y"}}};
    recordingForget();
    clickButton(&window, "cmdaction");
    call.recording = *recordingOfLatestCall();
    return {call};
}
