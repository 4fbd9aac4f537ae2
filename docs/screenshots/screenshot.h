// Drawing what is on screen into a PNG, for the screenshots; the windows are driven with the
// window driving kit (tests/support/window_driving.h).
//
// The offscreen platform draws no window frames, so each picture gets a thin frame and a
// title strip with the window's caption, drawn here: the strip of the active window in the
// highlight colour, any other in grey.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// The window as drawn now, in a frame with its caption in a title strip.
QImage framedPicture(QWidget& window);

// The window with the box over it where the box opened (Qt centres a message box over its
// window), each in its frame with its title strip.
QImage boxOverWindow(QWidget& window, QWidget& box);

// Writes the picture as a PNG file. Returns the program's exit status: 0, or 1 when the
// picture is empty or cannot be written (said on stderr).
int savePicture(const QImage& picture, const QString& file);
