#include "picture.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <sstream>

namespace {

// The registers that carry a routine's first arguments.
#if defined(__x86_64__) && !defined(_WIN32)
const char* const argumentRegisters[] = {"rdi", "rsi", "rdx", "rcx", "r8", "r9"};
#elif defined(__aarch64__)
const char* const argumentRegisters[] = {"x0", "x1", "x2", "x3", "x4", "x5"};
#else
const char* const argumentRegisters[] = {"1st", "2nd", "3rd", "4th", "5th", "6th"};
#endif

// Where an arrow points: a box, and the offset in it.
struct Target {
    std::size_t box;
    std::size_t offset;
};

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
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// ---- What is drawn ----------------------------------------------------------------------------

struct Box {
    std::string title;
    std::string fill;
    int column = 0;
    // A table: column headers and rows of cells; a row may hold an address.
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::optional<Target>> pointsTo; // per row: the box and the offset it points at
    std::vector<std::size_t> rowOffsets;         // per row: its offset, to aim arrows at
    // A strip of bytes: the character above, the byte below.
    bool strip = false;
    std::vector<std::string> characters, bytes;
};

// The whole picture before it is placed: its title, the call's box first and then one box per
// region, and the note under them.
struct Picture {
    std::string title;
    std::vector<Box> boxes;
    std::string note;
};

// The call: one row per parameter, the register that carries it, an arrow to its storage.
Box callBoxOf(const RecordedCall& call, const std::vector<ListedRegion>& regions)
{
    Box callBox;
    callBox.title = callText(call);
    callBox.fill = callFill;
    callBox.headers = call.argumentsInRegisters ? std::vector<std::string>{"parameter", "in", ""}
                                                : std::vector<std::string>{"parameter", ""};
    for (std::size_t p = 0; p < call.parameters.size(); ++p) {
        const std::string& parameter = call.parameters[p];
        std::vector<std::string> row{parameter};
        if (call.argumentsInRegisters)
            row.push_back(p < std::size(argumentRegisters) ? argumentRegisters[p] : "stack");
        std::optional<Target> target;
        for (std::size_t r = 0; r < regions.size(); ++r)
            if (parameter == regions[r].reachedThrough)
                target = Target{r + 1, 0}; // box 0 is the call itself
        row.push_back(target ? "" : "not recorded");
        callBox.rows.push_back(row);
        callBox.pointsTo.push_back(target);
        callBox.rowOffsets.push_back(0);
    }
    return callBox;
}

// A box's colour says what the region is, whether it crosses or only stands beside the call:
// a tagged value is drawn as one wherever it lies.
const char* fillOf(const ListedRegion& region)
{
    switch (region.layout) {
    case VALUE_VARIANT:
    case VALUE_DESCRIPTOR: return descriptorFill;
    case VALUE_VARIANTS: return elementsFill;
    default: return region.address ? callerFill : resultFill;
    }
}

// One region: a strip of characters for a text, else a row per field, and an arrow for each
// address that points into one of the regions.
Box regionBoxOf(const ListedRegion& region, int column, const std::vector<ListedRegion>& regions)
{
    Box box;
    box.column = column;
    box.title = titleOf(region) + " · " + cTypeOf(region) + ", " + std::to_string(region.bytes.size()) + " bytes";
    if (!region.address)
        box.title += ", returned in " + std::string(realResultRegister());
    box.fill = fillOf(region);
    if (region.layout == VALUE_TEXT) {
        box.strip = true;
        for (const unsigned char byte : region.bytes) {
            box.characters.push_back(byte == 0                        ? "\\0"
                                         : byte > 0x20 && byte < 0x7F ? std::string(1, char(byte))
                                                                      : "");
            box.bytes.push_back(hexBytes(&byte, 1));
        }
        return box;
    }
    box.headers = {"at", "size", "field", "value"};
    for (const ListedField& field : fieldsOf(region)) {
        box.rows.push_back({offsetText(field.offset), std::to_string(field.size), field.name,
                            field.holdsAddress ? "" : field.value});
        std::optional<Target> target;
        if (const auto place = field.holdsAddress ? placeOf(field.address, regions) : std::nullopt)
            target = Target{place->region + 1, place->offset}; // box 0 is the call
        box.pointsTo.push_back(target);
        box.rowOffsets.push_back(field.offset);
    }
    return box;
}

// What lies beside the call but does not cross: its fields, and no arrow leads to it.
Box besideBoxOf(const StorageBeside& beside)
{
    Box box;
    box.column = beside.column;
    box.title = titleOf(beside.region) + " · " + cTypeOf(beside.region) + ", " +
        std::to_string(beside.region.bytes.size()) + " bytes, not passed";
    box.fill = fillOf(beside.region);
    box.headers = {"at", "size", "field", "value"};
    for (const ListedField& field : fieldsOf(beside.region)) {
        box.rows.push_back({offsetText(field.offset), std::to_string(field.size), field.name, field.value});
        box.pointsTo.push_back(std::nullopt);
        box.rowOffsets.push_back(field.offset);
    }
    return box;
}

Picture pictureModelOf(const RecordedCall& call)
{
    const std::vector<ListedRegion> regions = listedRegionsOf(call);
    Picture picture;
    picture.title = call.calledBy + ": the memory at the call of " + call.routine;
    picture.boxes.push_back(callBoxOf(call, regions));
    for (std::size_t r = 0; r < regions.size(); ++r)
        picture.boxes.push_back(regionBoxOf(regions[r], call.regions[r].column, regions));
    for (const StorageBeside& storage : call.beside)
        picture.boxes.push_back(besideBoxOf(storage));
    picture.note = "Offsets and sizes in bytes, as recorded on a " + std::to_string(8 * sizeof(void*)) +
        "-bit build. Each arrow is an address; each dot, where it is held.";
    return picture;
}

// ---- Where it goes -----------------------------------------------------------------------------

// Where a box lies, and how wide each of its table's columns is.
struct Place {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<int> columnWidths;
};

struct Layout {
    std::vector<Place> places; // one per box, in the picture's order
    int width = 0, height = 0;
};

// A box's size, before it is placed.
Place measure(const Box& box)
{
    Place place;
    if (box.strip) {
        place.width = std::max<int>(textWidth(box.title) + 4, static_cast<int>(box.characters.size()) * cellWidth);
        place.height = titleHeight + stripHeight + 14;
        return place;
    }
    const std::size_t columns = box.headers.size();
    place.columnWidths.assign(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        place.columnWidths[c] = textWidth(box.headers[c], smallCharacterWidth);
        for (const auto& row : box.rows)
            place.columnWidths[c] = std::max(place.columnWidths[c], textWidth(row[c]));
    }
    const bool holdsAddress = std::any_of(box.pointsTo.begin(), box.pointsTo.end(),
                                          [](auto& p) { return p.has_value(); });
    int width = 12 + (holdsAddress ? 14 : 0);
    for (std::size_t c = 0; c < columns; ++c)
        width += place.columnWidths[c] + (c + 1 < columns ? 14 : 0);
    place.width = std::max(width, textWidth(box.title) + 4);
    place.height = titleHeight + headerHeight + static_cast<int>(box.rows.size()) * rowHeight;
    return place;
}

// Columns side by side, boxes stacked in each; room below for the legend and the note.
Layout layOut(const Picture& picture)
{
    Layout layout;
    for (const Box& box : picture.boxes)
        layout.places.push_back(measure(box));
    const std::vector<Box>& boxes = picture.boxes;
    const int columns = 1 +
        std::max_element(boxes.begin(), boxes.end(), [](auto& a, auto& b) { return a.column < b.column; })->column;
    std::vector<int> columnX(columns, margin), columnWidth(columns, 0), columnY(columns, top);
    for (std::size_t b = 0; b < boxes.size(); ++b)
        columnWidth[boxes[b].column] = std::max(columnWidth[boxes[b].column], layout.places[b].width);
    for (int c = 1; c < columns; ++c)
        columnX[c] = columnX[c - 1] + columnWidth[c - 1] + columnGap;
    int width = 0, height = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        Place& place = layout.places[b];
        place.x = columnX[boxes[b].column];
        place.y = columnY[boxes[b].column];
        columnY[boxes[b].column] += place.height + boxGap;
        width = std::max(width, place.x + place.width + 56);
        height = std::max(height, place.y + place.height);
    }
    layout.width = std::max(width, 2 * margin + textWidth(picture.note, smallCharacterWidth));
    layout.height = height + 52;
    return layout;
}

