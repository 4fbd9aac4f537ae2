// The calls of each program that the teaching pages show, made through its real window beside
// a recording double of its routine library (doubles/), which the program binds from its own
// folder as it would the real one. Each program's window is its own Form1; its recorder
// (korvik_calls.cpp, vandrel_calls.cpp, tolvan_calls.cpp) defines recordCalls for it.
#pragma once

#include "recorded_call.h"

#include <vector>

namespace korvik {
class Form1;
}
namespace vandrel {
class Form1;
}
namespace tolvan {
class Form1;
}

// Clicks through the window, which is shown and active, as a user does, and returns every call
// the pages show as it was recorded, in the order made.
std::vector<RecordedCall> recordCalls(korvik::Form1& window);
std::vector<RecordedCall> recordCalls(vandrel::Form1& window);
std::vector<RecordedCall> recordCalls(tolvan::Form1& window);
