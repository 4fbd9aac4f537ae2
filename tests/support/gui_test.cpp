#include "gui_test.h"

#include "form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

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

bool operator==(const SeenBox& left, const SeenBox& right)
{
    return left.title == right.title && left.text == right.text;
}

void PrintTo(const SeenBox& box, std::ostream* out)
{
    *out << "[" << box.title.toStdString() << "] " << box.text.toStdString();
}

void typeInto(QWidget* window, const char* textBox, const QString& text)
{
    auto* box = control<TextBox>(window, textBox);
    if (!box)
        return;
    box->editor()->setFocus();
    QTest::keyClick(box->editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box->editor(), Qt::Key_Delete);
    QTest::keyClicks(box->editor(), text);
    EXPECT_EQ(QString::fromStdU16String(box->text()), text) << "typing into " << textBox;
}

std::string shownText(QWidget* control)
{
    if (auto* label = qobject_cast<Label*>(control))
        return QString::fromStdU16String(label->caption()).toStdString();
    if (auto* box = qobject_cast<TextBox*>(control))
        return QString::fromStdU16String(box->text()).toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text().toStdString();
    ADD_FAILURE() << control->objectName().toStdString() << " is not a label, text box or button";
    return {};
}

std::string shownText(QWidget* window, const char* name)
{
    QWidget* found = control<QWidget>(window, name);
    return found ? shownText(found) : std::string();
}

void expectControlsAtStart(QWidget* window, std::span<const StartingControl> controls)
{
    for (const StartingControl& expected : controls) {
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(shownText(window, expected.name), expected.shows);
        if (QWidget* found = window->findChild<QWidget*>(QString::fromLatin1(expected.name))) {
            EXPECT_EQ(found->property("TabIndex").toInt(), expected.tabIndex);
        }
    }
}

namespace {

// The room a caption has inside its control, and the caption's widest line.
int captionRoom(QWidget* control)
{
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    }
    return control->contentsRect().width();
}

int captionWidth(QWidget* control)
{
    QString caption;
    if (auto* label = qobject_cast<Label*>(control))
        caption = QString::fromStdU16String(label->caption());
    else if (auto* button = qobject_cast<QPushButton*>(control))
        caption = button->text().remove(QLatin1Char('&'));
    int widest = 0;
    for (const QString& line : caption.split(QStringLiteral("\r\n")))
        widest = std::max(widest, control->fontMetrics().horizontalAdvance(line));
    return widest;
}

} // namespace

void expectReadableLayout(QWidget* window)
{
    const auto controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* each : controls) {
        const std::string name = each->objectName().toStdString();
        EXPECT_TRUE(window->rect().contains(each->geometry())) << name << " reaches outside the client area";
        if (qobject_cast<Label*>(each) || qobject_cast<QPushButton*>(each)) {
            EXPECT_LE(captionWidth(each), captionRoom(each)) << "the caption of " << name << " does not fit";
        }
    }
    // Two controls may share an edge, a line one pixel wide, but no more.
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QRect shared = controls[i]->geometry() & controls[j]->geometry();
            EXPECT_TRUE(shared.width() <= 1 || shared.height() <= 1)
                << controls[i]->objectName().toStdString() << " overlaps " << controls[j]->objectName().toStdString();
        }
    }
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
