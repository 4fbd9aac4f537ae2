// Form: one window of a program, with its controls placed in twips.
//
// A program's window derives from Form, creates its controls in its constructor, and wires
// each button's click to the handler of the same name. The form runtime shows the window in
// that initial state and runs one handler per click.
#pragma once

#include "controls.h"
#include "form_runtime.h"

#include <QWidget>

class Form : public QWidget {
    Q_OBJECT
public:
    // A window with `caption`, whose client area is the given size in twips.
    Form(const QString& name, const QString& caption, int clientWidth, int clientHeight);

    // Where the window first appears; left alone, the system chooses.
    void placeAt(int left, int top);
    void placeCentred();

    // Shows the window with the focus on the first control, in tab order, that takes it.
    void start();

protected:
    // Each click of `button` runs `handler` of the window once, to its end (form_runtime.h).
    template <typename Window>
    void wireClick(CommandButton* button, void (Window::*handler)())
    {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { runEvent([this, handler] { (static_cast<Window*>(this)->*handler)(); }); });
    }

private:
    void applyTabOrder();

    bool centred_ = false;
};
