// record_output.cpp: the units that put records in files.
#include "record_output.h"

#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace record_output {

namespace {

    // One lock per unit, held from open to close. A mutex is constant-initialised, so the table
    // costs no code when the library is loaded.
    std::mutex unitLocks[unitCount];

    // Records wait in the connection up to this many bytes before they go to the file.
    constexpr std::size_t pendingLimit = 4096;

#ifdef _WIN32
    int openForAppending(const char *fileName)
    {
        return _open(fileName, _O_WRONLY | _O_APPEND | _O_CREAT | _O_TEXT, _S_IREAD | _S_IWRITE);
    }

    void writeWhole(int file, std::string_view bytes)
    {
        while (!bytes.empty()) {
            const int written = _write(file, bytes.data(), static_cast<unsigned>(bytes.size()));
            if (written <= 0)
                return;
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    void closeFile(int file)
    {
        _close(file);
    }
#else
    // The flags of the open: appending, creating a missing file, and never waiting. An open for
    // writing of a FIFO that no process reads would wait for ever without O_NONBLOCK (with it,
    // the open fails); O_NOCTTY keeps a terminal from becoming the process's controlling one.
    constexpr int openFlags = O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

    // A character device that takes a record at once: the null device or a terminal.
    bool takesRecordsAsDevice(const struct stat &status, int openedFile)
    {
        struct stat nullDevice;
        return (stat("/dev/null", &nullDevice) == 0 && nullDevice.st_rdev == status.st_rdev) || isatty(openedFile);
    }

    // Opens for appending without waiting, and keeps the file only when it takes a record at
    // once: a regular file, the null device or a terminal. A FIFO with a reader, a socket or any
    // other device could hold a write, or end the process with SIGPIPE once its reader has
    // gone, so it is closed unwritten, as a file that cannot be opened. The kind is asked of
    // the opened file, not of the name, which may have changed meanwhile.
    int openForAppending(const char *fileName)
    {
        const int file = ::open(fileName, openFlags, 0666);
        if (file < 0)
            return -1;
        struct stat status;
        if (fstat(file, &status) != 0) {
            ::close(file);
            return -1;
        }
        if (S_ISREG(status.st_mode))
            return file; // never waits on a write, so O_NONBLOCK makes no difference here
        if (!S_ISCHR(status.st_mode) || !takesRecordsAsDevice(status, file)) {
            ::close(file);
            return -1;
        }
        // A terminal then takes each write whole, as an ordinary write does.
        fcntl(file, F_SETFL, openFlags & ~O_NONBLOCK);
        return file;
    }

    // Writes all of `bytes`, in several pieces when the file takes fewer at once; stops at
    // the first failure, which is not reported.
    void writeWhole(int file, std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = ::write(file, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return;
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    void closeFile(int file)
    {
        ::close(file);
    }
#endif

} // namespace

Connection::Connection(std::unique_lock<std::mutex> hold, int openedFile) : unitHold(std::move(hold)), file(openedFile)
{
}

Connection::~Connection()
{
    close();
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

// The record and its line end wait together, so that they reach the file in one piece; the
// room for both is made first, so that a record that finds no memory leaves nothing behind.
void Connection::put(std::string_view record)
{
    if (file < 0)
        return;
    pending.reserve(pending.size() + record.size() + 1);
    pending += record;
    pending += '\n';
    if (pending.size() >= pendingLimit)
        writePending();
}

void Connection::writePending() noexcept
{
    writeWhole(file, pending);
    pending.clear();
}

void Connection::close() noexcept
{
    if (file >= 0) {
        writePending();
        closeFile(file);
        file = -1;
    }
    if (unitHold.owns_lock())
        unitHold.unlock();
}

Connection open(int unit, const char *fileName)
{
    if (unit < 0 || unit >= unitCount)
        return Connection({}, -1);
    std::unique_lock<std::mutex> hold(unitLocks[unit]);
    return Connection(std::move(hold), openForAppending(fileName));
}

} // namespace record_output
