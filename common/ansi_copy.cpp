#include "ansi_copy.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifdef _WIN32

AnsiCopy::AnsiCopy(std::u16string_view text) : bytes_(text.size() + 1, '\0')
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = static_cast<wchar_t>(text[i]);
        char narrow = '?';
        BOOL lossy = FALSE;
        if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &unit, 1, &narrow, 1, "?", &lossy) != 1)
            narrow = '?';
        bytes_[i] = narrow;
    }
}

std::u16string AnsiCopy::text() const
{
    std::u16string text(size(), u'\0');
    for (std::size_t i = 0; i < size(); ++i) {
        wchar_t unit = L'?';
        MultiByteToWideChar(CP_ACP, 0, &bytes_[i], 1, &unit, 1);
        text[i] = static_cast<char16_t>(unit);
    }
    return text;
}

#else

AnsiCopy::AnsiCopy(std::u16string_view text) : bytes_(text.size() + 1, '\0')
{
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes_[i] = static_cast<char>(text[i] <= 0xFF ? text[i] : u'?');
}

std::u16string AnsiCopy::text() const
{
    std::u16string text(size(), u'\0');
    for (std::size_t i = 0; i < size(); ++i)
        text[i] = static_cast<unsigned char>(bytes_[i]);
    return text;
}

#endif
