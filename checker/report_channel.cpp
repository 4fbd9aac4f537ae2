#include "report_channel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

Message messageWithText(MessageKind kind, std::string_view text)
{
    Message message{};
    message.kind = kind;
    const std::size_t length = std::min(text.size(), sizeof message.text - 1);
    std::memcpy(message.text, text.data(), length);
    message.text[length] = '\0';
    return message;
}

void ReportChannel::send(const Message& message) const
{
    // One write: the parent reads whole messages or none.
    while (write(descriptor_, &message, sizeof message) < 0 && errno == EINTR) {}
}

void ReportChannel::send(MessageKind kind, std::string_view text) const
{
    // A sentence longer than one message goes in several, each but the last marked as going on.
    constexpr std::size_t room = sizeof Message::text - 1;
    const bool sentence = kind == MessageKind::Fault || kind == MessageKind::Note || kind == MessageKind::Shows;
    while (sentence && text.size() > room) {
        Message part = messageWithText(kind, text.substr(0, room));
        part.flags = 1;
        send(part);
        text.remove_prefix(room);
    }
    send(messageWithText(kind, text));
}
