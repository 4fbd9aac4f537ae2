// What Korvik's captions and listings show with the library beside this test, test by test,
// against what routine-check says they will show.
#include "checker_lines.h"
#include "korvik_fixture.h"

#include <vector>

namespace {

using ShownByKorvik = KorvikWindow;

// The lines of a listing, each quoted, separated by commas, as routine-check quotes them.
std::string quotedListing(const std::string& text)
{
    std::string quotedLines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        quotedLines += (quotedLines.empty() ? "" : ", ") + quoted(text.substr(start, end - start));
    return quotedLines;
}

TEST_F(ShownByKorvik, EachTestShowsWhatTheCheckerSays)
{
    struct Row {
        const char* routine;
        const char* button;
        const char* control;
    };
    const Row rows[] = {
        {"chara", "cmdstart1", "lblindex2"}, {"square", "cmdstart3", "Label1"}, {"transnumber", "cmdstart5", "Label2"},
        {"yArray", "cmdstart6", "Label3"},   {"zArray", "cmdstart7", "Label4"},
    };
    const auto shows = checkerShows();
    ASSERT_FALSE(shows.empty()) << "routine-check said nothing of what Korvik shows";
    for (const Row& row : rows) {
        if (!shows.count(row.routine))
            continue;
        SCOPED_TRACE(row.routine);
        clickToTheEnd(row.button);
        const std::string& said = shows.at(row.routine);
        const std::string reads = std::string("Korvik's ") + row.control + " reads ";
        // A number the routine made of a register or an address is no one text: the caption
        // begins with what the checker quotes before it.
        if (const std::size_t quoteEnd = said.find("\" and then "); quoteEnd != std::string::npos) {
            ASSERT_EQ(said.rfind(reads + "\"", 0), 0u) << said;
            const std::string before = said.substr(reads.size() + 1, quoteEnd - reads.size() - 1);
            EXPECT_EQ(shownText(&form, row.control).rfind(before, 0), 0u) << shownText(&form, row.control);
        } else {
            EXPECT_EQ(said, reads + quoted(shownText(&form, row.control)));
        }
    }
    if (shows.count("xArray")) {
        const Ending end = clickToTheEnd("cmdstart2");
        const std::string first = "Korvik's Text1 reads \"x(i) = 1\" to \"x(i) = 10\", then ";
        // The report says where the error arose as well: the checker's words lie within it.
        const std::string ending = first + "Korvik ends with the runtime error \"";
        const std::string& said = shows.at("xArray");
        if (end.status) {
            ASSERT_EQ(said.rfind(ending, 0), 0u) << said;
            EXPECT_NE(end.report().find(said.substr(ending.size(), said.size() - ending.size() - 1)), std::string::npos)
                << end.report();
        }
        else
            EXPECT_EQ(said, first + quotedListing(shownText(&form, "Text1")));
    }
}

} // namespace
