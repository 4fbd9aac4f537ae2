#include "form.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <vector>

Form::Form(const QString& name, const QString& caption, int clientWidth, int clientHeight)
{
    setObjectName(name);
    setAccessibleDescription(name);
    setWindowTitle(caption);
    // Windows are laid out in twips for an 8-point system font; at that size the captions fit
    // the places the layouts give them.
    QFont eightPoint = font();
    eightPoint.setPointSize(8);
    setFont(eightPoint);
    resize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));
}

void Form::placeAt(int left, int top)
{
    move(twipsToPixels(left), twipsToPixels(top));
}

void Form::placeCentred()
{
    centred_ = true;
}

void Form::start()
{
    applyTabOrder();
    show();
    // Centred by its frame, which the window has only once it is shown.
    if (centred_) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(pos() + screen->availableGeometry().center() - frameGeometry().center());
    }
    activateWindow();
}

void Form::applyTabOrder()
{
    // The widget that takes the focus for a control: a text box's editor, or the control.
    auto focusTarget = [](QWidget* control) { return control->focusProxy() ? control->focusProxy() : control; };
    std::vector<QWidget*> order;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->property("TabIndex").isValid() && (focusTarget(control)->focusPolicy() & Qt::TabFocus))
            order.push_back(control);
    std::stable_sort(order.begin(), order.end(), [](const QWidget* a, const QWidget* b) {
        return a->property("TabIndex").toInt() < b->property("TabIndex").toInt();
    });
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(focusTarget(order[i - 1]), focusTarget(order[i]));
    if (!order.empty())
        focusTarget(order.front())->setFocus();
}
