#include "window_test.h"

#include "routine_binding.h"

#include <QAbstractButton>
#include <QApplication>

#include <cstdlib>
#include <filesystem>

std::string Ending::report() const
{
    if (boxes.empty() || boxes.back().icon != QMessageBox::Critical)
        return {};
    return boxes.back().text.toStdString();
}

void expectEndedWithTheReportAlone(const Ending& end, const std::string& report)
{
    EXPECT_EQ(end.status, 1);
    ASSERT_EQ(end.boxes.size(), 1u) << "the report alone";
    EXPECT_EQ(end.boxes[0].title, programTitle());
    EXPECT_EQ(end.boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(end.report().substr(0, report.size()), report);
}

Ending clickToTheEnd(QWidget* window, const char* button)
{
    Ending ending;
    auto* pressed = control<QAbstractButton>(window, button);
    if (!pressed)
        return ending;
    MessageBoxAnswerer answerer;
    // The click's signal itself, which runs the handler, rather than a mouse event or the
    // button's click(): ProgramEnded then leaves through the signal alone, and not through Qt's
    // widget code, which is built without exceptions and would be left half done (a button's
    // guard of itself would never be released, for one).
    try {
        emit pressed->clicked();
    } catch (const ProgramEnded& end) {
        ending.status = end.status;
    }
    ending.boxes = answerer.seen();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a box outlived the end of the program";
    return ending;
}

void expectTheProcessToEnd(int status, const std::function<void()>& action)
{
    EXPECT_EXIT(
        {
            replaceProgramEnding(nullptr);
            MessageBoxAnswerer answerer;
            action();
            std::exit(99);
        },
        testing::ExitedWithCode(status), "");
}

std::string bindingFailureReport(const char* library, const char* routine)
{
    const auto besideProgram = std::filesystem::path(programDirectory()) / libraryFileName(library);
    if (std::filesystem::exists(besideProgram))
        return std::string("Routine not found '") + routine + "' in library '" + library + "'";
    return std::string("Cannot load library '") + library + "'";
}
