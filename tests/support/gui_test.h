// Support for tests that drive real windows on Qt's offscreen platform: the window driving
// kit (window_driving.h), whose failures fail the test, and what only the tests need.
#pragma once

#include "controls.h"
#include "window_driving.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

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

// Boxes are equal when they read the same: title and text.
bool operator==(const SeenBox& left, const SeenBox& right);
void PrintTo(const SeenBox& box, std::ostream* out);

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

// The widget that has the keyboard focus, by its control name: a text box's editor counts
// as its text box.
QString focusedControlName();
