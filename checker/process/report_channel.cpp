#include "report_channel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <type_traits>

#include <sys/stat.h>
#include <unistd.h>

// Each payload's bytes: its numbers as they lie in memory, 8 bytes each, then its text. A
// Finding has an encoding of its own (finding.h).
namespace {

class Writer {
public:
    Writer& number(uint64_t value)
    {
        bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    std::string text(std::string_view text)
    {
        bytes_.append(text);
        return std::move(bytes_);
    }

private:
    std::string bytes_;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    template <typename T>
    Reader& number(T& value)
    {
        uint64_t whole = 0;
        if (bytes_.size() < sizeof whole) {
            failed_ = true;
            return *this;
        }
        std::memcpy(&whole, bytes_.data(), sizeof whole);
        bytes_.remove_prefix(sizeof whole);
        if constexpr (std::is_same_v<T, bool>)
            value = whole != 0;
        else
            value = static_cast<T>(whole);
        return *this;
    }
    // The rest is the text.
    bool text(std::string& text)
    {
        text.assign(bytes_);
        return !failed_;
    }
    bool atEnd() const { return !failed_ && bytes_.empty(); }

private:
    std::string_view bytes_;
    bool failed_ = false;
};

struct Encoding {
    std::string operator()(const reports::Placed& placed) const
    {
        return Writer{}
            .number(placed.call)
            .number(placed.index)
            .number(placed.readOnly)
            .number(placed.decoy)
            .number(placed.alignment)
            .number(placed.layout)
            .number(placed.position)
            .number(placed.mapStart)
            .number(placed.mapEnd)
            .number(placed.dataStart)
            .number(placed.dataEnd)
            .text(placed.name);
    }
    std::string operator()(const reports::CallStarted& started) const { return Writer{}.number(started.call).text({}); }
    std::string operator()(const Finding& finding) const { return ::encode(finding); }
    std::string operator()(const reports::Signal& signal) const
    {
        return Writer{}
            .number(static_cast<uint64_t>(signal.signal))
            .number(static_cast<uint64_t>(signal.access))
            .number(static_cast<uint64_t>(signal.trap))
            .number(signal.address)
            .number(signal.held)
            .text({});
    }
    std::string operator()(const reports::Loaded& loaded) const
    {
        return Writer{}.number(loaded.device).number(loaded.inode).text(loaded.file);
    }
    std::string operator()(const reports::LoadFailed& failed) const { return failed.problem; }
    std::string operator()(const reports::Exported& exported) const { return exported.routine; }
    std::string operator()(const reports::AlsoExported& exported) const { return exported.name; }
    std::string operator()(const reports::Shown& shown) const { return shown.listing; }
    std::string operator()(const reports::Finished& finished) const
    {
        return Writer{}.number(finished.partsFollow).number(finished.next).text({});
    }
    std::string operator()(const reports::Shows& shows) const { return shows.text; }
    std::string operator()(const reports::NoRoom& noRoom) const
    {
        return Writer{}.number(static_cast<uint64_t>(noRoom.error)).number(noRoom.held).text(noRoom.argument);
    }
    std::string operator()(const reports::Changed& changed) const
    {
        return Writer{}.number(changed.call).number(changed.index).text({});
    }
};

template <std::size_t Index>
std::optional<Report> decodeAs(std::string_view bytes)
{
    using Payload = std::variant_alternative_t<Index, Report>;
    Payload payload{};
    Reader reader(bytes);
    bool whole = false;
    if constexpr (std::is_same_v<Payload, reports::Placed>) {
        reader.number(payload.call)
            .number(payload.index)
            .number(payload.readOnly)
            .number(payload.decoy)
            .number(payload.alignment)
            .number(payload.layout)
            .number(payload.position)
            .number(payload.mapStart)
            .number(payload.mapEnd)
            .number(payload.dataStart)
            .number(payload.dataEnd);
        whole = reader.text(payload.name);
    } else if constexpr (std::is_same_v<Payload, reports::CallStarted>) {
        whole = reader.number(payload.call).atEnd();
    } else if constexpr (std::is_same_v<Payload, Finding>) {
        whole = decode(bytes, payload);
    } else if constexpr (std::is_same_v<Payload, reports::Signal>) {
        whole = reader.number(payload.signal)
                    .number(payload.access)
                    .number(payload.trap)
                    .number(payload.address)
                    .number(payload.held)
                    .atEnd();
    } else if constexpr (std::is_same_v<Payload, reports::Loaded>) {
        reader.number(payload.device).number(payload.inode);
        whole = reader.text(payload.file);
    } else if constexpr (std::is_same_v<Payload, reports::LoadFailed>) {
        whole = reader.text(payload.problem);
    } else if constexpr (std::is_same_v<Payload, reports::Exported>) {
        whole = reader.text(payload.routine);
    } else if constexpr (std::is_same_v<Payload, reports::AlsoExported>) {
        whole = reader.text(payload.name);
    } else if constexpr (std::is_same_v<Payload, reports::Shown>) {
        whole = reader.text(payload.listing);
    } else if constexpr (std::is_same_v<Payload, reports::Finished>) {
        whole = reader.number(payload.partsFollow).number(payload.next).atEnd();
    } else if constexpr (std::is_same_v<Payload, reports::Shows>) {
        whole = reader.text(payload.text);
    } else if constexpr (std::is_same_v<Payload, reports::NoRoom>) {
        reader.number(payload.error).number(payload.held);
        whole = reader.text(payload.argument);
    } else if constexpr (std::is_same_v<Payload, reports::Changed>) {
        whole = reader.number(payload.call).number(payload.index).atEnd();
    }
    if (!whole)
        return std::nullopt;
    return Report{std::in_place_index<Index>, std::move(payload)};
}

template <std::size_t... Indices>
std::optional<Report> decodeKind(MessageKind kind, std::string_view bytes, std::index_sequence<Indices...>)
{
    std::optional<Report> report;
    ((kind == Indices ? (void)(report = decodeAs<Indices>(bytes)) : (void)0), ...);
    return report;
}

} // namespace

std::string encode(const Report& report)
{
    return std::visit(Encoding{}, report);
}

std::optional<Report> decode(MessageKind kind, std::string_view bytes)
{
    return decodeKind(kind, bytes, std::make_index_sequence<std::variant_size_v<Report>>{});
}

Message signalMessage(const reports::Signal& signal, int32_t sender)
{
    Message message;
    std::memset(&message, 0, sizeof message);
    message.kind = messageKindOf<reports::Signal>();
    message.sender = sender;
    const uint64_t numbers[] = {static_cast<uint64_t>(signal.signal), static_cast<uint64_t>(signal.access),
                                static_cast<uint64_t>(signal.trap), signal.address, signal.held};
    static_assert(sizeof numbers <= sizeof message.bytes);
    std::memcpy(message.bytes, numbers, sizeof numbers);
    message.length = sizeof numbers;
    return message;
}

ReportChannel::ReportChannel(int descriptor) : descriptor_(descriptor)
{
    struct stat pipe;
    if (fstat(descriptor_, &pipe) == 0) {
        device_ = pipe.st_dev;
        inode_ = pipe.st_ino;
    }
}

void ReportChannel::write(const Message& message) const
{
    // A routine may have closed the channel, or opened another file under its number.
    struct stat now;
    if (fstat(descriptor_, &now) != 0 || now.st_dev != device_ || now.st_ino != inode_)
        _exit(channelClosedStatus);
    // One write: the parent reads whole messages or none.
    while (::write(descriptor_, &message, sizeof message) < 0 && errno == EINTR) {}
}

void ReportChannel::send(const Report& report) const
{
    if (std::holds_alternative<Finding>(report))
        ++findingsSent_;
    const std::string bytes = encode(report);
    Message part;
    std::memset(&part, 0, sizeof part);
    part.kind = static_cast<MessageKind>(report.index());
    part.sender = static_cast<int32_t>(getpid());
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(bytes.size() - at, sizeof part.bytes);
        std::memset(part.bytes, 0, sizeof part.bytes);
        std::memcpy(part.bytes, bytes.data() + at, length);
        part.length = static_cast<uint32_t>(length);
        at += length;
        part.continues = at < bytes.size() ? 1 : 0;
        write(part);
    } while (at < bytes.size());
}
