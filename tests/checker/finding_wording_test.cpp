// The wording of findings: every kind and every cause has its one row, each row words its
// values as a learner reads them, a finding crosses the report channel whole, and the checking
// page and the manual give every sentence of the table.
#include "finding.h"
#include "wording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

TEST(FindingWording, EveryKindAndEveryCauseHasOneRow)
{
    for (int kind = 0; kind <= static_cast<int>(lastFindingKind); ++kind) {
        const auto rows = std::count_if(findingRows().begin(), findingRows().end(), [&](const FindingRow& row) {
            return row.kind == static_cast<FindingKind>(kind);
        });
        EXPECT_EQ(rows, 1) << "finding kind " << kind;
    }
    for (int kind = 0; kind <= static_cast<int>(lastCauseKind); ++kind) {
        const auto rows = std::count_if(causeRows().begin(), causeRows().end(),
                                        [&](const CauseRow& row) { return row.kind == static_cast<CauseKind>(kind); });
        EXPECT_EQ(rows, 1) << "cause kind " << kind;
    }
}

struct WordingRow {
    Finding finding;
    const char* sentence;
};

const WordingRow wordingRows[] = {
    // An argument by name and position; a count with its unit, one and more.
    {{FindingKind::WrotePastEnd, {"textB", 3}, {int64_t{2}}},
     "wrote past the end of textB, the third argument, by 2 bytes"},
    {{FindingKind::WroteBeforeStart, {"textB", 3}, {int64_t{1}}},
     "wrote before the start of textB, the third argument, by 1 byte"},
    {{FindingKind::ReadPastEndByMoreThan, {"a", 1}, {int64_t{1048576}}},
     "read past the end of a, the first argument, by more than 1048576 bytes"},
    // An argument without a position is its name alone; one beyond the sixth by its number.
    {{FindingKind::KeptTheAddressSpace, {"b"}, {int64_t{4}}},
     "ran out of memory: after its calls it held the 4 GiB of address space a routine may take, and left no room "
     "for the storage of b in the next call"},
    {{FindingKind::KeptAddress, {"z", 7}}, "kept the address of z, argument 7"},
    // A signal by its name, from its number or as a text.
    {{FindingKind::Crashed, {}, {int64_t{6}}}, "crashed (SIGABRT)"},
    {{FindingKind::ChangedSignalHandling, {}, {int64_t{13}}},
     "changed the handling of SIGPIPE and did not put it back (the program relies on it as it was)"},
    {{FindingKind::LeftATimerSet,
      {},
      {std::string("alarm or setitimer"), std::string("SIGALRM"), std::string("after the call")}},
     "left a timer set (alarm or setitimer): SIGALRM would end the program after the call"},
    // Seconds as the time limit gives them.
    {{FindingKind::TimedOut, {}, {0.5}}, "did not return within 0.5 seconds"},
    {{FindingKind::TimedOut, {}, {1.0}}, "did not return within 1 second"},
    {{FindingKind::ThreadsLeftRunning, {}, {int64_t{1}}}, "left 1 thread running after it returned"},
    // A name used twice in a row is one value.
    {{FindingKind::NotExported,
      {},
      {},
      {CauseKind::OtherLetterCase, {}, {std::string("SUMDLL"), std::string("sumdll")}}},
     "is not exported (it exports SUMDLL, in another letter case: a program finds a routine by its exact name; write "
     "bind(C, name=\"sumdll\"), or sumdll in C)"},
    // Causes after their finding, with an argument of their own.
    {{FindingKind::WrotePastEnd,
      {"c", 3},
      {int64_t{2}},
      {CauseKind::TakenWider,
       {},
       {std::string("a 32-bit integer"), std::string("int16_t * in C, integer(c_int16_t) in Fortran")}}},
     "wrote past the end of c, the third argument, by 2 bytes: it took that argument as a 32-bit integer; declare it "
     "int16_t * in C, integer(c_int16_t) in Fortran"},
    {{FindingKind::WroteIntoReadOnly,
      {"b", 2},
      {},
      {CauseKind::LeftMeantAsItWas, {"c", 3}, {std::string("sumdll(a, b, c)")}}},
     "wrote into b, the second argument, which it must only read, and left c, the third argument, as it was: the "
     "routine takes its arguments in another order (declared in another order, or one before it taken by value); "
     "declare them as the contract does, sumdll(a, b, c)"},
    {{FindingKind::WroteThroughNull, {}, {}, {CauseKind::NullFromElement, {"y", 3}, {int64_t{1}}}},
     "wrote through a null address, which it took from the value of element 1 of y, the third argument"},
    {{FindingKind::UsedByteRangeAsAddress, {"textA", 1}, {int64_t{8}, int64_t{15}}},
     "used bytes 8 to 15 of textA, the first argument, as an address"},
    {{FindingKind::EndedWhereFileUnwritable,
      {},
      {int64_t{2}, std::string("square.dat")},
      {CauseKind::FortranRuntimeEnd}},
     "ended the process with exit status 2 when square.dat could not be written (a folder stood in its place): the "
     "Fortran runtime ends the program on an I/O error without iostat=; add iostat= to open and write"},
};

