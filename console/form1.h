// Korvik's window: seven tests that each hand data to a routine of Ostrum in another way,
// a run-all sequence with a progress bar and a lamp, Restart and Exit.
#pragma once

#include "form.h"
#include "variant_array.h"

namespace korvik {

class Form1 : public Form {
    Q_OBJECT
public:
    Form1();

    // The window's own operations. Sample is a public method; the others answer clicks, and
    // Start All also runs the seven tests through them.
    void Sample(float& nn, VariantArray& xxx, VariantArray& yyy);
    void cmdexit_Click();
    void cmdrestart_Click();
    void cmdstart1_Click();
    void cmdstart2_Click();
    void cmdstart3_Click();
    void cmdstart4_Click();
    void cmdstart5_Click();
    void cmdstart6_Click();
    void cmdstart7_Click();
    void cmdstartall_Click();

private:
    ProgressBar* ProgressBar1;
    CommandButton* cmdstart1;
    CommandButton* cmdexit;
    Label* lblindex2;
    CommandButton* cmdstart2;
    CommandButton* cmdstartall;
    TextBox* Text1;
    CommandButton* cmdstart3;
    Label* Label1;
    CommandButton* cmdrestart;
    CommandButton* cmdstart4;
    TextBox* Text2;
    CommandButton* cmdstart5;
    Label* Label2;
    CommandButton* cmdstart6;
    Label* Label3;
    CommandButton* cmdstart7;
    Label* Label4;
    Shape* Shape1;
};

} // namespace korvik
