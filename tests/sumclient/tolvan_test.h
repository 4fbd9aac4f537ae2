// What Tolvan's test programs share: the window started as the program starts it.
#pragma once

#include "form1.h"
#include "window_test.h"

#include <QApplication>
#include <QTest>

class TolvanTest : public WindowTest<Form1> {
protected:
    TolvanTest() : WindowTest("Tolvan") {}
};
