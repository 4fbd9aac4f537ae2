#include "screenshot.h"

#include "form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <utility>

namespace {

// How long a window may take to become active before the program gives up.
constexpr int activationTimeoutMs = 5000;

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

bool showWindow(Form& form)
{
    // A text cursor that does not blink is drawn the same in every picture.
    QApplication::setCursorFlashTime(0);
    form.start();
    return waitUntilActive(form);
}

bool waitUntilActive(QWidget& window)
{
    if (!QTest::qWaitForWindowActive(&window, activationTimeoutMs)) {
        std::fprintf(stderr, "the window \"%s\" did not become active\n", qPrintable(window.windowTitle()));
        return false;
    }
    QApplication::processEvents();
    return true;
}

void clickButton(QWidget& window, const char* name)
{
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    if (!button) {
        std::fprintf(stderr, "the window has no button named %s\n", name);
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

BoxAnswerer::BoxAnswerer(std::function<void(QMessageBox&, int)> whileOpen) : whileOpen_(std::move(whileOpen))
{
    // A box runs its own event loop, so it is looked for from a timer.
    QObject::connect(&timer_, &QTimer::timeout, [this] { answerOpenBox(); });
    timer_.start(10);
}

void BoxAnswerer::answerOpenBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    // Waiting for the box handles events, this timer's among them: it stays stopped meanwhile.
    timer_.stop();
    ++answered_;
    // Closing an error report ends the program, so its text is kept on stderr first.
    if (box->icon() == QMessageBox::Critical)
        std::fprintf(stderr, "the program reported: %s\n", qPrintable(box->text()));
    if (waitUntilActive(*box) && whileOpen_)
        whileOpen_(*box, answered_);
    box->button(QMessageBox::Ok)->click();
    timer_.start();
}

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
