#include "screenshot.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int frameWidth = 1;
constexpr int titlePadding = 6;

// The title strip's font: the application's, in bold.
QFont titleFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

int titleStripHeight()
{
    return QFontMetrics(titleFont()).height() + titlePadding;
}

// Where the framed picture of a window lies, in screen coordinates: the frame and the title
// strip surround the window's client area.
QRect framedGeometry(const QWidget& window)
{
    return window.geometry().adjusted(-frameWidth, -frameWidth - titleStripHeight(), frameWidth, frameWidth);
}

} // namespace

QImage framedPicture(QWidget& window)
{
    const QPixmap client = window.grab();
    const int strip = titleStripHeight();
    QImage picture(client.width() + 2 * frameWidth, client.height() + strip + 2 * frameWidth,
                   QImage::Format_ARGB32_Premultiplied);

    const QPalette palette = window.palette();
    const bool active = QApplication::activeWindow() == &window;
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), palette.color(QPalette::Active, QPalette::Shadow));
    const QRect title(frameWidth, frameWidth, client.width(), strip);
    painter.fillRect(title,
                     active ? palette.color(QPalette::Active, QPalette::Highlight)
                            : palette.color(QPalette::Active, QPalette::Dark));
    painter.setPen(palette.color(QPalette::Active, QPalette::HighlightedText));
    painter.setFont(titleFont());
    painter.drawText(title.adjusted(titlePadding, 0, -titlePadding, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     window.windowTitle());
    painter.drawPixmap(frameWidth, frameWidth + strip, client);
    return picture;
}

QImage boxOverWindow(QWidget& window, QWidget& box)
{
    const QRect windowPlace = framedGeometry(window);
    const QRect boxPlace = framedGeometry(box);
    // Both as far as either reaches; where only one of them lies is left transparent.
    const QRect whole = windowPlace.united(boxPlace);
    QImage picture(whole.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);

    QPainter painter(&picture);
    painter.drawImage(windowPlace.topLeft() - whole.topLeft(), framedPicture(window));
    painter.drawImage(boxPlace.topLeft() - whole.topLeft(), framedPicture(box));
    return picture;
}

int savePicture(const QImage& picture, const QString& file)
{
    if (picture.isNull()) {
        std::fprintf(stderr, "nothing was drawn for %s\n", qPrintable(file));
        return 1;
    }
    if (!picture.save(file, "PNG")) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}
