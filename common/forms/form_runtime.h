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

// Ends the program at once; no further event runs.
[[noreturn]] void endProgram(int exitStatus = 0);

// Runs one event's handler to its end. A runtime error that leaves it is reported in a
// message box, and when the user closes the box the program ends with a non-zero status.
void runEvent(const std::function<void()>& handler);
