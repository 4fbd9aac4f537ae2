// record_format.h: the characters of a record, list-directed or by a format of fields. Plain
// text building with no file behind it, so that a program that predicts a record (routine-check)
// makes it with the same code that writes it.
#ifndef RECORD_FORMAT_H
#define RECORD_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace record_output {

// A whole number to write; empty when the number it stands for has no 32-bit whole part.
// A field that gets an empty value is filled with asterisks.
using WholeNumber = std::optional<std::int32_t>;

// One field of a format: a text written as it stands, or an integer right-aligned in
// `width` columns with at least `minimumDigits` digits (leading zeros make up the rest).
struct Field {
    enum class Kind { Text, Integer };
    Kind kind;
    std::string_view text;
    std::size_t width;
    std::size_t minimumDigits;
};

constexpr Field textField(std::string_view text)
{
    return {Field::Kind::Text, text, 0, 0};
}

constexpr Field integerField(std::size_t width, std::size_t minimumDigits)
{
    return {Field::Kind::Integer, {}, width, minimumDigits};
}

// The characters of a list-directed record: each value as one blank and the number
// right-aligned in 11 columns, the width of -2147483648.
std::string listDirectedRecord(std::initializer_list<WholeNumber> values);

// The characters of a formatted record: the fields in order, each integer field taking the
// next value. The record ends at the first integer field left without a value; values
// beyond the last integer field are not written.
std::string formattedRecord(std::span<const Field> format, std::initializer_list<WholeNumber> values);

} // namespace record_output

#endif // RECORD_FORMAT_H
