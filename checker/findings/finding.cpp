#include "finding.h"

#include <cstring>

// A finding's bytes: its kind, its argument, its values, then its cause's kind, argument and
// values. A number is its 8 bytes; a text its length in 4 bytes, then its bytes.
namespace {

class Writer {
public:
    void number(uint64_t value) { bytes_.append(reinterpret_cast<const char*>(&value), sizeof value); }
    void text(std::string_view text)
    {
        const auto length = static_cast<uint32_t>(text.size());
        bytes_.append(reinterpret_cast<const char*>(&length), sizeof length);
        bytes_.append(text);
    }
    void argument(const Argument& argument)
    {
        text(argument.name);
        number(static_cast<uint64_t>(argument.position));
    }
    void values(const std::vector<Value>& values)
    {
        number(values.size());
        for (const Value& value : values) {
            number(value.index());
            if (const auto* whole = std::get_if<int64_t>(&value))
                number(static_cast<uint64_t>(*whole));
            else if (const auto* fraction = std::get_if<double>(&value)) {
                uint64_t bits = 0;
                std::memcpy(&bits, fraction, sizeof bits);
                number(bits);
            } else
                text(std::get<std::string>(value));
        }
    }
    std::string bytes() && { return std::move(bytes_); }

private:
    std::string bytes_;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool number(uint64_t& value) { return take(&value, sizeof value); }
    bool text(std::string& text)
    {
        uint32_t length = 0;
        if (!take(&length, sizeof length) || length > bytes_.size())
            return false;
        text.assign(bytes_.substr(0, length));
        bytes_.remove_prefix(length);
        return true;
    }
    bool argument(Argument& argument)
    {
        uint64_t position = 0;
        if (!text(argument.name) || !number(position))
            return false;
        argument.position = static_cast<int>(position);
        return true;
    }
    bool values(std::vector<Value>& values)
    {
        uint64_t count = 0;
        if (!number(count) || count > bytes_.size())
            return false;
        values.clear();
        for (uint64_t i = 0; i < count; ++i) {
            uint64_t index = 0, bits = 0;
            if (!number(index))
                return false;
            if (index == 2) {
                std::string value;
                if (!text(value))
                    return false;
                values.emplace_back(std::move(value));
                continue;
            }
            if (index > 2 || !number(bits))
                return false;
            if (index == 0) {
                values.emplace_back(static_cast<int64_t>(bits));
            } else {
                double fraction = 0;
                std::memcpy(&fraction, &bits, sizeof fraction);
                values.emplace_back(fraction);
            }
        }
        return true;
    }
    bool atEnd() const { return bytes_.empty(); }

private:
    bool take(void* into, std::size_t size)
    {
        if (bytes_.size() < size)
            return false;
        std::memcpy(into, bytes_.data(), size);
        bytes_.remove_prefix(size);
        return true;
    }
    std::string_view bytes_;
};

} // namespace

std::string encode(const Finding& finding)
{
    Writer writer;
    writer.number(static_cast<uint64_t>(finding.kind));
    writer.argument(finding.argument);
    writer.values(finding.values);
    writer.number(static_cast<uint64_t>(finding.cause.kind));
    writer.argument(finding.cause.argument);
    writer.values(finding.cause.values);
    writer.argument(finding.other);
    writer.number(static_cast<uint64_t>(finding.tally.count));
    writer.number(static_cast<uint64_t>(finding.tally.of));
    return std::move(writer).bytes();
}

bool decode(std::string_view bytes, Finding& finding)
{
    Reader reader(bytes);
    uint64_t kind = 0, causeKind = 0, count = 0, of = 0;
    if (!reader.number(kind) || kind > static_cast<uint64_t>(lastFindingKind) || !reader.argument(finding.argument) ||
        !reader.values(finding.values) || !reader.number(causeKind) ||
        causeKind > static_cast<uint64_t>(lastCauseKind) || !reader.argument(finding.cause.argument) ||
        !reader.values(finding.cause.values) || !reader.argument(finding.other) || !reader.number(count) ||
        !reader.number(of))
        return false;
    finding.kind = static_cast<FindingKind>(kind);
    finding.cause.kind = static_cast<CauseKind>(causeKind);
    finding.tally = {static_cast<int64_t>(count), static_cast<int64_t>(of)};
    return reader.atEnd();
}
