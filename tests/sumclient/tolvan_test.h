// What Tolvan's test programs share: the window started as the program starts it, typing as a
// user types, and a way for a death test's child to tell what its message boxes said.
#pragma once

#include "form1.h"
#include "gui_test.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <functional>
#include <string>

class TolvanTest : public testing::Test {
protected:
    void SetUp() override
    {
        describeProgram("Tolvan", "1.00");
        window.start();
        showAndActivate(&window);
    }

    Form1 window;
};

// Selects all of a text box's text and types `text` over it.
inline void typeInto(QWidget* window, const char* name, const QString& text)
{
    auto* box = control<TextBox>(window, name);
    if (!box)
        return;
    QTest::keyClick(box->editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box->editor(), Qt::Key_Delete);
    QTest::keyClicks(box->editor(), text);
    EXPECT_EQ(QString::fromStdU16String(box->text()), text) << "typing into " << name;
}

// A death test's records end with its child, so the child writes each box to stderr while
// the box is open: "box 1 [Tolvan] Overflow: ...", then ` | ` and `note()` if given.
inline void echoBoxesToStderr(MessageBoxAnswerer& answerer, std::function<std::string()> note = {})
{
    answerer.whileOpen = [&answerer, note] {
        const SeenBox& box = answerer.seen().back();
        std::string line = "box " + std::to_string(answerer.seen().size()) + " [" + box.title.toStdString() +
                           "] " + box.text.toStdString();
        if (note)
            line += " | " + note();
        std::fprintf(stderr, "%s\n", line.c_str());
    };
}
