// The three screenshots in README, each window after its main action, with the sample routine
// libraries beside this program:
//   korvik.png   Korvik after Start All, "Start?" answered with OK;
//   vandrel.png  Vandrel after one click of Action with the starting input, squared by Morvane;
//   tolvan.png   Tolvan after a click of its button with the starting numbers: the second
//                message box, with the sum from Pettrix, over the window.
// Usage: take_screenshots FOLDER   (writes the three pictures into FOLDER)
#include "console/form1.h"
#include "squareclient/form1.h"
#include "sumclient/form1.h"

#include "screenshot.h"
#include "window_driving.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// One picture: the program's window after a click of `button`, which shows `boxes` message
// boxes, each answered with OK. `boxDrawn` is the number of the box drawn over the window, or 0
// for the window alone as the click left it.
struct Screenshot {
    const char* title;
    const char* button;
    std::size_t boxes;
    int boxDrawn;
    const char* file;
};

template <typename Window>
int take(const Screenshot& shot, const QDir& folder)
{
    describeProgram(QString::fromLatin1(shot.title), "1.00");
    Window form;
    if (!showWindow(&form))
        return 1;

    QImage picture;
    MessageBoxAnswerer answerer;
    answerer.whileOpen = [&](QMessageBox& box, int number) {
        if (number == shot.boxDrawn)
            picture = boxOverWindow(form, box);
    };
    clickButton(&form, shot.button);
    if (answerer.seen().size() != shot.boxes) {
        std::fprintf(stderr, "%s: the click of %s showed %zu message boxes, not %zu\n", shot.title, shot.button,
                     answerer.seen().size(), shot.boxes);
        return 1;
    }
    if (shot.boxDrawn == 0) {
        if (!waitUntilActive(&form))
            return 1;
        picture = framedPicture(form);
    }
    return savePicture(picture, folder.filePath(QString::fromLatin1(shot.file)));
}

// Morvane appends its trace to square.dat in the current directory: while Vandrel's picture is
// taken, a directory of its own, removed at the end.
int takeWithTraceAside(const Screenshot& shot, const QDir& folder)
{
    const QString previous = QDir::currentPath();
    QTemporaryDir traceDirectory;
    if (!traceDirectory.isValid() || !QDir::setCurrent(traceDirectory.path())) {
        std::fprintf(stderr, "could not make a directory for Morvane's trace\n");
        return 1;
    }
    const int status = take<vandrel::Form1>(shot, folder);
    QDir::setCurrent(previous);
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    if (take<korvik::Form1>({"Korvik", "cmdstartall", 1, 0, "korvik.png"}, folder) != 0 ||
        takeWithTraceAside({"Vandrel", "cmdaction", 0, 0, "vandrel.png"}, folder) != 0 ||
        take<tolvan::Form1>({"Tolvan", "Command1", 2, 2, "tolvan.png"}, folder) != 0)
        return 1;
    return 0;
}
