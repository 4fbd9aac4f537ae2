#include "printable_text.h"

#include <cstdio>

namespace {

std::string escaped(unsigned char byte)
{
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    return text;
}

// The length of the valid UTF-8 sequence at the start of `text` that encodes a printable
// character, or 0.
std::size_t printableSequence(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = code >= least[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    const bool control = code >= 0x80 && code <= 0x9F;
    return valid && !control ? length : 0;
}

} // namespace

std::string printable(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == '\\') {
            shown += "\\\\";
            ++at;
        } else if (byte >= 0x20 && byte < 0x7F) {
            shown += static_cast<char>(byte);
            ++at;
        } else if (const std::size_t length = printableSequence(text.substr(at)); length > 0) {
            shown += text.substr(at, length);
            at += length;
        } else {
            shown += escaped(byte);
            ++at;
        }
    }
    return shown;
}
