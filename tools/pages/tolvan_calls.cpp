// Tolvan's button: what sumdll is passed.
#include "form1.h"
#include "program_calls.h"
#include "window_driving.h"

std::vector<RecordedCall> recordCalls(tolvan::Form1& window)
{
    RecordedCall call = describedCall("tolvan", "Tolvan, Command1", pettrixCalls.call("sumdll"));
    recordingForget();
    MessageBoxAnswerer answerer; // the two boxes that report the sum
    clickButton(&window, "Command1");
    call.recording = *recordingOfLatestCall();
    return {call};
}
