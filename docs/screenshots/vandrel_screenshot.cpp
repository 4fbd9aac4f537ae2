// Vandrel after one click of Action with the starting input, squared by Morvane.
// Usage: vandrel_screenshot PICTURE.png
#include "form1.h"
#include "screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PICTURE.png\n", argv[0]);
        return 2;
    }
    const QString picture = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();

    // Morvane appends its trace to square.dat in the current directory: here a directory of
    // its own, removed at the end.
    QTemporaryDir traceDirectory;
    if (!traceDirectory.isValid() || !QDir::setCurrent(traceDirectory.path())) {
        std::fprintf(stderr, "could not make a directory for Morvane's trace\n");
        return 1;
    }

    describeProgram("Vandrel", "1.00");
    Form1 form;
    if (!showWindow(form))
        return 1;

    BoxAnswerer answerer;
    clickButton(form, "cmdaction");
    if (answerer.answered() != 0 || !waitUntilActive(form)) {
        std::fprintf(stderr, "Action did not run as expected\n");
        return 1;
    }
    return savePicture(framedPicture(form), picture);
}
