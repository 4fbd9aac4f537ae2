// The teaching pages as text: the index lists them in order, each has its parts, every quoted
// declaration and call site stands as quoted in the file it names, and every picture a page
// embeds is there. The recorded listings and pictures are checked by the programs' own tests.
#include "page.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <sstream>

namespace {

const char* const pageNames[] = {
    "1-by-own-address.md", "2-through-a-temporary.md", "3-function-result.md", "4-text-copy.md",
    "5-first-element.md",  "6-whole-array.md",         "7-tagged-array.md",
};

// Every call a recording test records; each has its section on a page and its picture.
const std::set<std::string> recordedCalls = {
    "tolvan",       "vandrel",      "korvik-test1", "korvik-test2", "korvik-test3",
    "korvik-test4", "korvik-test5", "korvik-test6", "korvik-test7",
};

std::string withoutIndentation(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t");
    return first == std::string::npos ? "" : line.substr(first);
}

// A line that stands for lines left out of a quotation, in C, C++ or Fortran.
bool isElision(const std::string& line)
{
    const std::string shown = withoutIndentation(line);
    return shown == "// …" || shown == "/* … */" || shown == "! …";
}

// Where `segment` stands in `file`, line for line but for leading blanks, at or after line
// `from`; the line after it, or nothing.
std::optional<std::size_t> findSegment(const std::vector<std::string>& file, const std::vector<std::string>& segment,
                                       std::size_t from)
{
    for (std::size_t start = from; start + segment.size() <= file.size(); ++start) {
        bool same = true;
        for (std::size_t i = 0; i < segment.size() && same; ++i)
            same = withoutIndentation(file[start + i]) == withoutIndentation(segment[i]);
        if (same)
            return start + segment.size();
    }
    return std::nullopt;
}

TEST(TeachingPagesText, TheIndexListsTheSevenPagesInOrder)
{
    const auto pages = numberedPages();
    ASSERT_EQ(pages.size(), std::size(pageNames));
    for (std::size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(pages[i].filename().string(), pageNames[i]);

    const std::string index = readFile(pagesFolder() / "README.md");
    std::size_t at = 0;
    for (const char* name : pageNames) {
        const auto link = index.find(std::string("](") + name + ")", at);
        EXPECT_NE(link, std::string::npos) << "README.md links " << name << " after the pages before it";
        if (link != std::string::npos)
            at = link;
    }
}

// The traps and the descriptor page follow the numbered pages, in the index and in their links.
TEST(TeachingPagesText, TheTrapsAndTheDescriptorPageFollowThePages)
{
    const std::string index = readFile(pagesFolder() / "README.md");
    const auto lastPage = index.find("](7-tagged-array.md)");
    const auto traps = index.find("](traps.md)");
    const auto descriptor = index.find("](descriptor.md)");
    ASSERT_NE(lastPage, std::string::npos);
    EXPECT_TRUE(traps != std::string::npos && traps > lastPage) << "README.md links traps.md after the pages";
    EXPECT_TRUE(descriptor != std::string::npos && descriptor > traps) << "README.md links descriptor.md after traps.md";
    EXPECT_NE(readFile(pagesFolder() / "traps.md").find("](descriptor.md)"), std::string::npos)
        << "traps.md leads on to descriptor.md";
    for (const char* page : {"4-text-copy.md", "5-first-element.md"})
        EXPECT_NE(readFile(pagesFolder() / page).find("](descriptor.md)"), std::string::npos)
            << page << " says where its trap is right";
}

// A declaration from the contract, a call site from a window, and what was recorded with its
// picture.
TEST(TeachingPagesText, EachPageHasItsParts)
{
    for (const auto& page : numberedPages()) {
        SCOPED_TRACE(page.filename().string());
        const std::string text = readFile(page);
        bool declaration = false, callSite = false, sampleContract = false, fortran = false;
        for (const PageSection& quoted : sectionsOf(text, "quoted")) {
            declaration |= quoted.argument.ends_with(".h");
            callSite |= quoted.argument.ends_with(".cpp");
            sampleContract |= quoted.argument == "contracts/ostrum.h" || quoted.argument == "contracts/pettrix.h";
            fortran |= quoted.argument.ends_with(".f90") || quoted.argument.ends_with(".F90");
        }
        EXPECT_TRUE(declaration) << "no declaration quoted from a header";
        EXPECT_TRUE(callSite) << "no call site quoted from a window";
        EXPECT_TRUE(fortran || !sampleContract) << "a sample's C declaration without the Fortran one beside it";
        const auto recorded = sectionsOf(text, "recorded");
        EXPECT_FALSE(recorded.empty()) << "no recorded listing";
        for (const PageSection& section : recorded) {
            EXPECT_TRUE(recordedCalls.contains(section.argument))
                << "line " << section.line << ": no test records a call named " << section.argument;
            EXPECT_NE(text.find("](pictures/" + section.argument + ".svg)"), std::string::npos)
                << "the page does not show the picture of " << section.argument;
        }
    }
}

// README, the pages under docs/ and every page of docs/passing/ (the rules, the numbered pages,
// the traps, the descriptor page): all quote files of the project.
std::vector<std::filesystem::path> filesThatQuote()
{
    std::vector<std::filesystem::path> files = {projectRoot() / "README.md"};
    for (const auto& folder : {projectRoot() / "docs", pagesFolder()})
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".md")
                files.push_back(entry.path());
    return files;
}

TEST(TeachingPagesText, EveryQuotationStandsInTheFileItNames)
{
    int quotations = 0;
    for (const auto& page : filesThatQuote()) {
        const std::string text = readFile(page);
        for (const PageSection& quoted : sectionsOf(text, "quoted")) {
            SCOPED_TRACE(page.filename().string() + ", line " + std::to_string(quoted.line) + ", from " +
                         quoted.argument);
            ++quotations;
            const auto source = projectRoot() / quoted.argument;
            ASSERT_TRUE(std::filesystem::is_regular_file(source)) << "no such file";
            const std::vector<std::string> file = linesOf(readFile(source));

            // The quotation in segments between elisions, each found after the one before.
            std::vector<std::vector<std::string>> segments(1);
            for (const std::string& line : linesOf(fencedContent(quoted.body))) {
                if (isElision(line))
                    segments.emplace_back();
                else
                    segments.back().push_back(line);
            }
            std::size_t from = 0;
            for (const auto& segment : segments) {
                ASSERT_FALSE(segment.empty()) << "an elision with nothing quoted beside it";
                const auto next = findSegment(file, segment, from);
                ASSERT_TRUE(next.has_value()) << "these lines do not stand in the file as quoted (in this order):\n"
                                              << [&] {
                                                     std::string shown;
                                                     for (const auto& line : segment)
                                                         shown += "  " + line + "\n";
                                                     return shown;
                                                 }();
                from = *next;
            }
        }
    }
    EXPECT_GE(quotations, 21 + 10)
        << "a C and a Fortran declaration and a call site on each of the seven pages, the walkthrough's samples and the traps";
}

TEST(TeachingPagesText, EveryPictureAPageShowsIsThere)
{
    const std::string linkStart = "](pictures/";
    std::vector<std::filesystem::path> files = numberedPages();
    files.push_back(pagesFolder() / "README.md");
    for (const auto& page : files) {
        const std::string text = readFile(page);
        for (auto at = text.find(linkStart); at != std::string::npos; at = text.find(linkStart, at + 1)) {
            const auto start = at + 2;
            const std::string picture = text.substr(start, text.find(')', start) - start);
            EXPECT_TRUE(std::filesystem::is_regular_file(pagesFolder() / picture))
                << page.filename().string() << " shows " << picture << ", which is not there";
        }
    }
}

} // namespace
