// Writing numbers as text and reading the text back. Whatever 64-bit or 32-bit real the
// windows write, the text they write reads back, without an error, as a number that is
// written the same way. The numbers are the input's first bytes taken as a real, and the
// number that the input reads as when taken as text (so that texts near the ends of the
// range lead the search there).
#include "conversions.h"
#include "runtime_error.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string narrow(const std::u16string& text)
{
    return {text.begin(), text.end()};
}

void expectSameText(const std::u16string& written, const std::u16string& rewritten)
{
    if (written != rewritten) {
        std::fprintf(stderr, "\"%s\" reads back as a number written \"%s\"\n", narrow(written).c_str(),
                     narrow(rewritten).c_str());
        std::abort();
    }
}

// What the windows write of a 64-bit real reads back as the same text.
void writeAndReadBack(double value)
{
    if (!std::isfinite(value))
        return;
    const std::u16string joined = textForJoining(value, u'.');
    expectSameText(joined, textForJoining(numberFromText(joined), u'.'));
    const std::u16string explicitText = explicitNumberText(value);
    expectSameText(explicitText, explicitNumberText(numberFromText(explicitText)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        writeAndReadBack(value);
    }
    double read = 0;
    try {
        read = numberFromText(std::u16string(data, data + size));
    } catch (const RuntimeError&) {
        // Text too large for a real is not a number the windows could have written.
    }
    writeAndReadBack(read);
    if (size >= sizeof(float)) {
        float value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            const std::u16string joined = textForJoining(value, u'.');
            expectSameText(joined, textForJoining(toSingle(numberFromText(joined)), u'.'));
        }
    }
    return 0;
}
