// Korvik's window shown on the offscreen platform, with its controls at hand by name.
#pragma once

#include "form1.h"
#include "gui_test.h"

#include "conversions.h"

#include <cstdio>
#include <string>

class KorvikWindow : public testing::Test {
protected:
    void SetUp() override
    {
        describeProgram("Korvik", "1.00");
        showAndActivate(&form);
    }

    Label* label(const char* name) { return control<Label>(&form, name); }
    TextBox* textBox(const char* name) { return control<TextBox>(&form, name); }
    ProgressBar* bar() { return control<ProgressBar>(&form, "ProgressBar1"); }
    Shape* lamp() { return control<Shape>(&form, "Shape1"); }

    Form1 form;
};

// What a field shows, as narrow text for messages and comparisons.
inline std::string shown(const std::u16string& text)
{
    return QString::fromStdU16String(text).toStdString();
}

// Errors end the program, so the tests of error paths run as death tests: while the error
// report is open, the child prints the report and the window's state to stderr, where the
// test's pattern looks for them. Other message boxes ("Start?") are simply answered.
class KorvikErrorReport {
public:
    explicit KorvikErrorReport(Form1& form)
    {
        answerer_.whileOpen = [this, &form] {
            const SeenBox& box = answerer_.seen().back();
            if (box.icon != QMessageBox::Critical)
                return;
            std::fprintf(stderr, "report [%s] %s\n", qPrintable(box.title), qPrintable(box.text));
            std::fprintf(stderr, "lamp %s\n", qPrintable(form.findChild<Shape*>("Shape1")->accessibleName()));
            std::fprintf(stderr, "bar %s\n",
                         shown(textForJoining(form.findChild<ProgressBar*>("ProgressBar1")->currentValue(), u'.')).c_str());
            for (const char* name : {"lblindex2", "Label1", "Label2", "Label3", "Label4"})
                std::fprintf(stderr, "%s [%s]\n", name, shown(form.findChild<Label*>(name)->caption()).c_str());
            for (const char* name : {"Text1", "Text2"})
                std::fprintf(stderr, "%s [%s]\n", name,
                             QString::fromStdU16String(form.findChild<TextBox*>(name)->text())
                                 .replace("\r\n", "|")
                                 .toStdString()
                                 .c_str());
        };
    }

private:
    MessageBoxAnswerer answerer_;
};
