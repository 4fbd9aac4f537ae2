// record_output.cpp: building records from their fields, and the units that put them in files.
#include "record_output.h"

#include <new>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifdef _WIN32
    std::FILE *openForAppending(const char *fileName)
    {
        return std::fopen(fileName, "a");
    }
#else
    // A kind of file that takes a record at once: a regular file, or the null device or a
    // terminal once opened. A FIFO, a socket or any other device could hold a write, or end the
    // process with SIGPIPE when its reader has gone, so it is skipped as a file that cannot be
    // written.
    bool takesRecords(const struct stat &status, int openedFile)
    {
        if (S_ISREG(status.st_mode))
            return true;
        if (!S_ISCHR(status.st_mode))
            return false;
        if (openedFile < 0)
            return true; // which device it is shows once it is open
        struct stat nullDevice;
        return (stat("/dev/null", &nullDevice) == 0 && nullDevice.st_rdev == status.st_rdev) || isatty(openedFile);
    }

    // Opens for appending, creating the file when it is missing, without waiting: an open for
    // writing of a FIFO that no process reads would wait forever. Nothing but a regular file is
    // opened at all; what is opened is checked again, as the name may have changed meanwhile.
    std::FILE *openForAppending(const char *fileName)
    {
        struct stat named;
        if (stat(fileName, &named) == 0 && !takesRecords(named, -1))
            return nullptr;
        const int descriptor = ::open(fileName, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
        if (descriptor < 0)
            return nullptr;
        struct stat opened;
        if (fstat(descriptor, &opened) != 0 || !takesRecords(opened, descriptor)) {
            ::close(descriptor);
            return nullptr;
        }
        // A terminal then takes each record whole, as an ordinary write does.
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
        std::FILE *file = fdopen(descriptor, "a");
        if (!file)
            ::close(descriptor);
        return file;
    }
#endif

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

void Connection::writeFormatted(std::span<const Field> format, std::initializer_list<WholeNumber> values) noexcept
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
    return Connection(std::move(hold), openForAppending(fileName));
}

} // namespace record_output
