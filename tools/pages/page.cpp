#include "page.h"

#include "picture.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

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
            return "line " + std::to_string(line) + ":\n  recorded: " + (moreA ? lineA : "(nothing)") +
                "\n  page:     " + (moreB ? lineB : "(nothing)");
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
        return Marker{false, inside.substr(4), ""};
    const auto colon = inside.find(": ");
    if (colon == std::string::npos)
        return std::nullopt;
    return Marker{true, inside.substr(0, colon), inside.substr(colon + 2)};
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
std::string withSections(const std::string& page, const std::string& kind, const std::string& argument,
                         const std::string& body)
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
            open = PageSection{markerIn(line)->argument, "", number};
        }
    }
    if (open)
        throw std::runtime_error("the section " + kind + ": " + open->argument + " at line " +
                                 std::to_string(open->line) + " is never closed by <!-- end " + kind + " -->");
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
    throw std::runtime_error("no fenced block in:\n" + body);
}

std::vector<PageChange> changesToShow(const RecordedCall& call)
{
    std::vector<PageChange> changes;
    const std::string section = "```text\n" + pageListingOf(call) + "```\n";
    bool shown = false;
    for (const auto& page : numberedPages()) {
        const std::string text = readFile(page);
        for (const PageSection& recorded : sectionsOf(text, "recorded")) {
            if (recorded.argument != call.id)
                continue;
            shown = true;
            if (recorded.body != section) {
                changes.push_back({page, text, withSections(text, "recorded", call.id, section)});
                break;
            }
        }
    }
    if (!shown)
        throw std::runtime_error("no page holds <!-- recorded: " + call.id + " --> ... <!-- end recorded -->");

    const auto pictureFile = pagesFolder() / "pictures" / (call.id + ".svg");
    const std::string picture = pictureOf(call);
    const std::string drawn = readFile(pictureFile);
    if (drawn != picture)
        changes.push_back({pictureFile, drawn, picture});
    return changes;
}

std::string describeChange(const PageChange& change)
{
    return change.file.filename().string() + ", " + firstDifference(change.wanted, change.standing);
}

void writeChange(const PageChange& change)
{
    std::ofstream out(change.file, std::ios::binary | std::ios::trunc);
    out << change.wanted;
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + change.file.string());
}
