// record_output.h: sequential text records written to files through numbered units.
//
// open connects a unit to a file and close releases it; in between, each write adds one
// whole record, one line, to the end of the file. A unit is held by one thread from its open
// to its close, so the records of two connections of the same unit never interleave.
// Output failures (a file that cannot be opened, a full disk) stay inside this layer: the
// writes of a unit whose open failed do nothing, and no caller ever sees an error. Only a
// regular file, a terminal or the null device is written to; a FIFO, a socket or another
// device under the file's name counts as a file that cannot be opened, so no open or write
// waits on a reader and none raises SIGPIPE.
#ifndef RECORD_OUTPUT_H
#define RECORD_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <mutex>
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

// A unit connected to a file, from open to close. The records wait in the connection and go
// to the file in one write when close is called (or sooner, once they fill a buffer's worth), so
// every record written is in the file once close returns; a connection still open when it is
// destroyed closes then.
class Connection {
public:
    // A connection stays where it was opened, so that its unit is released exactly once.
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    ~Connection();

    void writeListDirected(std::initializer_list<WholeNumber> values) noexcept;
    void writeFormatted(std::span<const Field> format, std::initializer_list<WholeNumber> values) noexcept;
    void close() noexcept;

private:
    friend Connection open(int unit, const char *fileName);
    Connection(std::unique_lock<std::mutex> hold, int openedFile);
    void put(std::string_view record);
    void writePending() noexcept;

    std::unique_lock<std::mutex> unitHold;
    int file; // the file's descriptor, or -1 when the open failed or the unit is closed
    std::string pending;
};
// The unit numbers that exist; open of any other number gives a connection that writes nothing.
inline constexpr int unitCount = 100;

// Connects `unit` to `fileName` for appending, creating the file when it is missing; never
// waits on the file itself. Waits while another thread holds the unit; a thread closes a unit
// before it opens it again.
Connection open(int unit, const char *fileName);

} // namespace record_output

#endif // RECORD_OUTPUT_H
