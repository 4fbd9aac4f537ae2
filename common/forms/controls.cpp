#include "controls.h"

#include "conversions.h"
#include "runtime_error.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int twipsPerInch = 1440;
constexpr int barSteps = 1'000'000; // drawing resolution of the progress bar

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Names the control, places it, and records its tab index; a screen reader describes the
// control by its name.
void placeControl(QWidget* control, const QString& name, const Twips& place, int tabIndex)
{
    control->setObjectName(name);
    control->setAccessibleDescription(name);
    control->setGeometry(twipsToPixels(place));
    if (tabIndex >= 0)
        control->setProperty("TabIndex", tabIndex);
}

// The progress bar as assistive technology sees it: its Value, Min and Max as numbers.
class ProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ProgressBarAccessible(ProgressBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return QString::number(bar()->currentValue());
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return bar()->currentValue(); }
    void setCurrentValue(const QVariant&) override {} // the user cannot move the bar
    QVariant maximumValue() const override { return bar()->maximumValue(); }
    QVariant minimumValue() const override { return bar()->minimumValue(); }
    QVariant minimumStepSize() const override { return 0.0f; }

private:
    ProgressBar* bar() const { return static_cast<ProgressBar*>(widget()); }
};

QAccessibleInterface* accessibleProgressBar(const QString& className, QObject* object)
{
    if (className == QLatin1String("ProgressBar") && object && object->isWidgetType())
        return new ProgressBarAccessible(static_cast<ProgressBar*>(object));
    return nullptr;
}

[[noreturn]] void controlFailed(const QString& control, const std::string& what)
{
    throw RuntimeError(ErrorCode::ControlOperationFailed, control.toStdString() + ": " + what);
}

} // namespace

int twipsToPixels(int twips)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dotsPerInch = screen ? screen->logicalDotsPerInchX() : 96.0;
    return static_cast<int>(std::lround(twips * dotsPerInch / twipsPerInch));
}

QRect twipsToPixels(const Twips& twips)
{
    return {twipsToPixels(twips.left), twipsToPixels(twips.top), twipsToPixels(twips.width),
            twipsToPixels(twips.height)};
}

QColor colorFromValue(uint32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// ---- CommandButton ----

CommandButton::CommandButton(QWidget* form, const QString& name, const QString& caption, const Twips& place,
                             int tabIndex)
    : QPushButton(caption, form)
{
    placeControl(this, name, place, tabIndex);
    setFocusPolicy(Qt::StrongFocus);
}

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

// ---- Label ----

Label::Label(QWidget* form, const QString& name, std::u16string_view caption, const Twips& place, int tabIndex)
    : QLabel(form)
{
    placeControl(this, name, place, tabIndex);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
    setCaption(caption);
}

void Label::setCaption(std::u16string_view caption)
{
    caption_ = std::u16string(caption);
    showCaption();
}

void Label::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showCaption();
}

void Label::showCaption()
{
    // A caption's lines end with CR LF; the label breaks its lines at LF.
    QString lines = toQString(caption_);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList shown;
    for (const QString& line : lines.split(QLatin1Char('\n')))
        shown << fontMetrics().elidedText(line, Qt::ElideMiddle, contentsRect().width() - 2 * std::max(indent(), 0));
    const QString text = shown.join(QLatin1Char('\n'));
    setText(text);
    setToolTip(text == lines ? QString() : lines);
    setAccessibleName(lines);
}

// ---- TextBox ----

TextBox::TextBox(QWidget* form, const QString& name, std::u16string_view text, const Twips& place, int tabIndex,
                 Lines lines)
    : QWidget(form)
{
    placeControl(this, name, place, tabIndex);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (lines == Lines::One) {
        oneLine_ = new QLineEdit(this);
        // A line editor keeps only its first 32767 characters unless told otherwise; a text
        // box keeps whatever is typed, pasted or set into it.
        oneLine_->setMaxLength(std::numeric_limits<int>::max());
        connect(oneLine_, &QLineEdit::textChanged, this, &TextBox::describeText);
    } else {
        manyLines_ = new QPlainTextEdit(this);
        manyLines_->setTabChangesFocus(true);
        manyLines_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        connect(manyLines_, &QPlainTextEdit::textChanged, this, &TextBox::describeText);
    }
    editor()->setAccessibleDescription(name);
    layout->addWidget(editor());
    setFocusProxy(editor());
    setText(text);
}

