#include "teaching_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace {

// ---- Reading recorded bytes ----------------------------------------------------------------

template <typename T> T valueAt(const RecordedRegion& region, std::size_t offset)
{
    T value;
    std::memcpy(&value, region.bytes + offset, sizeof value);
    return value;
}

const void* addressAt(const RecordedRegion& region, std::size_t offset)
{
    return valueAt<const void*>(region, offset);
}

// "01 00 10 08", with a second space after the eighth byte.
std::string hexBytes(const unsigned char* bytes, std::size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += i == 8 ? "  " : " ";
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

// The shortest decimal text that reads back as the same number: 5, 25, 0.1.
template <typename Real> std::string realText(Real value)
{
    char text[32];
    const auto end = std::to_chars(std::begin(text), std::end(text), value).ptr;
    return std::string(text, end);
}

std::string hex16(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
    return text;
}

std::string kindName(VARTYPE kind)
{
    std::string name;
    if (kind & VT_BYREF)
        name += "VT_BYREF | ";
    if (kind & VT_ARRAY)
        name += "VT_ARRAY | ";
    switch (kind & 0x0FFF) {
    case VT_EMPTY:
        name += "VT_EMPTY";
        break;
    case VT_I2:
        name += "VT_I2";
        break;
    case VT_I4:
        name += "VT_I4";
        break;
    case VT_R4:
        name += "VT_R4";
        break;
    case VT_R8:
        name += "VT_R8";
        break;
    case VT_BSTR:
        name += "VT_BSTR";
        break;
    case VT_ERROR:
        name += "VT_ERROR";
        break;
    case VT_BOOL:
        name += "VT_BOOL";
        break;
    case VT_VARIANT:
        name += "VT_VARIANT";
        break;
    default:
        name += "kind " + std::to_string(kind & 0x0FFF);
        break;
    }
    return name;
}

// What a VARIANT's payload holds, when it holds a value rather than an address.
std::optional<std::string> payloadValue(VARTYPE kind, const RecordedRegion& region, std::size_t payload)
{
    switch (kind) {
    case VT_EMPTY:
        return std::string();
    case VT_I2:
        return std::to_string(valueAt<int16_t>(region, payload));
    case VT_I4:
        return std::to_string(valueAt<int32_t>(region, payload));
    case VT_R4:
        return realText(valueAt<float>(region, payload));
    case VT_R8:
        return realText(valueAt<double>(region, payload));
    case VT_BOOL:
        return std::to_string(valueAt<int16_t>(region, payload));
    case VT_ERROR:
        return std::to_string(valueAt<int32_t>(region, payload));
    default:
        return std::nullopt; // an address: text, array or reference
    }
}

// The register that carries a routine's result of a real kind, and its arguments.
#if defined(__x86_64__) && !defined(_WIN32)
const char* const realResultRegister = "xmm0";
const char* const argumentRegisters[] = {"rdi", "rsi", "rdx", "rcx", "r8", "r9"};
#elif defined(__aarch64__)
const char* const realResultRegister = "s0";
const char* const argumentRegisters[] = {"x0", "x1", "x2", "x3", "x4", "x5"};
#else
const char* const realResultRegister = "a register";
const char* const argumentRegisters[] = {"1st", "2nd", "3rd", "4th", "5th", "6th"};
#endif

// ---- Fields: one line of a listing, one row of a picture -----------------------------------

struct Field {
    std::size_t offset;
    std::size_t size;
    std::string name; // "dimensions", "x(1)", "value"
    std::string value; // as the picture shows it: "1", "0x0810", "VT_I2 2"
    std::string note; // as the listing explains it: "dimensions: 1"
    bool holdsAddress = false;
    bool isPadding = false;
    const void* address = nullptr;
};

// A recorded region with the caller's name for it.
struct NamedRegion {
    const RecordedRegion* recorded;
    const RegionName* naming;
    std::vector<Field> fields;
};

std::string elementName(const RegionName& naming, std::size_t element)
{
    return naming.arrayName + "(" + std::to_string(naming.firstIndex + static_cast<long>(element)) + ")";
}

// "nTemporary", or "x(1) to x(10)" for elements.
std::string regionTitle(const NamedRegion& region)
{
    if (region.recorded->layout != REGION_VARIANTS || !region.naming->name.empty())
        return region.naming->name;
    const std::size_t count = region.recorded->size / sizeof(VARIANT);
    return elementName(*region.naming, 0) + " to " + elementName(*region.naming, count - 1);
}

// The region's kind as a routine declares it: "int16_t", "VARIANT[10]".
std::string cTypeOf(const RecordedRegion& region)
{
    switch (region.layout) {
    case REGION_INT16:
        return "int16_t";
    case REGION_INT32:
        return "int32_t";
    case REGION_REAL32:
        return "float";
    case REGION_REAL64:
        return "double";
    case REGION_TEXT:
        return "char[" + std::to_string(region.size) + "]";
    case REGION_ADDRESS:
        return "SAFEARRAY *";
    case REGION_VARIANT:
        return "VARIANT";
    case REGION_DESCRIPTOR:
        return "SAFEARRAY";
    case REGION_VARIANTS:
        return "VARIANT[" + std::to_string(region.size / sizeof(VARIANT)) + "]";
    }
    return "?";
}

Field addressField(std::size_t offset, std::string name, const RecordedRegion& region)
{
    Field field {offset, sizeof(void*), std::move(name), "", "", true};
    field.address = addressAt(region, offset);
    field.note = field.name;
    return field;
}

Field numberField(std::size_t offset, std::size_t size, std::string name, std::string value, std::string note = {})
{
    Field field {offset, size, std::move(name), std::move(value), std::move(note)};
    if (field.note.empty())
        field.note = field.name + ": " + field.value;
    return field;
}

void addVariantFields(std::vector<Field>& fields, const RecordedRegion& region)
{
    const auto kind = valueAt<VARTYPE>(region, offsetof(VARIANT, kind));
    fields.push_back(numberField(offsetof(VARIANT, kind), sizeof(VARTYPE), "kind", hex16(kind),
        "kind: " + hex16(kind) + " = " + kindName(kind)));
    const auto* reserved = region.bytes + offsetof(VARIANT, reserved);
    const bool reservedIsZero
        = std::all_of(reserved, reserved + sizeof(VARIANT::reserved), [](auto b) { return b == 0; });
    fields.push_back(numberField(offsetof(VARIANT, reserved), sizeof(VARIANT::reserved), "reserved",
        reservedIsZero ? "0" : "", reservedIsZero ? "reserved: 0" : "reserved"));
    constexpr std::size_t payload = offsetof(VARIANT, value);
    if (auto value = payloadValue(kind, region, payload)) {
        fields.push_back(numberField(payload, sizeof(VARIANT::value), "value", *value));
        return;
    }
    fields.push_back(addressField(payload, "value", region));
    fields.back().note = "value: an address (" + kindName(kind) + ")";
    if (sizeof(void*) < sizeof(VARIANT::value))
        fields.push_back(numberField(
            payload + sizeof(void*), sizeof(VARIANT::value) - sizeof(void*), "(unused)", "", "unused by an address"));
}

void addDescriptorFields(std::vector<Field>& fields, const RecordedRegion& region)
{
    const auto features = valueAt<uint16_t>(region, offsetof(SAFEARRAY, features));
    std::string featureNames;
    if (features & SAFEARRAY_FIXED_SIZE)
        featureNames += "SAFEARRAY_FIXED_SIZE";
    if (features & SAFEARRAY_OF_VARIANTS)
        featureNames += std::string(featureNames.empty() ? "" : " | ") + "SAFEARRAY_OF_VARIANTS";
    fields.push_back(numberField(offsetof(SAFEARRAY, dimensions), 2, "dimensions",
        std::to_string(valueAt<uint16_t>(region, offsetof(SAFEARRAY, dimensions)))));
    fields.push_back(numberField(offsetof(SAFEARRAY, features), 2, "features", hex16(features),
        "features: " + hex16(features) + " = " + featureNames));
    fields.push_back(numberField(offsetof(SAFEARRAY, elementSize), 4, "elementSize",
        std::to_string(valueAt<uint32_t>(region, offsetof(SAFEARRAY, elementSize)))));
    fields.push_back(numberField(
        offsetof(SAFEARRAY, locks), 4, "locks", std::to_string(valueAt<uint32_t>(region, offsetof(SAFEARRAY, locks)))));
    // On a 64-bit build the data pointer is 8-aligned, which leaves 4 bytes unused before it.
    const std::size_t afterLocks = offsetof(SAFEARRAY, locks) + sizeof(SAFEARRAY::locks);
    if (offsetof(SAFEARRAY, data) > afterLocks) {
        Field padding {afterLocks, offsetof(SAFEARRAY, data) - afterLocks, "(padding)", "", ""};
        padding.isPadding = true;
        padding.note = "padding: the data pointer starts 8-aligned";
        fields.push_back(padding);
    }
    fields.push_back(addressField(offsetof(SAFEARRAY, data), "data", region));
    const std::size_t bound = offsetof(SAFEARRAY, bounds);
    fields.push_back(numberField(bound + offsetof(SAFEARRAYBOUND, elementCount), 4, "bounds[0].elementCount",
        std::to_string(valueAt<uint32_t>(region, bound + offsetof(SAFEARRAYBOUND, elementCount)))));
    fields.push_back(numberField(bound + offsetof(SAFEARRAYBOUND, lowerBound), 4, "bounds[0].lowerBound",
        std::to_string(valueAt<int32_t>(region, bound + offsetof(SAFEARRAYBOUND, lowerBound)))));
}

void addElementFields(std::vector<Field>& fields, const RecordedRegion& region, const RegionName& naming)
{
    for (std::size_t element = 0; element * sizeof(VARIANT) < region.size; ++element) {
        const std::size_t offset = element * sizeof(VARIANT);
        const auto kind = valueAt<VARTYPE>(region, offset);
        const std::string name = elementName(naming, element);
        if (auto value = payloadValue(kind, region, offset + offsetof(VARIANT, value))) {
            const std::string shown = kindName(kind) + (value->empty() ? "" : " " + *value);
            fields.push_back(numberField(offset, sizeof(VARIANT), name, shown,
                name + ": " + kindName(kind) + (value->empty() ? "" : ", " + *value)));
        } else {
            // An element that holds an address shows its kind and names where it points.
            fields.push_back(addressField(offset, name, region));
            fields.back().size = sizeof(VARIANT);
            fields.back().address = addressAt(region, offset + offsetof(VARIANT, value));
            fields.back().note = name + ": " + kindName(kind);
        }
    }
}

std::vector<Field> fieldsOf(const RecordedRegion& region, const RegionName& naming)
{
    std::vector<Field> fields;
    switch (region.layout) {
    case REGION_INT16:
        fields.push_back(numberField(0, 2, "value", std::to_string(valueAt<int16_t>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 16-bit integer";
        break;
    case REGION_INT32:
        fields.push_back(numberField(0, 4, "value", std::to_string(valueAt<int32_t>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 32-bit integer";
        break;
    case REGION_REAL32:
        fields.push_back(numberField(0, 4, "value", realText(valueAt<float>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 32-bit real";
        break;
    case REGION_REAL64:
        fields.push_back(numberField(0, 8, "value", realText(valueAt<double>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 64-bit real";
        break;
    case REGION_ADDRESS:
        fields.push_back(addressField(0, "address", region));
        fields.back().note = "the address of the array's descriptor";
        break;
    case REGION_VARIANT:
        addVariantFields(fields, region);
        break;
    case REGION_DESCRIPTOR:
        addDescriptorFields(fields, region);
        break;
    case REGION_VARIANTS:
        addElementFields(fields, region, naming);
        break;
    case REGION_TEXT:
        // Sixteen characters a line.
        for (std::size_t offset = 0; offset < region.size; offset += 16) {
            const std::size_t count = std::min<std::size_t>(16, region.size - offset);
            std::string characters;
            bool terminated = false;
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char byte = region.bytes[offset + i];
                if (byte == 0 && offset + i == region.size - 1)
                    terminated = true;
                else if (byte >= 0x20 && byte < 0x7F)
                    characters += static_cast<char>(byte);
                else
                    characters += "\\x" + hexBytes(&byte, 1);
            }
            std::string note = characters.empty() ? "" : "\"" + characters + "\"";
            if (terminated)
                note += characters.empty() ? "the terminating zero" : " and the terminating zero";
            fields.push_back(numberField(offset, count, "", "", note));
        }
        break;
    }
    return fields;
}

// ---- Where an address points -------------------------------------------------------------------

struct Target {
    std::size_t region;
    std::size_t offset;
};

std::optional<Target> targetOf(const void* address, const std::vector<NamedRegion>& regions)
{
    const auto* wanted = static_cast<const unsigned char*>(address);
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const auto* start = static_cast<const unsigned char*>(regions[i].recorded->address);
        if (start && std::less_equal<>()(start, wanted) && std::less<>()(wanted, start + regions[i].recorded->size))
            return Target {i, static_cast<std::size_t>(wanted - start)};
    }
    return std::nullopt;
}

// "<address of x's descriptor>", "<address of x(1)>".
std::string placeholderFor(const void* address, const std::vector<NamedRegion>& regions)
{
    const auto target = targetOf(address, regions);
    if (!target)
        return "<an address outside the recorded storage>";
    const NamedRegion& region = regions[target->region];
    if (region.recorded->layout == REGION_VARIANTS && target->offset % sizeof(VARIANT) == 0)
        return "<address of " + elementName(*region.naming, target->offset / sizeof(VARIANT)) + ">";
    if (target->offset == 0)
        return "<address of " + regionTitle(region) + ">";
    return "<address of " + regionTitle(region) + " + " + std::to_string(target->offset) + ">";
}

std::vector<NamedRegion> namedRegions(const RecordedCall& call, const Recording& recording)
{
    std::vector<NamedRegion> regions;
    const std::size_t count = std::min<std::size_t>(
        {static_cast<std::size_t>(std::max(recording.regionCount, 0)), call.regions.size(), RECORDING_REGIONS});
    for (std::size_t i = 0; i < count; ++i)
        regions.push_back({&recording.regions[i], &call.regions[i], fieldsOf(recording.regions[i], call.regions[i])});
    return regions;
}

std::string callText(const RecordedCall& call)
{
    std::string text = call.routine + "(";
    for (std::size_t i = 0; i < call.parameters.size(); ++i)
        text += (i ? ", " : "") + call.parameters[i];
    return text + ")";
}

// ---- The picture ---------------------------------------------------------------------------------

// Drawn in a monospace font of 12 pixels, whose characters are about 7.3 pixels wide.
constexpr double characterWidth = 7.3;
constexpr double smallCharacterWidth = 6.1; // at 10 pixels
constexpr int titleHeight = 18;
constexpr int headerHeight = 16;
constexpr int rowHeight = 18;
constexpr int cellWidth = 18; // one byte of a text
constexpr int stripHeight = 32;
constexpr int columnGap = 72;
constexpr int boxGap = 24;
constexpr int margin = 16;
constexpr int top = 44;

const char* const callFill = "#fff3cd";
const char* const callerFill = "#e3eefb";
const char* const descriptorFill = "#e3f3e1";
const char* const elementsFill = "#efefef";
const char* const resultFill = "#fbe4e4";

int textWidth(const std::string& text, double width = characterWidth)
{
    // Every character counts once, however many bytes it takes.
    const auto characters = std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
    return static_cast<int>(std::ceil(characters * width));
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

struct Box {
    std::string title;
    std::string fill;
    int column = 0;
    // A table: column headers and rows of cells; a row may hold an address.
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::optional<Target>> pointsTo; // per row: the box and the offset it points at
    std::vector<std::size_t> rowOffsets; // per row: its offset, to aim arrows at
    // A strip of bytes: the character above, the byte below.
    bool strip = false;
    std::vector<std::string> characters, bytes;
    // Placed.
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<int> columnWidths;
};

void measure(Box& box)
{
    if (box.strip) {
        box.width = std::max<int>(textWidth(box.title) + 4, static_cast<int>(box.characters.size()) * cellWidth);
        box.height = titleHeight + stripHeight + 14;
        return;
    }
    const std::size_t columns = box.headers.size();
    box.columnWidths.assign(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        box.columnWidths[c] = textWidth(box.headers[c], smallCharacterWidth);
        for (const auto& row : box.rows)
            box.columnWidths[c] = std::max(box.columnWidths[c], textWidth(row[c]));
    }
    const bool holdsAddress
        = std::any_of(box.pointsTo.begin(), box.pointsTo.end(), [](auto& p) { return p.has_value(); });
    int width = 12 + (holdsAddress ? 14 : 0);
    for (std::size_t c = 0; c < columns; ++c)
        width += box.columnWidths[c] + (c + 1 < columns ? 14 : 0);
    box.width = std::max(width, textWidth(box.title) + 4);
    box.height = titleHeight + headerHeight + static_cast<int>(box.rows.size()) * rowHeight;
}

int rowMiddle(const Box& box, std::size_t row)
{
    return box.y + titleHeight + headerHeight + static_cast<int>(row) * rowHeight + rowHeight / 2;
}

// Where an arrow to `offset` in a box ends: the row that starts there, or else the box's top.
// An arrow that comes round the right side ends at the top as well when the row holds an
// address of its own, whose arrow leaves from there.
int arrowEndY(const Box& box, std::size_t offset, bool fromTheRight)
{
    if (box.strip)
        return box.y + titleHeight + stripHeight / 2;
    for (std::size_t r = 0; r < box.rowOffsets.size(); ++r)
        if (box.rowOffsets[r] == offset && !(fromTheRight && box.pointsTo[r]))
            return rowMiddle(box, r);
    return box.y + titleHeight + headerHeight / 2;
}

void drawBox(std::ostringstream& svg, const Box& box)
{
    svg << "  <text x=\"" << box.x << "\" y=\"" << box.y + 13 << "\" font-weight=\"bold\">" << escaped(box.title)
        << "</text>\n";
    const int bodyTop = box.y + titleHeight;
    if (box.strip) {
        for (std::size_t i = 0; i < box.characters.size(); ++i) {
            const int x = box.x + static_cast<int>(i) * cellWidth;
            svg << "  <rect x=\"" << x << "\" y=\"" << bodyTop << "\" width=\"" << cellWidth << "\" height=\""
                << stripHeight << "\" fill=\"" << box.fill << "\" stroke=\"#555\"/>\n";
            svg << "  <text x=\"" << x + cellWidth / 2 << "\" y=\"" << bodyTop + 14 << "\" text-anchor=\"middle\">"
                << escaped(box.characters[i]) << "</text>\n";
            svg << "  <text x=\"" << x + cellWidth / 2 << "\" y=\"" << bodyTop + 27
                << "\" text-anchor=\"middle\" font-size=\"9\" fill=\"#666\">" << box.bytes[i] << "</text>\n";
        }
        const int last = static_cast<int>(box.characters.size()) - 1;
        svg << "  <text x=\"" << box.x << "\" y=\"" << bodyTop + stripHeight + 11
            << "\" font-size=\"10\" fill=\"#666\">+0</text>\n";
        svg << "  <text x=\"" << box.x + last * cellWidth + cellWidth << "\" y=\"" << bodyTop + stripHeight + 11
            << "\" font-size=\"10\" fill=\"#666\" text-anchor=\"end\">+" << last << "</text>\n";
        return;
    }
    svg << "  <rect x=\"" << box.x << "\" y=\"" << bodyTop << "\" width=\"" << box.width << "\" height=\""
        << box.height - titleHeight << "\" fill=\"" << box.fill << "\" stroke=\"#555\"/>\n";
    std::vector<int> columnX;
    int x = box.x + 6;
    for (int width : box.columnWidths) {
        columnX.push_back(x);
        x += width + 14;
    }
    for (std::size_t c = 0; c < box.headers.size(); ++c)
        svg << "  <text x=\"" << columnX[c] << "\" y=\"" << bodyTop + 12 << "\" font-size=\"10\" fill=\"#666\">"
            << escaped(box.headers[c]) << "</text>\n";
    for (std::size_t r = 0; r < box.rows.size(); ++r) {
        const int rowTop = bodyTop + headerHeight + static_cast<int>(r) * rowHeight;
        svg << "  <line x1=\"" << box.x << "\" y1=\"" << rowTop << "\" x2=\"" << box.x + box.width << "\" y2=\""
            << rowTop << "\" stroke=\"#bbb\"/>\n";
        for (std::size_t c = 0; c < box.rows[r].size(); ++c)
            if (!box.rows[r][c].empty())
                svg << "  <text x=\"" << columnX[c] << "\" y=\"" << rowTop + 13 << "\">" << escaped(box.rows[r][c])
                    << "</text>\n";
        if (box.pointsTo[r])
            svg << "  <circle cx=\"" << box.x + box.width - 9 << "\" cy=\"" << rowTop + rowHeight / 2
                << "\" r=\"3\"/>\n";
    }
}

void drawArrow(std::ostringstream& svg, const Box& from, std::size_t row, const Box& to, std::size_t offset)
{
    const int x1 = from.x + from.width - 9;
    const int y1 = rowMiddle(from, row);
    const bool toTheRight = to.x > from.x + from.width;
    const int y2 = arrowEndY(to, offset, !toTheRight);
    svg << "  <path d=\"M" << x1 << "," << y1;
    if (toTheRight) {
        // To a box further right: into its left side.
        const int x2 = to.x - 1;
        const int bend = std::max(24, (x2 - x1) / 2);
        svg << " C" << x1 + bend << "," << y1 << " " << x2 - bend << "," << y2 << " " << x2 << "," << y2;
    } else {
        // To a box in the same column: round the right side, into the box's right side.
        const int x2 = to.x + to.width + 1;
        const int loop = std::max(from.x + from.width, to.x + to.width) + 40;
        svg << " C" << loop << "," << y1 << " " << loop << "," << y2 << " " << x2 << "," << y2;
    }
    svg << "\" fill=\"none\" stroke=\"#333\" stroke-width=\"1.3\" marker-end=\"url(#head)\"/>\n";
}

} // namespace

// ---- The listing ---------------------------------------------------------------------------------

std::string listingOf(const RecordedCall& call, const Recording& recording)
{
    const std::vector<NamedRegion> regions = namedRegions(call, recording);
    std::ostringstream out;
    out << callText(call) << ", called by " << call.calledBy << "\n";
    for (const UnrecordedParameter& parameter : call.unrecorded)
        out << "\n" << parameter.parameter << " → " << parameter.name << ": not recorded; " << parameter.why << "\n";
    for (const NamedRegion& region : regions) {
        const RecordedRegion& recorded = *region.recorded;
        out << "\n";
        out << (recorded.address ? std::string(recorded.reachedThrough)
                                 : "returned in " + std::string(realResultRegister))
            << " → " << regionTitle(region) << ": " << cTypeOf(recorded) << ", " << recorded.size << " bytes\n";
        for (const Field& field : region.fields) {
            // Padding belongs to no field: whatever it holds, a routine never reads it.
            std::string shown;
            if (field.isPadding)
                for (std::size_t i = 0; i < field.size; ++i)
                    shown += i ? " --" : "--";
            else if (field.holdsAddress && field.size == sizeof(void*))
                shown = placeholderFor(field.address, regions);
            else if (field.holdsAddress)
                shown = hexBytes(recorded.bytes + field.offset, offsetof(VARIANT, value)) + "  "
                    + placeholderFor(field.address, regions);
            else
                shown = hexBytes(recorded.bytes + field.offset, field.size);
            std::string line = "+" + std::to_string(field.offset);
            line.resize(std::max<std::size_t>(line.size() + 1, 6), ' ');
            line += shown;
            line.resize(std::max<std::size_t>(line.size() + 2, 56), ' ');
            line += field.note;
            out << line << "\n";
        }
    }
    return out.str();
}

// ---- The picture ---------------------------------------------------------------------------------

std::string pictureOf(const RecordedCall& call, const Recording& recording)
{
    const std::vector<NamedRegion> regions = namedRegions(call, recording);
    std::vector<Box> boxes;

    // The call: one row per parameter, the register that carries it, an arrow to its storage.
    Box callBox;
    callBox.title = callText(call);
    callBox.fill = callFill;
    callBox.headers = call.argumentsInRegisters ? std::vector<std::string> {"parameter", "in", ""}
                                                : std::vector<std::string> {"parameter", ""};
    for (std::size_t p = 0; p < call.parameters.size(); ++p) {
        const std::string& parameter = call.parameters[p];
        std::vector<std::string> row {parameter};
        if (call.argumentsInRegisters)
            row.push_back(p < std::size(argumentRegisters) ? argumentRegisters[p] : "stack");
        std::optional<Target> target;
        for (std::size_t r = 0; r < regions.size(); ++r)
            if (parameter == regions[r].recorded->reachedThrough)
                target = Target {r + 1, 0}; // box 0 is the call itself
        row.push_back(target ? "" : "not recorded");
        callBox.rows.push_back(row);
        callBox.pointsTo.push_back(target);
        callBox.rowOffsets.push_back(0);
    }
    boxes.push_back(callBox);

    for (const NamedRegion& region : regions) {
        const RecordedRegion& recorded = *region.recorded;
        Box box;
        box.column = region.naming->column;
        box.title = regionTitle(region) + " · " + cTypeOf(recorded) + ", " + std::to_string(recorded.size) + " bytes";
        if (!recorded.address)
            box.title += ", returned in " + std::string(realResultRegister);
        switch (recorded.layout) {
        case REGION_VARIANT:
        case REGION_DESCRIPTOR:
            box.fill = descriptorFill;
            break;
        case REGION_VARIANTS:
            box.fill = elementsFill;
            break;
        default:
            box.fill = recorded.address ? callerFill : resultFill;
            break;
        }
        if (recorded.layout == REGION_TEXT) {
            box.strip = true;
            for (std::size_t i = 0; i < recorded.size; ++i) {
                const unsigned char byte = recorded.bytes[i];
                box.characters.push_back(byte == 0   ? "\\0"
                        : byte > 0x20 && byte < 0x7F ? std::string(1, char(byte))
                                                     : "");
                box.bytes.push_back(hexBytes(&byte, 1));
            }
        } else {
            box.headers = {"at", "size", "field", "value"};
            for (const Field& field : region.fields) {
                box.rows.push_back({"+" + std::to_string(field.offset), std::to_string(field.size), field.name,
                    field.holdsAddress ? "" : field.value});
                box.pointsTo.push_back(field.holdsAddress ? targetOf(field.address, regions) : std::nullopt);
                if (box.pointsTo.back())
                    ++box.pointsTo.back()->region; // box 0 is the call
                box.rowOffsets.push_back(field.offset);
            }
        }
        boxes.push_back(box);
    }

    // Columns side by side, boxes stacked in each.
    for (Box& box : boxes)
        measure(box);
    const int columns = 1
        + std::max_element(boxes.begin(), boxes.end(), [](auto& a, auto& b) { return a.column < b.column; })->column;
    std::vector<int> columnX(columns, margin), columnWidth(columns, 0), columnY(columns, top);
    for (const Box& box : boxes)
        columnWidth[box.column] = std::max(columnWidth[box.column], box.width);
    for (int c = 1; c < columns; ++c)
        columnX[c] = columnX[c - 1] + columnWidth[c - 1] + columnGap;
    int width = 0, height = 0;
    for (Box& box : boxes) {
        box.x = columnX[box.column];
        box.y = columnY[box.column];
        columnY[box.column] += box.height + boxGap;
        width = std::max(width, box.x + box.width + 56);
        height = std::max(height, box.y + box.height);
    }
    const std::string note = "Offsets and sizes in bytes, as recorded on a " + std::to_string(8 * sizeof(void*))
        + "-bit build. Each arrow is an address; each dot, where it is held.";
    const std::pair<const char*, const char*> legend[] = {
        {callFill, "the call: the addresses passed"},
        {callerFill, "a variable, temporary or copy"},
        {descriptorFill, "a tagged value or descriptor"},
        {elementsFill, "array elements"},
        {resultFill, "the result"},
    };
    width = std::max(width, 2 * margin + textWidth(note, smallCharacterWidth));
    height += 52;

    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << " " << height
        << "\" font-family=\"DejaVu Sans Mono, Menlo, Consolas, monospace\" font-size=\"12\">\n";
    svg << "  <title>" << escaped(call.calledBy + ": the memory at the call of " + call.routine) << "</title>\n";
    svg << "  <defs><marker id=\"head\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"7\" "
           "markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\"#333\"/></marker></defs>\n";
    svg << "  <rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    svg << "  <text x=\"" << margin << "\" y=\"22\" font-size=\"13\" font-weight=\"bold\">"
        << escaped(call.calledBy + ": the memory at the call of " + call.routine) << "</text>\n";
    for (const Box& box : boxes)
        drawBox(svg, box);
    for (const Box& box : boxes)
        for (std::size_t r = 0; r < box.pointsTo.size(); ++r)
            if (box.pointsTo[r])
                drawArrow(svg, box, r, boxes[box.pointsTo[r]->region], box.pointsTo[r]->offset);
    int legendX = margin;
    for (const auto& [fill, meaning] : legend) {
        if (std::none_of(boxes.begin(), boxes.end(), [&](const Box& box) { return box.fill == fill; }))
            continue;
        svg << "  <rect x=\"" << legendX << "\" y=\"" << height - 38 << "\" width=\"10\" height=\"10\" fill=\"" << fill
            << "\" stroke=\"#555\"/>\n";
        svg << "  <text x=\"" << legendX + 14 << "\" y=\"" << height - 29 << "\" font-size=\"10\" fill=\"#666\">"
            << escaped(meaning) << "</text>\n";
        legendX += 14 + textWidth(meaning, smallCharacterWidth) + 18;
    }
    svg << "  <text x=\"" << margin << "\" y=\"" << height - 12 << "\" font-size=\"10\" fill=\"#666\">" << escaped(note)
        << "</text>\n";
    svg << "</svg>\n";
    return svg.str();
}

// ---- The pages -----------------------------------------------------------------------------------

std::filesystem::path pagesFolder()
{
    return TEACHING_PAGES_FOLDER;
}

std::filesystem::path projectRoot()
{
    return PROJECT_ROOT;
}

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

void writeFile(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    EXPECT_TRUE(out.good()) << "cannot write " << file;
}

bool updating()
{
    const char* value = std::getenv("UPDATE_TEACHING_PAGES");
    return value && *value && std::string(value) != "0";
}

const char* const howToUpdate
    = "\nThe pages show what the programs pass; if the change is meant, rewrite them from the recording "
      "with `cmake --build <build folder> --target update_teaching_pages` and review the difference.";

// The first line where two texts differ, for a message that points at it.
std::string firstDifference(const std::string& expected, const std::string& found)
{
    std::istringstream a(expected), b(found);
    std::string lineA, lineB;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB)
            return "they differ only in line ends";
        if (!moreA || !moreB || lineA != lineB)
            return "line " + std::to_string(line) + " of it:\n  recorded: " + (moreA ? lineA : "(nothing)")
                + "\n  page:     " + (moreB ? lineB : "(nothing)");
    }
}

// A marker line: `<!-- kind: argument -->` opens a section, `<!-- end kind -->` closes it.
struct Marker {
    bool opens;
    std::string kind;
    std::string argument;
};

std::optional<Marker> markerIn(const std::string& line)
{
    const std::string start = "<!-- ", end = " -->";
    if (line.size() <= start.size() + end.size() || !line.starts_with(start) || !line.ends_with(end))
        return std::nullopt;
    const std::string inside = line.substr(start.size(), line.size() - start.size() - end.size());
    if (inside.starts_with("end "))
        return Marker {false, inside.substr(4), ""};
    const auto colon = inside.find(": ");
    if (colon == std::string::npos)
        return std::nullopt;
    return Marker {true, inside.substr(0, colon), inside.substr(colon + 2)};
}

bool opens(const std::string& line, const std::string& kind)
{
    const auto marker = markerIn(line);
    return marker && marker->opens && marker->kind == kind;
}

bool closes(const std::string& line, const std::string& kind)
{
    const auto marker = markerIn(line);
    return marker && !marker->opens && marker->kind == kind;
}

// The page with every section of `kind` for `argument` holding `body`.
std::string withSections(
    const std::string& page, const std::string& kind, const std::string& argument, const std::string& body)
{
    std::string out;
    bool replacing = false;
    for (const std::string& line : linesOf(page)) {
        if (replacing) {
            if (closes(line, kind)) {
                out += body + line + "\n";
                replacing = false;
            }
            continue;
        }
        out += line + "\n";
        replacing = opens(line, kind) && markerIn(line)->argument == argument;
    }
    return out;
}

} // namespace

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}


std::vector<std::filesystem::path> numberedPages()
{
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(pagesFolder())) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".md" && !name.empty() && name[0] >= '1' && name[0] <= '9')
            pages.push_back(entry.path());
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

std::vector<PageSection> sectionsOf(const std::string& page, const std::string& kind)
{
    std::vector<PageSection> sections;
    std::optional<PageSection> open;
    int number = 0;
    for (const std::string& line : linesOf(page)) {
        ++number;
        if (open) {
            if (closes(line, kind)) {
                sections.push_back(*open);
                open.reset();
            } else {
                open->body += line + "\n";
            }
        } else if (opens(line, kind)) {
            open = PageSection {markerIn(line)->argument, "", number};
        }
    }
    EXPECT_FALSE(open) << "the section " << kind << ": " << open->argument << " at line " << open->line
                       << " is never closed by <!-- end " << kind << " -->";
    return sections;
}

std::string fencedContent(const std::string& body)
{
    const std::vector<std::string> lines = linesOf(body);
    std::string content;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line.rfind("```", 0) == 0) {
            if (inside)
                return content;
            inside = true;
            continue;
        }
        if (inside)
            content += line + "\n";
    }
    ADD_FAILURE() << "no fenced block in:\n" << body;
    return content;
}

void expectPagesShow(const RecordedCall& call, const Recording& recording)
{
#if !(defined(__x86_64__) && defined(__linux__))
    GTEST_SKIP() << "the pages show the memory of an x86-64 Linux build";
#endif
    // The record holds what the contract gives, whole.
    ASSERT_STREQ(recording.routine, call.routine.c_str()) << "the routine the window called";
    ASSERT_EQ(static_cast<std::size_t>(recording.regionCount), call.regions.size())
        << "regions recorded for " << call.id;
    for (int i = 0; i < recording.regionCount; ++i)
        ASSERT_GT(recording.regions[i].size, 0u)
            << recording.regions[i].reachedThrough << " reaches more bytes than a recording keeps";

    const std::string listing = listingOf(call, recording);
    EXPECT_EQ(listing.find("outside the recorded storage"), std::string::npos)
        << "an address in the call points at nothing the routine was given:\n"
        << listing;
    const std::string picture = pictureOf(call, recording);

    // The listing, in every section recorded for this call.
    const std::string section = "```text\n" + listing + "```\n";
    int found = 0;
    for (const auto& page : numberedPages()) {
        const std::string text = readFile(page);
        for (const PageSection& recorded : sectionsOf(text, "recorded")) {
            if (recorded.argument != call.id)
                continue;
            ++found;
            if (recorded.body == section)
                continue;
            if (updating())
                writeFile(page, withSections(text, "recorded", call.id, section));
            else
                ADD_FAILURE() << page.filename().string() << ", line " << recorded.line << ": the listing of "
                              << call.id << " is not what the program passed; "
                              << firstDifference(section, recorded.body) << howToUpdate;
        }
    }
    EXPECT_GT(found, 0) << "no page holds <!-- recorded: " << call.id << " --> ... <!-- end recorded -->";

    // The picture.
    const auto pictureFile = pagesFolder() / "pictures" / (call.id + ".svg");
    const std::string drawn = readFile(pictureFile);
    if (drawn != picture) {
        if (updating())
            writeFile(pictureFile, picture);
        else
            ADD_FAILURE() << pictureFile.filename().string() << " does not show the recorded memory; "
                          << firstDifference(picture, drawn) << howToUpdate;
    }
}
