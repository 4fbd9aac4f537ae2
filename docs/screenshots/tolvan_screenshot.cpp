// Tolvan after a click of its button with the starting numbers: the second message box, with
// the sum from the sample Pettrix, over the window.
// Usage: tolvan_screenshot PICTURE.png
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
    describeProgram("Tolvan", "1.00");
    Form1 form;
    if (!showWindow(form))
        return 1;

    // The first box says "a+b="; the second holds the sum.
    QImage picture;
    BoxAnswerer answerer([&](QMessageBox& box, int number) {
        if (number == 2)
            picture = boxOverWindow(form, box);
    });
    clickButton(form, "Command1");
    if (answerer.answered() != 2) {
        std::fprintf(stderr, "the click showed %d message boxes, not 2\n", answerer.answered());
        return 1;
    }
    return savePicture(picture, QString::fromLocal8Bit(argv[1]));
}
