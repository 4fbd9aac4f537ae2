#include "report_channel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t textRoom = sizeof(Message::text);

void copyText(Message& message, std::string_view text)
{
    const std::size_t length = std::min(text.size(), textRoom);
    std::memset(message.text, 0, sizeof message.text);
    std::memcpy(message.text, text.data(), length);
    message.length = static_cast<uint32_t>(length);
}

} // namespace

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

void ReportChannel::send(const Message& message, std::string_view text) const
{
    Message part = message;
    part.sender = static_cast<int32_t>(getpid());
    if (message.kind == MessageKind::Finding)
        ++findingsSent_;
    if (text.empty()) {
        write(part);
        return;
    }
    for (std::size_t at = 0; at < text.size(); at += textRoom) {
        copyText(part, text.substr(at));
        const bool more = text.size() - at > textRoom;
        part.flags = more ? (message.flags | textContinues) : (message.flags & ~textContinues);
        write(part);
    }
}

void ReportChannel::send(MessageKind kind, std::string_view text) const
{
    Message message{};
    message.kind = kind;
    send(message, text);
}

void ReportChannel::send(const Finding& finding) const
{
    send(MessageKind::Finding, encode(finding));
}
