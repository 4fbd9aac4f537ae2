// record_output.h: sequential text records written to files through numbered units.
//
// The records' characters are made by record_format.h; open connects a unit to a file and close releases it; in between, each write adds one
// whole record, one line, to the end of the file. A unit is held by one thread from its open
// to its close, so the records of two connections of the same unit never interleave.
// Output failures (a file that cannot be opened, a full disk) stay inside this layer: the
// writes of a unit whose open failed do nothing, and no caller ever sees an error. Only a
// regular file, a terminal or the null device is written to; a FIFO, a socket or another
// device under the file's name counts as a file that cannot be opened, so no open or write
// waits on a reader and none raises SIGPIPE.
#ifndef RECORD_OUTPUT_H
#define RECORD_OUTPUT_H

#include <initializer_list>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "record_format.h"

namespace record_output {

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
