// The fixture of every test that drives a program's window: the window shown as the program
// shows it, and the end of the program seen from inside the test instead of as a process exit.
#pragma once

#include "form_runtime.h"
#include "gui_test.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the program's end throws while a WindowTest runs: the status it ended with.
struct ProgramEnded {
    int status;
};

// How a click ended the program: the status (none when it did not end) and every message box
// that opened on the way, each answered with OK.
struct Ending {
    std::optional<int> status;
    std::vector<SeenBox> boxes;

    // The text of the error report: the last box, when it is one; empty otherwise.
    std::string report() const;
};

// Checks that the program ended with status 1 after one box alone: the error report, titled
// with the program's title, whose text starts with `report`.
void expectEndedWithTheReportAlone(const Ending& end, const std::string& report);

// Clicks `button` of `window` (its clicked signal, which runs the handler), answers every
// message box with OK, and tells how the click ended. An end of the program comes back here only while a WindowTest
// runs; elsewhere it ends the process.
Ending clickToTheEnd(QWidget* window, const char* button);

// Runs `action` in a child process with the program's own end in place, every message box
// answered with OK, and expects the process to exit with `status` before the action returns.
// For the few death tests that see a program end its process.
void expectTheProcessToEnd(int status, const std::function<void()>& action);

// What the first call of `routine` in `library` reports in a test program whose folder holds
// no such library, or one without that routine (tests/support/no_routines.c), whichever lies
// there.
std::string bindingFailureReport(const char* library, const char* routine);

// A program's window, `Window`, started as the program starts it under the program's title.
// While the test runs, the end of the program throws ProgramEnded, so that a test sees the
// report, the status and the window as the end left them (clickToTheEnd). A test that must
// see the process exit uses expectTheProcessToEnd.
template <typename Window>
class WindowTest : public testing::Test {
protected:
    explicit WindowTest(const char* program) : program_(program) {}

    void SetUp() override
    {
        describeProgram(QString::fromUtf8(program_), QStringLiteral("1.00"));
        previousEnding_ = replaceProgramEnding([](int status) { throw ProgramEnded{status}; });
        showWindow(&form);
    }

    void TearDown() override { replaceProgramEnding(previousEnding_); }

    Ending clickToTheEnd(const char* button) { return ::clickToTheEnd(&form, button); }

    Window form;

private:
    const char* program_;
    ProgramEnding previousEnding_ = nullptr;
};