QWidget* TextBox::editor() const
{
    return oneLine_ ? static_cast<QWidget*>(oneLine_) : static_cast<QWidget*>(manyLines_);
}

std::u16string TextBox::text() const
{
    if (oneLine_)
        return oneLine_->text().toStdU16String();
    return manyLines_->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")).toStdU16String();
}

void TextBox::setText(std::u16string_view text)
{
    if (oneLine_) {
        oneLine_->setText(toQString(text));
        return;
    }
    // The program ends lines with CR LF; the editor keeps them as its own line breaks.
    QString lines = toQString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    manyLines_->setPlainText(lines);
}

void TextBox::describeText()
{
    editor()->setAccessibleName(QString::fromStdU16String(text()));
}

// ---- ProgressBar ----

ProgressBar::ProgressBar(QWidget* form, const QString& name, const Twips& place, int tabIndex, float min, float max)
    : QProgressBar(form), min_(min), max_(max), value_(min)
{
    static const bool accessibleInstalled = (QAccessible::installFactory(accessibleProgressBar), true);
    Q_UNUSED(accessibleInstalled);
    placeControl(this, name, place, tabIndex);
    setOrientation(Qt::Horizontal);
    setTextVisible(false);
    setRange(0, barSteps);
    setFocusPolicy(Qt::NoFocus);
    setCurrentValue(min);
}

Variant ProgressBar::readProperty(std::string_view name) const
{
    if (name == "Min")
        return min_;
    if (name == "Max")
        return max_;
    if (name == "Value")
        return value_;
    if (name == "Visible")
        return Variant::boolean(isVisibleTo(parentWidget()));
    controlFailed(objectName(), "it has no property '" + std::string(name) + "'");
}

void ProgressBar::writeProperty(std::string_view name, const Variant& value)
{
    if (name == "Visible") {
        setVisible(value.toDouble() != 0);
    } else if (name == "Value") {
        const float newValue = value.toSingle();
        if (!(newValue >= min_ && newValue <= max_))
            controlFailed(objectName(),
                          "Value " + textForMessage(newValue) + " is outside Min " + textForMessage(min_) + " to Max " +
                              textForMessage(max_));
        setCurrentValue(newValue);
    } else if (name == "Min" || name == "Max") {
        const float bound = value.toSingle();
        const float newMin = name == "Min" ? bound : min_;
        const float newMax = name == "Max" ? bound : max_;
        if (!(newMin <= newMax))
            controlFailed(objectName(),
                          "Min " + textForMessage(newMin) + " would lie above Max " + textForMessage(newMax));
        min_ = newMin;
        max_ = newMax;
        setCurrentValue(std::clamp(value_, min_, max_));
    } else {
        controlFailed(objectName(), "it has no property '" + std::string(name) + "'");
    }
}

void ProgressBar::setCurrentValue(float value)
{
    value_ = value;
    const double span = double{max_} - double{min_};
    const double fraction = span > 0 ? (double{value_} - double{min_}) / span : 0.0;
    setValue(static_cast<int>(std::lround(fraction * barSteps)));
    QAccessibleValueChangeEvent event(this, value_);
    QAccessible::updateAccessibility(&event);
}

// ---- Shape ----

Shape::Shape(QWidget* form, const QString& name, const Twips& place, uint32_t fillColor)
    : QWidget(form), fillColor_(fillColor)
{
    placeControl(this, name, place, -1);
    setFocusPolicy(Qt::NoFocus);
    setFillColor(fillColor);
}

void Shape::setFillColor(uint32_t color)
{
    fillColor_ = color;
    setAccessibleName(colorFromValue(color).name().toUpper());
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    // The lamp: an oval filled solid, with a thin dark outline.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(colorFromValue(fillColor_));
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
