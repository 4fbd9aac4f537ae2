#include "listing.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <sstream>

namespace {

// ---- Reading the bytes ------------------------------------------------------------------------

// The value at an offset; bytes beyond the region read as zero.
template <typename T>
T valueAt(const ListedRegion& region, std::size_t offset)
{
    unsigned char bytes[sizeof(T)] = {};
    if (offset < region.bytes.size())
        std::memcpy(bytes, region.bytes.data() + offset, std::min(sizeof(T), region.bytes.size() - offset));
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

const void* addressAt(const ListedRegion& region, std::size_t offset)
{
    return valueAt<const void*>(region, offset);
}

// The shortest decimal text that reads back as the same number: 5, 25, 0.1.
template <typename Real>
std::string realText(Real value)
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
    case VT_EMPTY: name += "VT_EMPTY"; break;
    case VT_I2: name += "VT_I2"; break;
    case VT_I4: name += "VT_I4"; break;
    case VT_R4: name += "VT_R4"; break;
    case VT_R8: name += "VT_R8"; break;
    case VT_BSTR: name += "VT_BSTR"; break;
    case VT_ERROR: name += "VT_ERROR"; break;
    case VT_BOOL: name += "VT_BOOL"; break;
    case VT_VARIANT: name += "VT_VARIANT"; break;
    default: name += "kind " + std::to_string(kind & 0x0FFF); break;
    }
    return name;
}

// What a VARIANT's payload holds, when it holds a value rather than an address.
std::optional<std::string> payloadValue(VARTYPE kind, const ListedRegion& region, std::size_t payload)
{
    switch (kind) {
    case VT_EMPTY: return std::string();
    case VT_I2: return std::to_string(valueAt<int16_t>(region, payload));
    case VT_I4: return std::to_string(valueAt<int32_t>(region, payload));
    case VT_R4: return realText(valueAt<float>(region, payload));
    case VT_R8: return realText(valueAt<double>(region, payload));
    case VT_BOOL: return std::to_string(valueAt<int16_t>(region, payload));
    case VT_ERROR: return std::to_string(valueAt<int32_t>(region, payload));
    default: return std::nullopt; // an address: text, array or reference
    }
}

// ---- Fields -------------------------------------------------------------------------------------

std::string elementName(const ListedRegion& region, std::size_t element)
{
    return region.arrayName + "(" + std::to_string(region.firstIndex + static_cast<long>(element)) + ")";
}

// The bytes a kind needs for one whole value; text and elements need none in particular.
std::size_t wholeValueSize(ValueKind layout)
{
    switch (layout) {
    case VALUE_INT16: return sizeof(int16_t);
    case VALUE_INT32: return sizeof(int32_t);
    case VALUE_REAL32: return sizeof(float);
    case VALUE_REAL64: return sizeof(double);
    case VALUE_DESCRIPTOR_ADDRESS: return sizeof(void*);
    case VALUE_VARIANT: return sizeof(VARIANT);
    case VALUE_DESCRIPTOR: return sizeof(SAFEARRAY);
    case VALUE_NONE:
    case VALUE_TEXT:
    case VALUE_VARIANTS: break;
    }
    return 0;
}

ListedField addressField(std::size_t offset, std::string name, const ListedRegion& region)
{
    ListedField field{offset, sizeof(void*), std::move(name), "", "", true};
    field.address = addressAt(region, offset);
    field.note = field.name;
    return field;
}

ListedField numberField(std::size_t offset, std::size_t size, std::string name, std::string value,
                        std::string note = {})
{
    ListedField field{offset, size, std::move(name), std::move(value), std::move(note)};
    if (field.note.empty())
        field.note = field.name + ": " + field.value;
    return field;
}

// The bytes from `from` to the end, sixteen a line, each line with the same note.
void addPlainBytes(std::vector<ListedField>& fields, const ListedRegion& region, std::size_t from,
                   const std::string& note)
{
    for (std::size_t offset = from; offset < region.bytes.size(); offset += 16)
        fields.push_back(numberField(offset, std::min<std::size_t>(16, region.bytes.size() - offset), "", "", note));
}

void addVariantFields(std::vector<ListedField>& fields, const ListedRegion& region)
{
    const auto kind = valueAt<VARTYPE>(region, offsetof(VARIANT, kind));
    fields.push_back(numberField(offsetof(VARIANT, kind), sizeof(VARTYPE), "kind", hex16(kind),
                                 "kind: " + hex16(kind) + " = " + kindName(kind)));
    const auto* reserved = region.bytes.data() + offsetof(VARIANT, reserved);
    const bool reservedIsZero = std::all_of(reserved, reserved + sizeof(VARIANT::reserved),
                                            [](auto b) { return b == 0; });
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
        fields.push_back(numberField(payload + sizeof(void*), sizeof(VARIANT::value) - sizeof(void*), "(unused)", "",
                                     "unused by an address"));
}

