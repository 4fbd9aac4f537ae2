// The first click, for an installed program that reads no command line. Preloaded into the
// program (LD_PRELOAD), it leaves the loading of the routine library to the program's own
// binding code: once the window is up it clicks one button, closes each message box that
// opens, and prints what it saw, one line each:
//
//     before the click: libPettrix.so not loaded
//     message box: a+b=
//     result: <the caption of the result label>
//     loaded from: <the library file, its real path>
//
// and then ends the program with status 0. A runtime error ends the program through its own
// report (status 1) after the box with the error's text is printed.
//
// The environment names the button (FIRST_CLICK_BUTTON), the label that shows the result
// (FIRST_CLICK_RESULT; none when empty) and the library's file (FIRST_CLICK_LIBRARY).
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <link.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void report(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The real path of the loaded library whose file name is `fileName`; empty when none is loaded.
std::string loadedFile(const std::string& fileName)
{
    struct Search {
        const std::string& fileName;
        std::string found;
    } search{fileName, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto& result = *static_cast<Search*>(data);
            const std::filesystem::path path(info->dlpi_name ? info->dlpi_name : "");
            if (path.filename() != result.fileName)
                return 0;
            result.found = path.string();
            return 1;
        },
        &search);
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(search.found, error);
    return error ? search.found : real.string();
}

QWidget* widgetNamed(const std::string& name)
{
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->objectName().toStdString() == name)
            return widget;
    return nullptr;
}

void closeMessageBoxes()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box && box->isVisible()) {
            report("message box: " + box->text().toStdString());
            box->done(QMessageBox::Ok);
        }
    }
}

void clickOnce()
{
    const std::string buttonName = environment("FIRST_CLICK_BUTTON");
    const std::string resultName = environment("FIRST_CLICK_RESULT");
    const std::string library = environment("FIRST_CLICK_LIBRARY");

    auto* button = qobject_cast<QAbstractButton*>(widgetNamed(buttonName));
    if (!button) {
        report("no button named '" + buttonName + "'");
        QCoreApplication::exit(2);
        return;
    }
    const std::string before = loadedFile(library);
    report("before the click: " + (before.empty() ? library + " not loaded" : before));

    // The handler's message boxes run their own event loops, in which this timer fires.
    auto* closer = new QTimer(qApp);
    QObject::connect(closer, &QTimer::timeout, closeMessageBoxes);
    closer->start(20);

    button->click();

    if (!resultName.empty()) {
        auto* label = qobject_cast<QLabel*>(widgetNamed(resultName));
        report(label ? "result: " + label->text().toStdString() : "no label named '" + resultName + "'");
    }
    report("loaded from: " + loadedFile(library));
    QCoreApplication::exit(0);
}

// Runs as the program's application object is made, before its window exists: the click
// waits for the event loop, which starts after the window is shown.
void scheduleClick()
{
    QTimer::singleShot(0, clickOnce);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(scheduleClick)
