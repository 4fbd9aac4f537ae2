// Korvik's window shown on the offscreen platform, with its controls at hand by name.
#pragma once

#include "form1.h"
#include "window_test.h"

#include "conversions.h"

#include <string>

class KorvikWindow : public WindowTest<korvik::Form1> {
protected:
    KorvikWindow() : WindowTest("Korvik") {}

    Label* label(const char* name) { return control<Label>(&form, name); }
    TextBox* textBox(const char* name) { return control<TextBox>(&form, name); }
    ProgressBar* bar() { return control<ProgressBar>(&form, "ProgressBar1"); }
    Shape* lamp() { return control<Shape>(&form, "Shape1"); }
    std::string shown(const char* name) { return shownText(&form, name); }
};

// The lamp's colours (0x00BBGGRR): red while Start All runs, blue after a complete run.
constexpr uint32_t red = 0x0000FF;
constexpr uint32_t blue = 0xFF0000;

// What a field shows, as narrow text for messages and comparisons.
inline std::string narrow(const std::u16string& text)
{
    return QString::fromStdU16String(text).toStdString();
}
