// The form runtime's program-wide operations: the program's title, message boxes, the end
// of the program, and the report of a runtime error that reaches a click.
#pragma once

#include "runtime_error.h"
#include "variant.h"

#include <QString>

#include <functional>

// The program's title and file version, kept as the application's metadata. The title
// heads every message box.
void describeProgram(const QString& title, const QString& version);
QString programTitle();

// A modal message box titled with the program's title, with one OK button. The prompt is
// shown as it reads when joined to text. Returns when the box is closed, however it is closed.
void messageBox(const Variant& prompt);

// Ends the program at once through its ending step; no further event runs.
[[noreturn]] void endProgram(int exitStatus = 0);

// The step that ends the program with a status. The program's own step flushes the output
// and exits the process at once; a test puts one in its place to see the end from inside the
// process. A step that returns is followed by the program's own.
using ProgramEnding = void (*)(int exitStatus);

// Puts `ending` in place of the current ending step (nullptr: the program's own) and returns
// the step it replaced.
ProgramEnding replaceProgramEnding(ProgramEnding ending);

// Runs one event's handler to its end. A runtime error that leaves it is reported in a
// message box, and when the user closes the box the program ends with a non-zero status.
void runEvent(const std::function<void()>& handler);
