// Vandrel's window: a number and a whole number typed into two text boxes, handed to Morvane's
// square, and the square shown in a label.
#pragma once

#include "form.h"

namespace vandrel {

class Form1 : public Form {
    Q_OBJECT
public:
    Form1();

    void cmdaction_Click();
    void cmdexit_Click();

private:
    Label* Label1;
    TextBox* txtinput;
    Label* Label2;
    CommandButton* cmdaction;
    CommandButton* cmdexit;
    Label* lblresult;
    TextBox* txttext;
};

} // namespace vandrel
