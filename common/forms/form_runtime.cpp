#include "form_runtime.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

namespace {

// The status a program ends with after a runtime error has been reported.
constexpr int runtimeErrorStatus = 1;

[[noreturn]] void exitAtOnce(int exitStatus)
{
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

ProgramEnding programEnding = nullptr;

// The window a message box belongs to: the active one, or else the program's visible window.
QWidget* ownerWindow()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && !qobject_cast<QMessageBox*>(window))
            return window;
    return nullptr;
}

void showBox(QMessageBox::Icon icon, const QString& text)
{
    QWidget* owner = ownerWindow();
    QMessageBox box(icon, programTitle(), text, QMessageBox::Ok, owner);
    if (owner)
        box.setFont(owner->font()); // a window of its own does not inherit the font
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    // The window takes the keyboard again, access keys included.
    if (owner)
        owner->activateWindow();
}

[[noreturn]] void reportAndEnd(const QString& message)
{
    showBox(QMessageBox::Critical, message);
    endProgram(runtimeErrorStatus);
}

} // namespace

void describeProgram(const QString& title, const QString& version)
{
    QCoreApplication::setApplicationName(title);
    QCoreApplication::setApplicationVersion(version);
}

QString programTitle()
{
    return QCoreApplication::applicationName();
}

void messageBox(const Variant& prompt)
{
    showBox(QMessageBox::NoIcon, QString::fromStdU16String(prompt.toText()));
}

void endProgram(int exitStatus)
{
    if (programEnding)
        programEnding(exitStatus);
    exitAtOnce(exitStatus);
}

ProgramEnding replaceProgramEnding(ProgramEnding ending)
{
    return std::exchange(programEnding, ending);
}

void runEvent(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const RuntimeError& error) {
        reportAndEnd(QString::fromUtf8(error.what()));
    } catch (const std::bad_alloc&) {
        reportAndEnd(QStringLiteral("Out of memory"));
    }
}
