// record_format.cpp: building records from their fields.
#include "record_format.h"

namespace record_output {

namespace {

    // Wide enough for every 32-bit integer, sign included.
    constexpr std::size_t listDirectedWidth = 11;

    // The value right-aligned in `width` columns with at least `minimumDigits` digits; asterisks
    // across the whole field when there is no value or when sign and digits do not fit.
    std::string integerText(WholeNumber value, std::size_t width, std::size_t minimumDigits)
    {
        if (!value)
            return std::string(width, '*');

        // 64 bits so that -2147483648 has a magnitude.
        const std::int64_t magnitude = *value < 0 ? -std::int64_t{*value} : *value;
        std::string digits = std::to_string(magnitude);
        if (digits.size() < minimumDigits)
            digits.insert(0, minimumDigits - digits.size(), '0');
        if (*value < 0)
            digits.insert(0, 1, '-');

        if (digits.size() > width)
            return std::string(width, '*');
        return std::string(width - digits.size(), ' ') + digits;
    }

} // namespace

std::string listDirectedRecord(std::initializer_list<WholeNumber> values)
{
    std::string record;
    for (const WholeNumber &value : values) {
        record += ' ';
        record += integerText(value, listDirectedWidth, 1);
    }
    return record;
}

std::string formattedRecord(std::span<const Field> format, std::initializer_list<WholeNumber> values)
{
    std::string record;
    const WholeNumber *next = values.begin();
    for (const Field &field : format) {
        if (field.kind == Field::Kind::Text) {
            record += field.text;
        } else {
            if (next == values.end())
                break;
            record += integerText(*next++, field.width, field.minimumDigits);
        }
    }
    return record;
}

} // namespace record_output
