#include "counted_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

BSTR allocText(std::u16string_view text)
{
    const std::size_t bytes = text.size() * sizeof(char16_t);
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(char16_t)));
    if (!block)
        throw std::bad_alloc();
    const auto byteLength = static_cast<uint32_t>(bytes);
    std::memcpy(block, &byteLength, sizeof byteLength);
    std::memcpy(block + sizeof(uint32_t), text.data(), bytes);
    std::memset(block + sizeof(uint32_t) + bytes, 0, sizeof(char16_t));
    return reinterpret_cast<BSTR>(block + sizeof(uint32_t));
}

void freeText(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t));
}

std::u16string_view viewText(const TEXTUNIT* text)
{
    return {text, BSTR_length(text)};
}