void addDescriptorFields(std::vector<ListedField>& fields, const ListedRegion& region)
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
    fields.push_back(numberField(offsetof(SAFEARRAY, locks), 4, "locks",
                                 std::to_string(valueAt<uint32_t>(region, offsetof(SAFEARRAY, locks)))));
    // On a 64-bit build the data pointer is 8-aligned, which leaves 4 bytes unused before it.
    const std::size_t afterLocks = offsetof(SAFEARRAY, locks) + sizeof(SAFEARRAY::locks);
    if (offsetof(SAFEARRAY, data) > afterLocks) {
        ListedField padding{afterLocks, offsetof(SAFEARRAY, data) - afterLocks, "(padding)", "", ""};
        padding.isPadding = true;
        padding.note = "padding: the data pointer starts 8-aligned";
        fields.push_back(padding);
    }
    fields.push_back(addressField(offsetof(SAFEARRAY, data), "data", region));
    const std::size_t bound = offsetof(SAFEARRAY, bounds);
    fields.push_back(
        numberField(bound + offsetof(SAFEARRAYBOUND, elementCount), 4, "bounds[0].elementCount",
                    std::to_string(valueAt<uint32_t>(region, bound + offsetof(SAFEARRAYBOUND, elementCount)))));
    fields.push_back(
        numberField(bound + offsetof(SAFEARRAYBOUND, lowerBound), 4, "bounds[0].lowerBound",
                    std::to_string(valueAt<int32_t>(region, bound + offsetof(SAFEARRAYBOUND, lowerBound)))));
}

