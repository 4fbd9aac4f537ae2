#include "form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    describeProgram("Vandrel", "1.00");
    vandrel::Form1 form;
    form.start();
    return app.exec();
}
