// What the three screenshot programs share: showing a window, clicking its buttons and
// answering its message boxes as a user does, and drawing what is on screen into a PNG.
//
// The offscreen platform draws no window frames, so each picture gets a thin frame and a
// title strip with the window's caption, drawn here: the strip of the active window in the
// highlight colour, any other in grey.
#pragma once

#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>

class Form;

// Shows the program's window through its start, as the program does, and waits until it is
// active. Returns false, having said why on stderr, when it does not become active.
bool showWindow(Form& form);

// Waits until the window is active and every pending event has been handled, so that it is
// drawn as it now stands. Returns false, having said why on stderr, when it does not.
bool waitUntilActive(QWidget& window);

// Clicks the command button of the window with the mouse, as a user does; returns after the
// click's handler has ended.
void clickButton(QWidget& window, const char* name);

// Answers every modal message box that opens while it lives with its OK button. Before each
// answer `whileOpen` is called with the box, shown and active, and the box's number (1 for
// the first box).
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(QMessageBox& box, int number)> whileOpen = {});

    int answered() const { return answered_; }

private:
    void answerOpenBox();

    std::function<void(QMessageBox&, int)> whileOpen_;
    QTimer timer_;
    int answered_ = 0;
};

// The window as drawn now, in a frame with its caption in a title strip.
QImage framedPicture(QWidget& window);

// The window with the box over it where the box opened (Qt centres a message box over its
// window), each in its frame with its title strip.
QImage boxOverWindow(QWidget& window, QWidget& box);

// Writes the picture as a PNG file. Returns the program's exit status: 0, or 1 when the
// picture is empty or cannot be written (said on stderr).
int savePicture(const QImage& picture, const QString& file);
