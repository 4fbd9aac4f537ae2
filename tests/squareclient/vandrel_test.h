// What the tests of Vandrel's window share: a fresh current directory for "square.dat", the
// window itself, typing, the trace's records, and watching the error report of a death test.
#pragma once

#include "form1.h"
#include "gui_test.h"
#include "scratch_directory.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// The lines of a trace file; none when there is no such file.
inline std::vector<std::string> traceRecords(const std::string& file)
{
    std::ifstream in(file);
    std::vector<std::string> records;
    for (std::string line; std::getline(in, line);)
        records.push_back(line);
    return records;
}

inline bool fileExists(const std::string& file)
{
    return std::ifstream(file).good();
}

// Vandrel's window, shown and active as at start, in a directory of its own.
class VandrelTest : public testing::Test {
protected:
    void SetUp() override
    {
        describeProgram("Vandrel", "1.00");
        showAndActivate(&form);
    }

    // Replaces the text of a text box the way a user does: selects it all and types over it.
    void typeInto(const char* textBox, const QString& text)
    {
        auto* editor = qobject_cast<QLineEdit*>(control<TextBox>(&form, textBox)->editor());
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, text);
    }

    void focus(const char* name) { control<QWidget>(&form, name)->setFocus(); }

    std::u16string result() { return control<Label>(&form, "lblresult")->caption(); }
    std::vector<std::string> trace() { return traceRecords(scratch.file("square.dat")); }

    ScratchDirectory scratch;
    Form1 form;
};

// For a death test's statement: answers the error report with OK and writes what the user saw
// to stderr, with the result label and the trace file as they stand while the report is open,
// so that the death test's pattern can check them.
class ReportWatcher {
public:
    explicit ReportWatcher(QWidget* form)
    {
        answerer.whileOpen = [this, form] {
            const SeenBox& box = answerer.seen().back();
            std::fprintf(stderr, "report title: %s\nreport text: %s\nlblresult while open: [%s]\nsquare.dat while open: %s\n",
                         qPrintable(box.title), qPrintable(box.text),
                         qPrintable(QString::fromStdU16String(control<Label>(form, "lblresult")->caption())),
                         fileExists("square.dat") ? "present" : "absent");
        };
    }

private:
    MessageBoxAnswerer answerer;
};

// The program ended on its own with a non-zero status: a runtime error was reported.
inline bool endsWithAnError(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) != 0;
}
