// record_output.cpp: building records from their fields, and the units that put them in files.
#include "record_output.h"

#include <new>
#include <utility>

namespace record_output {

namespace {

// Wide enough for every 32-bit integer, sign included.
constexpr std::size_t listDirectedWidth = 11;

// One lock per unit, held from open to close. A mutex is constant-initialised, so the table
// costs no code when the library is loaded.
std::mutex unitLocks[unitCount];

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

Connection::Connection(std::unique_lock<std::mutex> hold, std::FILE *openedFile)
    : unitHold(std::move(hold)), file(openedFile)
{
}

// A record that cannot be built (no memory) is dropped like one that the file refuses.
void Connection::writeListDirected(std::initializer_list<WholeNumber> values) noexcept
{
    try {
        put(listDirectedRecord(values));
    } catch (const std::bad_alloc &) {
    }
}

void Connection::writeFormatted(std::span<const Field> format,
                                std::initializer_list<WholeNumber> values) noexcept
{
    try {
        put(formattedRecord(format, values));
    } catch (const std::bad_alloc &) {
    }
}

// The record and its line end go to the file in one piece; a failed write is not reported.
void Connection::put(std::string record)
{
    if (!file)
        return;
    record += '\n';
    std::fwrite(record.data(), 1, record.size(), file.get());
}

void Connection::close() noexcept
{
    file.reset();
    if (unitHold.owns_lock())
        unitHold.unlock();
}

Connection open(int unit, const char *fileName)
{
    if (unit < 0 || unit >= unitCount)
        return Connection({}, nullptr);
    std::unique_lock<std::mutex> hold(unitLocks[unit]);
    return Connection(std::move(hold), std::fopen(fileName, "a"));
}

} // namespace record_output
