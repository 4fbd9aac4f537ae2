#include "gui_test.h"

#include "form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

MessageBoxAnswerer::MessageBoxAnswerer(Answer answer) : answer_(answer), timer_(new QTimer)
{
    QObject::connect(timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen_.push_back({box->windowTitle(), box->text(), box->icon()});
        if (whileOpen)
            whileOpen();
        switch (answer_) {
        case Answer::ClickOk:
            box->button(QMessageBox::Ok)->click();
            break;
        case Answer::PressEscape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case Answer::CloseBox:
            box->close();
            break;
        }
    });
    timer_->start(5);
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    delete timer_;
}

void clickButton(QWidget* window, const char* name)
{
    if (auto* button = control<QPushButton>(window, name))
        QTest::mouseClick(button, Qt::LeftButton);
}

void pressAccessKey(QWidget* window, Qt::Key key)
{
    // The keystroke goes where the focus is, as a user's does.
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused && focused->window() == window ? focused : window, key, Qt::AltModifier);
    const auto buttons = window->findChildren<QAbstractButton*>();
    const bool released = QTest::qWaitFor(
        [&] { return std::none_of(buttons.begin(), buttons.end(), [](QAbstractButton* b) { return b->isDown(); }); },
        5000);
    EXPECT_TRUE(released) << "a button stayed down after its access key";
}

void showAndActivate(QWidget* window)
{
    if (auto* form = qobject_cast<Form*>(window))
        form->start();
    else
        window->show();
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

QString focusedControlName()
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused)
        return {};
    if (auto* box = qobject_cast<TextBox*>(focused->parentWidget()))
        return box->objectName();
    return focused->objectName();
}
