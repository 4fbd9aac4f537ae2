// The calls of one program that the teaching pages show, made through its real window beside
// a recording double of its routine library (doubles/), which the program binds from its own
// folder as it would the real one. Each program's window is a class named Form1; its recorder
// (korvik_calls.cpp, vandrel_calls.cpp, tolvan_calls.cpp) defines recordCalls for it.
#pragma once

#include "recorded_call.h"

#include <vector>

class Form1;

// Clicks through the window, which is shown and active, as a user does, and returns every call
// the pages show as it was recorded, in the order made.
std::vector<RecordedCall> recordCalls(Form1& window);
