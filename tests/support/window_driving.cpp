#include "window_driving.h"

#include "form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace {

// How long a window may take to become active before the kit gives up.
constexpr int activationTimeoutMs = 5000;

void toStandardError(const std::string& sentence)
{
    std::fprintf(stderr, "%s\n", sentence.c_str());
}

DrivingFailureReport failureReport = toStandardError;

} // namespace

void reportDrivingFailuresTo(DrivingFailureReport report)
{
    failureReport = report ? report : toStandardError;
}

bool showWindow(QWidget* window)
{
    // A text cursor that does not blink is drawn the same in every picture.
    QApplication::setCursorFlashTime(0);
    if (auto* form = qobject_cast<Form*>(window))
        form->start();
    else
        window->show();
    // A closed message box may have left no window active.
    QApplication::setActiveWindow(window);
    return waitUntilActive(window);
}

bool waitUntilActive(QWidget* window)
{
    if (!QTest::qWaitForWindowActive(window, activationTimeoutMs)) {
        failureReport("the window \"" + window->windowTitle().toStdString() + "\" did not become active");
        return false;
    }
    QApplication::processEvents();
    return true;
}

bool clickButton(QWidget* window, const char* name)
{
    auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name));
    if (!button) {
        failureReport(std::string("the window has no button named ") + name);
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

MessageBoxAnswerer::MessageBoxAnswerer(Answer answer) : answer_(answer)
{
    // A box runs its own event loop, so it is looked for from a timer.
    QObject::connect(&timer_, &QTimer::timeout, [this] { answerOpenBox(); });
    timer_.start(5);
}

void MessageBoxAnswerer::answerOpenBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    // Waiting for the box handles events, this timer's among them: it stays stopped meanwhile.
    timer_.stop();
    seen_.push_back({box->windowTitle(), box->text(), box->icon()});
    if (box->icon() == QMessageBox::Critical)
        std::fprintf(stderr, "the program reported: %s\n", qPrintable(box->text()));
    if (waitUntilActive(box) && whileOpen)
        whileOpen(*box, static_cast<int>(seen_.size()));
    switch (answer_) {
    case Answer::ClickOk: box->button(QMessageBox::Ok)->click(); break;
    case Answer::PressEscape: QTest::keyClick(box, Qt::Key_Escape); break;
    case Answer::CloseBox: box->close(); break;
    }
    timer_.start();
}
