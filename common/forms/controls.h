// The intrinsic controls that the programs' windows are made of.
//
// Each control is a Qt widget named after the program's control (its objectName and its
// accessible description), placed in twips, and offering the properties a handler uses in
// the program's own terms: a caption, a text, a value, a fill colour.
#pragma once

#include "variant.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;

// A position and size in twips (1/1440 inch), measured in the window's client area.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// Controls with a tab index take part in the window's tab order in that order (those that
// can take the focus); the index is kept as the widget's "TabIndex" property.

// Twips to pixels at the screen's logical resolution.
int twipsToPixels(int twips);
QRect twipsToPixels(const Twips& twips);

// A command button. "&" in the caption marks the access key: the next letter is underlined
// and Alt with that letter clicks the button. Space and Enter click the focused button.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(QWidget* form, const QString& name, const QString& caption, const Twips& place, int tabIndex);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A label: shows its caption, takes no focus. A caption may hold CR LF line breaks. A line
// wider than the label is shown shortened in the middle, so that its beginning and its end
// (the exponent of a number, say) stay in sight; the tooltip then shows the whole caption.
class Label : public QLabel {
    Q_OBJECT
public:
    Label(QWidget* form, const QString& name, std::u16string_view caption, const Twips& place, int tabIndex);

    std::u16string caption() const { return caption_; }
    void setCaption(std::u16string_view caption);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showCaption();

    std::u16string caption_;
};

// A text box: one line, or several lines with a vertical scroll bar. In a multi-line box a
// line ends with CR LF, as the program writes it; Tab moves the focus on.
class TextBox : public QWidget {
    Q_OBJECT
public:
    enum class Lines { One, Many };

    TextBox(QWidget* form, const QString& name, std::u16string_view text, const Twips& place, int tabIndex,
            Lines lines = Lines::One);

    // A new copy of the text, as the user left it.
    std::u16string text() const;
    void setText(std::u16string_view text);

    // The Qt editor inside: a QLineEdit or a QPlainTextEdit.
    QWidget* editor() const;

private:
    void describeText();

    QLineEdit* oneLine_ = nullptr;
    QPlainTextEdit* manyLines_ = nullptr;
};

// A horizontal progress bar whose Min, Max and Value are 32-bit reals, kept exactly.
// Its properties can also be read and written by name, as late-bound calls do.
class ProgressBar : public QProgressBar {
    Q_OBJECT
public:
    ProgressBar(QWidget* form, const QString& name, const Twips& place, int tabIndex, float min, float max);

    float minimumValue() const { return min_; }
    float maximumValue() const { return max_; }
    float currentValue() const { return value_; }

    // Late-bound access: "Min", "Max", "Value", "Visible". An unknown name, or a Value
    // outside Min to Max, raises "Control operation failed".
    Variant readProperty(std::string_view name) const;
    void writeProperty(std::string_view name, const Variant& value);

private:
    void setCurrentValue(float value);

    float min_;
    float max_;
    float value_;
};

// A shape filled solid with its fill colour: the lamp. Takes no focus.
class Shape : public QWidget {
    Q_OBJECT
public:
    Shape(QWidget* form, const QString& name, const Twips& place, uint32_t fillColor);

    // A colour value 0x00BBGGRR: red in the lowest byte.
    uint32_t fillColor() const { return fillColor_; }
    void setFillColor(uint32_t color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    uint32_t fillColor_;
};

// A colour value 0x00BBGGRR as a QColor.
QColor colorFromValue(uint32_t value);