void addElementFields(std::vector<ListedField>& fields, const ListedRegion& region)
{
    std::size_t element = 0;
    for (; (element + 1) * sizeof(VARIANT) <= region.bytes.size(); ++element) {
        const std::size_t offset = element * sizeof(VARIANT);
        const auto kind = valueAt<VARTYPE>(region, offset);
        const std::string name = elementName(region, element);
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
    addPlainBytes(fields, region, element * sizeof(VARIANT), "part of an element");
}

// Sixteen characters a line.
void addTextFields(std::vector<ListedField>& fields, const ListedRegion& region)
{
    const std::size_t size = region.bytes.size();
    for (std::size_t offset = 0; offset < size; offset += 16) {
        const std::size_t count = std::min<std::size_t>(16, size - offset);
        std::string characters;
        bool terminated = false;
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char byte = region.bytes[offset + i];
            if (byte == 0 && offset + i == size - 1)
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
}

// "<address of x's descriptor>", "<address of x(1)>".
std::string placeholderFor(const void* address, const std::vector<ListedRegion>& regions)
{
    const auto place = placeOf(address, regions);
    if (!place)
        return "<an address outside the recorded storage>";
    const ListedRegion& region = regions[place->region];
    if (region.layout == VALUE_VARIANTS && place->offset % sizeof(VARIANT) == 0)
        return "<address of " + elementName(region, place->offset / sizeof(VARIANT)) + ">";
    if (place->offset == 0)
        return "<address of " + titleOf(region) + ">";
    return "<address of " + titleOf(region) + " + " + std::to_string(place->offset) + ">";
}

} // namespace

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

const char* realResultRegister()
{
#if defined(__x86_64__) && !defined(_WIN32)
    return "xmm0";
#elif defined(__aarch64__)
    return "s0";
#else
    return "a register";
#endif
}

std::string offsetText(std::size_t offset)
{
    // Appended to the sign: GCC 12 at -O3 takes the insertion that "+" + std::string makes for
    // an overlapping copy (-Wrestrict).
    std::string text = "+";
    text += std::to_string(offset);
    return text;
}

std::string titleOf(const ListedRegion& region)
{
    if (region.layout != VALUE_VARIANTS || !region.name.empty())
        return region.name;
    const std::size_t count = region.bytes.size() / sizeof(VARIANT);
    if (count == 0)
        return region.arrayName + " (no whole element)";
    return elementName(region, 0) + " to " + elementName(region, count - 1);
}

std::string cTypeOf(const ListedRegion& region)
{
    switch (region.layout) {
    case VALUE_INT16: return "int16_t";
    case VALUE_INT32: return "int32_t";
    case VALUE_REAL32: return "float";
    case VALUE_REAL64: return "double";
    case VALUE_TEXT: return "char[" + std::to_string(region.bytes.size()) + "]";
    case VALUE_DESCRIPTOR_ADDRESS: return "SAFEARRAY *";
    case VALUE_VARIANT: return "VARIANT";
    case VALUE_DESCRIPTOR: return "SAFEARRAY";
    case VALUE_VARIANTS: return "VARIANT[" + std::to_string(region.bytes.size() / sizeof(VARIANT)) + "]";
    case VALUE_NONE: break;
    }
    return "?";
}

std::vector<ListedField> fieldsOf(const ListedRegion& region)
{
    std::vector<ListedField> fields;
    if (region.bytes.size() < wholeValueSize(region.layout)) {
        addPlainBytes(fields, region, 0, "fewer bytes than " + cTypeOf(region) + " holds");
        return fields;
    }
    switch (region.layout) {
    case VALUE_INT16:
        fields.push_back(numberField(0, 2, "value", std::to_string(valueAt<int16_t>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 16-bit integer";
        break;
    case VALUE_INT32:
        fields.push_back(numberField(0, 4, "value", std::to_string(valueAt<int32_t>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 32-bit integer";
        break;
    case VALUE_REAL32:
        fields.push_back(numberField(0, 4, "value", realText(valueAt<float>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 32-bit real";
        break;
    case VALUE_REAL64:
        fields.push_back(numberField(0, 8, "value", realText(valueAt<double>(region, 0)), ""));
        fields.back().note = fields.back().value + ", a 64-bit real";
        break;
    case VALUE_DESCRIPTOR_ADDRESS:
        fields.push_back(addressField(0, "address", region));
        fields.back().note = "the address of the array's descriptor";
        break;
    case VALUE_VARIANT: addVariantFields(fields, region); break;
    case VALUE_DESCRIPTOR: addDescriptorFields(fields, region); break;
    case VALUE_VARIANTS: addElementFields(fields, region); break;
    case VALUE_TEXT: addTextFields(fields, region); break;
    case VALUE_NONE: addPlainBytes(fields, region, 0, "bytes of no kind"); break;
    }
    return fields;
}

std::optional<PlaceInRegions> placeOf(const void* address, const std::vector<ListedRegion>& regions)
{
    const auto* wanted = static_cast<const unsigned char*>(address);
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const auto* start = static_cast<const unsigned char*>(regions[i].address);
        if (start && std::less_equal<>()(start, wanted) && std::less<>()(wanted, start + regions[i].bytes.size()))
            return PlaceInRegions{i, static_cast<std::size_t>(wanted - start)};
    }
    return std::nullopt;
}

namespace {

// The region of `before` that stands for the same storage as `region`; none when it has none.
const ListedRegion* earlierOf(const ListedRegion& region, const std::vector<ListedRegion>* before)
{
    if (!before || !region.address)
        return nullptr;
    for (const ListedRegion& earlier : *before)
        if (earlier.reachedThrough == region.reachedThrough && earlier.layout == region.layout)
            return &earlier;
    return nullptr;
}

// Whether the field's bytes differ from the same bytes of the earlier region.
bool changedSince(const ListedField& field, const ListedRegion& region, const ListedRegion& earlier)
{
    for (std::size_t i = field.offset; i < field.offset + field.size; ++i) {
        const int now = i < region.bytes.size() ? region.bytes[i] : -1;
        const int then = i < earlier.bytes.size() ? earlier.bytes[i] : -1;
        if (now != then)
            return true;
    }
    return false;
}

} // namespace

std::string listingOf(const std::vector<ListedRegion>& regions, const std::vector<ListedRegion>* before)
{
    std::ostringstream out;
    for (std::size_t r = 0; r < regions.size(); ++r) {
        const ListedRegion& region = regions[r];
        const ListedRegion* earlier = earlierOf(region, before);
        if (r > 0)
            out << "\n";
        out << (region.address ? region.reachedThrough : "returned in " + std::string(realResultRegister())) << " → "
            << titleOf(region) << ": " << cTypeOf(region) << ", " << region.bytes.size() << " bytes\n";
        for (const ListedField& field : fieldsOf(region)) {
            // Padding belongs to no field: whatever it holds, a routine never reads it.
            std::string shown;
            if (field.isPadding)
                for (std::size_t i = 0; i < field.size; ++i)
                    shown += i ? " --" : "--";
            else if (field.holdsAddress && field.size == sizeof(void*))
                shown = placeholderFor(field.address, regions);
            else if (field.holdsAddress)
                shown = hexBytes(region.bytes.data() + field.offset, offsetof(VARIANT, value)) + "  " +
                    placeholderFor(field.address, regions);
            else
                shown = hexBytes(region.bytes.data() + field.offset, field.size);
            std::string line = offsetText(field.offset);
            line.resize(std::max<std::size_t>(line.size() + 1, 6), ' ');
            line += shown;
            line.resize(std::max<std::size_t>(line.size() + 2, 56), ' ');
            if (earlier && !field.isPadding && changedSince(field, region, *earlier))
                line += "changed: ";
            line += field.note;
            out << line << "\n";
        }
    }
    return out.str();
}