int rowMiddle(const Place& place, std::size_t row)
{
    return place.y + titleHeight + headerHeight + static_cast<int>(row) * rowHeight + rowHeight / 2;
}

// Where an arrow to `offset` in a box ends: the row that starts there, or else the box's top.
// An arrow that comes round the right side ends at the top as well when the row holds an
// address of its own, whose arrow leaves from there.
int arrowEndY(const Box& box, const Place& place, std::size_t offset, bool fromTheRight)
{
    if (box.strip)
        return place.y + titleHeight + stripHeight / 2;
    for (std::size_t r = 0; r < box.rowOffsets.size(); ++r)
        if (box.rowOffsets[r] == offset && !(fromTheRight && box.pointsTo[r]))
            return rowMiddle(place, r);
    return place.y + titleHeight + headerHeight / 2;
}

// ---- The SVG text ------------------------------------------------------------------------------

void drawBox(std::ostringstream& svg, const Box& box, const Place& place)
{
    svg << "  <text x=\"" << place.x << "\" y=\"" << place.y + 13 << "\" font-weight=\"bold\">"
        << escaped(box.title) << "</text>\n";
    const int bodyTop = place.y + titleHeight;
    if (box.strip) {
        for (std::size_t i = 0; i < box.characters.size(); ++i) {
            const int x = place.x + static_cast<int>(i) * cellWidth;
            svg << "  <rect x=\"" << x << "\" y=\"" << bodyTop << "\" width=\"" << cellWidth << "\" height=\""
                << stripHeight << "\" fill=\"" << box.fill << "\" stroke=\"#555\"/>\n";
            svg << "  <text x=\"" << x + cellWidth / 2 << "\" y=\"" << bodyTop + 14 << "\" text-anchor=\"middle\">"
                << escaped(box.characters[i]) << "</text>\n";
            svg << "  <text x=\"" << x + cellWidth / 2 << "\" y=\"" << bodyTop + 27
                << "\" text-anchor=\"middle\" font-size=\"9\" fill=\"#666\">" << box.bytes[i] << "</text>\n";
        }
        const int last = static_cast<int>(box.characters.size()) - 1;
        svg << "  <text x=\"" << place.x << "\" y=\"" << bodyTop + stripHeight + 11
            << "\" font-size=\"10\" fill=\"#666\">+0</text>\n";
        svg << "  <text x=\"" << place.x + last * cellWidth + cellWidth << "\" y=\"" << bodyTop + stripHeight + 11
            << "\" font-size=\"10\" fill=\"#666\" text-anchor=\"end\">+" << last << "</text>\n";
        return;
    }
    svg << "  <rect x=\"" << place.x << "\" y=\"" << bodyTop << "\" width=\"" << place.width << "\" height=\""
        << place.height - titleHeight << "\" fill=\"" << box.fill << "\" stroke=\"#555\"/>\n";
    std::vector<int> columnX;
    int x = place.x + 6;
    for (int width : place.columnWidths) {
        columnX.push_back(x);
        x += width + 14;
    }
    for (std::size_t c = 0; c < box.headers.size(); ++c)
        svg << "  <text x=\"" << columnX[c] << "\" y=\"" << bodyTop + 12 << "\" font-size=\"10\" fill=\"#666\">"
            << escaped(box.headers[c]) << "</text>\n";
    for (std::size_t r = 0; r < box.rows.size(); ++r) {
        const int rowTop = bodyTop + headerHeight + static_cast<int>(r) * rowHeight;
        svg << "  <line x1=\"" << place.x << "\" y1=\"" << rowTop << "\" x2=\"" << place.x + place.width
            << "\" y2=\"" << rowTop << "\" stroke=\"#bbb\"/>\n";
        for (std::size_t c = 0; c < box.rows[r].size(); ++c)
            if (!box.rows[r][c].empty())
                svg << "  <text x=\"" << columnX[c] << "\" y=\"" << rowTop + 13 << "\">" << escaped(box.rows[r][c])
                    << "</text>\n";
        if (box.pointsTo[r])
            svg << "  <circle cx=\"" << place.x + place.width - 9 << "\" cy=\"" << rowTop + rowHeight / 2
                << "\" r=\"3\"/>\n";
    }
}

