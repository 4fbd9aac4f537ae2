// Writes what the three programs pass into the teaching pages: shows each program's window in
// turn beside the recording doubles of the routine libraries, clicks through the calls the
// pages show, and writes each call's listing into the pages' sections for it and its picture
// into pictures/. The build target update_teaching_pages runs it.
// Usage: teaching_pages_tool   (no arguments; prints each file it rewrote)
#include "console/form1.h"
#include "squareclient/form1.h"
#include "sumclient/form1.h"

#include "page.h"
#include "program_calls.h"
#include "window_driving.h"

#include <QApplication>

#include <cstdio>
#include <exception>

namespace {

// Shows the window of the program `title`, records its calls and writes them into the pages.
// False, having said why on stderr, when the window does not open or a recording does not
// stand for its call; nothing of that call is written then.
template <typename Window>
bool writePagesOf(const char* title)
{
    describeProgram(QString::fromLatin1(title), "1.00");
    Window window;
    if (!showWindow(&window))
        return false;
    for (const RecordedCall& call : recordCalls(window)) {
        const auto problems = problemsOf(call);
        for (const auto& problem : problems)
            std::fprintf(stderr, "%s\n", problem.c_str());
        if (!problems.empty())
            return false;
        for (const PageChange& change : changesToShow(call)) {
            writeChange(change);
            std::printf("%s: rewrote %s\n", call.id.c_str(), change.file.filename().string().c_str());
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!pagesShowThisMachine) {
        std::fprintf(stderr, "the pages show the memory of an x86-64 Linux build; they are not written here\n");
        return 1;
    }
    try {
        const bool written = writePagesOf<korvik::Form1>("Korvik") && writePagesOf<vandrel::Form1>("Vandrel") &&
            writePagesOf<tolvan::Form1>("Tolvan");
        return written ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
