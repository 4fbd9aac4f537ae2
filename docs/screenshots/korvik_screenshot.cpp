// Korvik after Start All with the sample Ostrum, "Start?" answered with OK.
// Usage: korvik_screenshot PICTURE.png
#include "form1.h"
#include "screenshot.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PICTURE.png\n", argv[0]);
        return 2;
    }
    describeProgram("Korvik", "1.00");
    Form1 form;
    if (!showWindow(form))
        return 1;

    BoxAnswerer answerer;
    clickButton(form, "cmdstartall");
    if (answerer.answered() != 1 || !waitUntilActive(form)) {
        std::fprintf(stderr, "Start All did not run as expected\n");
        return 1;
    }
    return savePicture(framedPicture(form), QString::fromLocal8Bit(argv[1]));
}
