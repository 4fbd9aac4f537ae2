#include "form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    describeProgram("Tolvan", "1.00");
    tolvan::Form1 form;
    form.start();
    return app.exec();
}
