// What Tolvan's test programs share: the window started as the program starts it.
#pragma once

#include "form1.h"
#include "window_test.h"

#include <QApplication>
#include <QTest>

class TolvanTest : public WindowTest<tolvan::Form1> {
protected:
    TolvanTest() : WindowTest("Tolvan") {}

    // Types a and b into Text1 and Text2 and clicks the button; how the click ended.
    Ending clickWith(const char* text1, const char* text2)
    {
        typeInto(&form, "Text1", QString::fromUtf8(text1));
        typeInto(&form, "Text2", QString::fromUtf8(text2));
        return clickToTheEnd("Command1");
    }
};
