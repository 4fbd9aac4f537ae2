#include "form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    describeProgram("Korvik", "1.00");
    korvik::Form1 form;
    form.start();
    return app.exec();
}
