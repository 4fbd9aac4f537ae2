// Support for tests that drive real windows on Qt's offscreen platform.
#pragma once

#include "controls.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

// A control of a window by its name; the test fails when there is none.
template <typename Control>
Control* control(QWidget* window, const char* name)
{
    auto* found = window->findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// A message box as the user saw it.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

// Boxes are equal when they read the same: title and text.
bool operator==(const SeenBox& left, const SeenBox& right);
void PrintTo(const SeenBox& box, std::ostream* out);

// Answers every modal message box that opens while it lives: it records the box and closes it
// the way it is told (the OK button, the Escape key, or the box's close button).
class MessageBoxAnswerer {
public:
    enum class Answer { ClickOk, PressEscape, CloseBox };

    explicit MessageBoxAnswerer(Answer answer = Answer::ClickOk);
    ~MessageBoxAnswerer();

    const std::vector<SeenBox>& seen() const { return seen_; }

    // Called for each box before it is answered, while it is open.
    std::function<void()> whileOpen;

private:
    Answer answer_;
    std::vector<SeenBox> seen_;
    class QTimer* timer_;
};

// Clicks a command button with the mouse, as a user does.
void clickButton(QWidget* window, const char* name);

// Presses Alt with an access key, as a user does, and waits until the button it pressed has
// been clicked (a button pressed by its access key is shown down for a moment first).
void pressAccessKey(QWidget* window, Qt::Key key);

// Replaces the text of a text box as a user does: selects it all and types over it.
void typeInto(QWidget* window, const char* textBox, const QString& text);

// What a control shows, as UTF-8: a label's caption, a text box's text, a button's caption
// ("&" included).
std::string shownText(QWidget* control);
std::string shownText(QWidget* window, const char* name);

// A control as its window starts: its name, what it shows and its tab index.
struct StartingControl {
    const char* name;
    const char* shows; // as shownText gives it
    int tabIndex;
};

// Checks what each of `controls` shows and its tab index.
void expectControlsAtStart(QWidget* window, std::span<const StartingControl> controls);

// Checks the window as a person sees it: every control lies inside the client area, no two
// controls overlap beyond a shared edge, and every label's and button's caption fits its
// control on one line.
void expectReadableLayout(QWidget* window);

// Shows a window (a Form through its start, as the program does) and waits until it is
// active, so that it takes keystrokes.
void showAndActivate(QWidget* window);

// The widget that has the keyboard focus, by its control name: a text box's editor counts
// as its text box.
QString focusedControlName();
