// Tolvan's window: two numbers typed into two text boxes, added by Pettrix's sumdll, and the
// sum reported in two message boxes.
#pragma once

#include "form.h"

namespace tolvan {

class Form1 : public Form {
    Q_OBJECT
public:
    Form1();

    void Command1_Click();

private:
    Label* Label1;
    TextBox* Text1;
    Label* Label2;
    TextBox* Text2;
    CommandButton* Command1;
};

} // namespace tolvan
