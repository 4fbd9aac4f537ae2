// Names that come from a library file (its exports, its path, the loader's words about it),
// made safe to print: a name may hold any byte, and an escape sequence printed raw rewrites
// the learner's terminal.
#pragma once

#include <string>
#include <string_view>

// `text` with every control character (C0, DEL, and the C1 controls U+0080 to U+009F), every
// byte that is not part of valid UTF-8, and the backslash written as an escape: "\x1b", "\\".
// Printable UTF-8, letters beyond ASCII included, is kept as it is.
std::string printable(std::string_view text);
