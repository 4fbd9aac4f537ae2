// What the tests of Vandrel's window share: the window itself, in a fresh current directory
// for "square.dat", and the trace's records.
#pragma once

#include "form1.h"
#include "scratch_directory.h"
#include "window_test.h"

#include <QApplication>
#include <QTest>

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

class VandrelTest : public WindowTest<vandrel::Form1> {
protected:
    VandrelTest() : WindowTest("Vandrel") {}

    void focus(const char* name) { control<QWidget>(&form, name)->setFocus(); }

    std::u16string result() { return control<Label>(&form, "lblresult")->caption(); }
    std::vector<std::string> trace() { return traceRecords(scratch.file("square.dat")); }

    ScratchDirectory scratch;
};
