// Writes what one program passes into the teaching pages: shows the program's window beside a
// recording double of its routine library, clicks through the calls the pages show, and
// writes each call's listing into the pages' sections for it and its picture into pictures/.
// The build target update_teaching_pages runs it for each program.
// Usage: <program>_pages   (no arguments; prints each file it rewrote)
#include "form1.h"
#include "page.h"
#include "program_calls.h"
#include "screenshot.h"

#include <QApplication>

#include <cstdio>
#include <exception>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!pagesShowThisMachine) {
        std::fprintf(stderr, "the pages show the memory of an x86-64 Linux build; they are not written here\n");
        return 1;
    }
    describeProgram(PROGRAM_TITLE, "1.00");
    Form1 window;
    if (!showWindow(window))
        return 1;
    try {
        for (const RecordedCall& call : recordCalls(window)) {
            // A recording that does not stand for the call is never written into the pages.
            const auto problems = problemsOf(call);
            for (const auto& problem : problems)
                std::fprintf(stderr, "%s\n", problem.c_str());
            if (!problems.empty())
                return 1;
            for (const PageChange& change : changesToShow(call)) {
                writeChange(change);
                std::printf("%s: rewrote %s\n", call.id.c_str(), change.file.filename().string().c_str());
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