TEST(FindingWording, EachRowWordsItsValues)
{
    for (const WordingRow& row : wordingRows)
        EXPECT_EQ(sentenceOf(row.finding), row.sentence);
}

TEST(FindingWording, SeveritiesComeFromTheRows)
{
    EXPECT_EQ(severityOf(FindingKind::WrotePastEnd), Severity::Fault);
    EXPECT_EQ(severityOf(FindingKind::ThreadsLeftWaiting), Severity::Note);
    EXPECT_EQ(severityOf(FindingKind::EndedWhereFileUnwritable), Severity::Note);
    EXPECT_EQ(severityOf(FindingKind::NoRoomForStorage), Severity::Unchecked);
    EXPECT_EQ(severityOf(FindingKind::CouldNotStartAProcess), Severity::Unchecked);
}

TEST(FindingWording, AFindingCrossesTheChannelWhole)
{
    for (const WordingRow& row : wordingRows) {
        Finding decoded{FindingKind::NotExported};
        ASSERT_TRUE(decode(encode(row.finding), decoded)) << row.sentence;
        EXPECT_EQ(decoded, row.finding) << row.sentence;
        // Bytes cut short, or with more after them, are no finding.
        const std::string bytes = encode(row.finding);
        Finding cut{FindingKind::NotExported};
        EXPECT_FALSE(decode(std::string_view(bytes).substr(0, bytes.size() - 1), cut)) << row.sentence;
        EXPECT_FALSE(decode(bytes + "x", cut)) << row.sentence;
    }
    // A text with a zero byte in it, as a name from a library may have.
    const Finding zero{FindingKind::NoRoomForStorage, {std::string("a\0b", 3)}, {std::string("why")}};
    Finding decoded{FindingKind::NotExported};
    ASSERT_TRUE(decode(encode(zero), decoded));
    EXPECT_EQ(decoded, zero);
}

// ---- The pages give every sentence ---------------------------------------------------------

std::string fileText(const std::string& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The manual as a reader sees it: font changes and the quotes of .B and .BR gone, a hyphen
// as a hyphen, \(dq as a quote, the lines joined by blanks.
std::string manualAsRead(const std::string& source)
{
    std::string text;
    std::istringstream lines(source);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(".B ") || line.starts_with(".I ")) {
            line = line.substr(3);
            line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
        } else if (line.starts_with(".BR ") || line.starts_with(".IR ") || line.starts_with(".RB ") ||
                   line.starts_with(".RI ")) {
            // Alternating fonts: the words, quoted or not, follow each other with no blank.
            std::string joined;
            const std::regex word(R"re("([^"]*)"|(\S+))re");
            const std::string rest = line.substr(4);
            for (auto at = std::sregex_iterator(rest.begin(), rest.end(), word); at != std::sregex_iterator(); ++at)
                joined += (*at)[1].matched ? (*at)[1].str() : (*at)[2].str();
            line = joined;
        } else if (line.starts_with(".")) {
            line.clear();
        }
        text += line + " ";
    }
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    text = std::regex_replace(text, std::regex(R"(\\\(aq)"), "'");
    text = std::regex_replace(text, std::regex(R"(\\\(dq)"), "\"");
    return std::regex_replace(text, std::regex(" +"), " ");
}

TEST(FindingWording, TheCheckingPageAndTheManualGiveEverySentence)
{
    const std::string page = fileText(DOCS_FOLDER "/checking.md");
    const std::string manual = manualAsRead(fileText(DOCS_FOLDER "/man/routine-check.1"));
    ASSERT_FALSE(page.empty());
    ASSERT_FALSE(manual.empty());
    const auto given = [](const std::string& text, const std::string& sentence) {
        return sentence.empty() || text.find(sentence) != std::string::npos;
    };
    for (const FindingRow& row : findingRows()) {
        EXPECT_TRUE(given(page, asThePagesWriteIt(row.text, "ARG, the P argument")))
            << "docs/checking.md lacks \"" << asThePagesWriteIt(row.text, "ARG, the P argument") << "\"";
        EXPECT_TRUE(given(manual, asThePagesWriteIt(row.text, "ARG")))
            << "the manual lacks \"" << asThePagesWriteIt(row.text, "ARG") << "\"";
    }
    for (const CauseRow& row : causeRows()) {
        EXPECT_TRUE(given(page, asThePagesWriteIt(row.text, "ARG, the P argument")))
            << "docs/checking.md lacks \"" << asThePagesWriteIt(row.text, "ARG, the P argument") << "\"";
        EXPECT_TRUE(given(manual, asThePagesWriteIt(row.text, "ARG")))
            << "the manual lacks \"" << asThePagesWriteIt(row.text, "ARG") << "\"";
    }
}

} // namespace
