// Driving a program's window as a user does, on Qt's offscreen platform: showing it, clicking
// its buttons and answering its message boxes. The window tests, the page tool and the
// screenshots all drive their windows with it.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

// What the kit does when the window lacks what it was asked for (a button by that name, a
// window that becomes active): it calls `report` with a sentence that says so. The sentence
// goes to stderr until a program names another reporter; the window tests make it a failure
// of the test that asked.
using DrivingFailureReport = void (*)(const std::string& sentence);
void reportDrivingFailuresTo(DrivingFailureReport report);

// Shows the window (a Form through its start, as the program does) and waits until it is
// active and every pending event has been handled, so that it takes keystrokes and is drawn
// as it stands. False, with the failure reported, when it does not become active.
bool showWindow(QWidget* window);

// Waits until the window is active and every pending event has been handled. False, with the
// failure reported, when it does not become active.
bool waitUntilActive(QWidget* window);

// Clicks the command button of the window with the mouse, as a user does, and returns after
// the click's handler has ended. False, with the failure reported, when there is no such
// button.
bool clickButton(QWidget* window, const char* name);

// A message box as the user saw it.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

// Answers every modal message box that opens while it lives: it records the box and closes it
// the way it is told (the OK button, the Escape key, or the box's close button). The text of
// an error report is also kept on stderr, since closing it may end the program.
class MessageBoxAnswerer {
public:
    enum class Answer { ClickOk, PressEscape, CloseBox };

    explicit MessageBoxAnswerer(Answer answer = Answer::ClickOk);

    const std::vector<SeenBox>& seen() const { return seen_; }

    // Called for each box before it is answered, with the box shown and active and its number
    // (1 for the first box).
    std::function<void(QMessageBox& box, int number)> whileOpen;

private:
    void answerOpenBox();

    Answer answer_;
    std::vector<SeenBox> seen_;
    QTimer timer_;
};