void drawArrow(std::ostringstream& svg, const Place& from, std::size_t row, const Box& toBox, const Place& to,
               std::size_t offset)
{
    const int x1 = from.x + from.width - 9;
    const int y1 = rowMiddle(from, row);
    const bool toTheRight = to.x > from.x + from.width;
    const int y2 = arrowEndY(toBox, to, offset, !toTheRight);
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

// The legend names only the fills that the picture uses.
void drawLegend(std::ostringstream& svg, const Picture& picture, int height)
{
    const std::pair<const char*, const char*> legend[] = {
        {callFill, "the call: the addresses passed"},
        {callerFill, "a variable, temporary or copy"},
        {descriptorFill, "a tagged value or descriptor"},
        {elementsFill, "array elements"},
        {resultFill, "the result"},
    };
    int legendX = margin;
    for (const auto& [fill, meaning] : legend) {
        if (std::none_of(picture.boxes.begin(), picture.boxes.end(), [&](const Box& box) { return box.fill == fill; }))
            continue;
        svg << "  <rect x=\"" << legendX << "\" y=\"" << height - 38 << "\" width=\"10\" height=\"10\" fill=\"" << fill
            << "\" stroke=\"#555\"/>\n";
        svg << "  <text x=\"" << legendX + 14 << "\" y=\"" << height - 29 << "\" font-size=\"10\" fill=\"#666\">"
            << escaped(meaning) << "</text>\n";
        legendX += 14 + textWidth(meaning, smallCharacterWidth) + 18;
    }
}

std::string svgOf(const Picture& picture, const Layout& layout)
{
    const std::vector<Box>& boxes = picture.boxes;
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << layout.width << "\" height=\"" << layout.height
        << "\" viewBox=\"0 0 " << layout.width << " " << layout.height
        << "\" font-family=\"DejaVu Sans Mono, Menlo, Consolas, monospace\" font-size=\"12\">\n";
    svg << "  <title>" << escaped(picture.title) << "</title>\n";
    svg << "  <defs><marker id=\"head\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"7\" "
           "markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\"#333\"/></marker></defs>\n";
    svg << "  <rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    svg << "  <text x=\"" << margin << "\" y=\"22\" font-size=\"13\" font-weight=\"bold\">" << escaped(picture.title)
        << "</text>\n";
    for (std::size_t b = 0; b < boxes.size(); ++b)
        drawBox(svg, boxes[b], layout.places[b]);
    for (std::size_t b = 0; b < boxes.size(); ++b)
        for (std::size_t r = 0; r < boxes[b].pointsTo.size(); ++r)
            if (const std::optional<Target>& target = boxes[b].pointsTo[r])
                drawArrow(svg, layout.places[b], r, boxes[target->box], layout.places[target->box], target->offset);
    drawLegend(svg, picture, layout.height);
    svg << "  <text x=\"" << margin << "\" y=\"" << layout.height - 12 << "\" font-size=\"10\" fill=\"#666\">"
        << escaped(picture.note) << "</text>\n";
    svg << "</svg>\n";
    return svg.str();
}

} // namespace

std::string pictureOf(const RecordedCall& call)
{
    const Picture picture = pictureModelOf(call);
    return svgOf(picture, layOut(picture));
}
