// AnsiCopy: a text as it crosses to a routine library, a zero-terminated 8-bit copy.
//
// Each UTF-16 code unit becomes one byte: Latin-1 (units up to U+00FF are their own byte,
// any other unit becomes "?"); on Windows the system's ANSI code page. After the call the copy
// can be turned back into text over its full length, so the text keeps its length whatever
// the routine wrote: a zero byte becomes a zero character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class AnsiCopy {
public:
    explicit AnsiCopy(std::u16string_view text);

    // The address of the first byte; one zero byte follows the copied text.
    char* data() { return bytes_.data(); }

    // The number of bytes copied, not counting the terminator.
    std::size_t size() const { return bytes_.size() - 1; }

    // The bytes turned back into text, all of them.
    std::u16string text() const;

private:
    std::vector<char> bytes_;
};
