// A class in one command: finding each student's library in a folder, running the checks
// several at once, and the JSON Lines and JUnit reports written from their results.
#include "classroom.h"
#include "kind_names.h"
#include "reports.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

std::string pettrixOnly(std::string_view name)
{
    return name == "libPettrix.so" || name == "Pettrix.dll" ? "Pettrix" : name == "libMorvane.so" ? "Morvane" : "";
}

class Classroom : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/classroom-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        base_ = pattern;
    }
    void TearDown() override { fs::remove_all(base_); }

    fs::path file(const fs::path& relative)
    {
        fs::create_directories((base_ / relative).parent_path());
        std::ofstream(base_ / relative) << "not really a library";
        return base_ / relative;
    }

    fs::path base_;
};

TEST_F(Classroom, FindsEachStudentsLibraryOrSaysWhyNot)
{
    file("ana/libPettrix.so");
    file("ana/notes.txt");
    file("ben/build/libPettrix.so");
    file("ben/build/deeper/still/libPettrix.so"); // beyond the search
    fs::create_directories(base_ / "cleo");
    file("dan/first/libPettrix.so");
    file("dan/second/Pettrix.dll");
    fs::create_directories(base_ / "eve");
    fs::create_symlink(base_ / "ana" / "libPettrix.so", base_ / "eve" / "libPettrix.so");
    file("fay/libMorvane.so");
    file("gus/one/two/three/libPettrix.so"); // beyond the search

    struct Row {
        const char* folder;
        std::string path;    // relative to the class; empty when none is found
        const char* problem; // a part of the problem's sentence
    };
    const Row rows[] = {
        {"ana", "ana/libPettrix.so", ""},
        {"ben", "ben/build/libPettrix.so", ""},
        {"cleo", "", "no library file of Pettrix in"},
        {"dan", "", "two library files in"},
        {"eve", "", "no library file of Pettrix in"}, // a link is not followed
        {"fay", "", "no library file of Pettrix in"}, // another contract's
        {"gus", "", "no library file of Pettrix in"},
    };
    for (const Row& row : rows) {
        const auto found = candidatesOf({(base_ / row.folder).string()}, "Pettrix", pettrixOnly);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].student, row.folder);
        EXPECT_EQ(found[0].path, row.path.empty() ? "" : (base_ / row.path).string()) << row.folder;
        if (*row.problem)
            EXPECT_THAT(found[0].problem, HasSubstr(row.problem)) << row.folder;
        else
            EXPECT_EQ(found[0].problem, "") << row.folder;
    }

    // Without a contract named, a folder's file names its own; a file alone is itself.
    const auto any = candidatesOf({(base_ / "fay").string(), (base_ / "ana" / "libPettrix.so").string()}, "",
                                  pettrixOnly);
    ASSERT_EQ(any.size(), 2u);
    EXPECT_EQ(any[0].contract, "Morvane");
    EXPECT_EQ(any[1].contract, "Pettrix");
    EXPECT_EQ(any[1].student, "");
}

// The checks run through a stand-in that answers as a check does: a line of JSON, or nothing.
TEST_F(Classroom, ChecksEveryLibraryAndKeepsTheirOrder)
{
    const std::string standIn = R"sh(case "$2" in
  *silent*) exit 3 ;;
  *slow*) sleep 1 ;;
esac
printf '{"path":"%s","contract":"%s","verdict":"%s","routines":[]}\n' "$2" "$1" \
  "$(case "$2" in *wrong*) echo fault ;; *) echo ok ;; esac)")sh";
    std::vector<Candidate> candidates;
    for (const char* name : {"slow", "right", "wrong", "silent", "right again"})
        candidates.push_back({"/class/" + std::string(name) + "/libPettrix.so", name, "Pettrix", ""});
    candidates.push_back({"", "empty", "Pettrix", "no library file of Pettrix in /class/empty"});

    const auto results = checkAll(candidates, {"/bin/sh", "-c", standIn, "stand-in"}, 2);
    ASSERT_EQ(results.size(), candidates.size());
    const Verdict expected[] = {Verdict::Ok,         Verdict::Ok, Verdict::Fault,
                                Verdict::NotChecked, Verdict::Ok, Verdict::NotChecked};
    for (std::size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].student, candidates[i].student);
        EXPECT_EQ(results[i].verdict, expected[i]) << candidates[i].student;
    }
    EXPECT_EQ(results[3].problem, "its check ended with exit status 3 without a report");
    EXPECT_EQ(results[5].problem, "no library file of Pettrix in /class/empty");
}

LibraryResult sample()
{
    LibraryResult result;
    result.path = "/class/ana/libPettrix.so";
    result.student = "ana";
    result.contract = "Pettrix";
    result.verdict = Verdict::Fault;
    result.seed = 12345;
    RoutineResult sumdll;
    sumdll.name = "sumdll";
    sumdll.verdict = Verdict::Fault;
    sumdll.findings = {
        {Severity::Fault, "sum-wrong", "c", 3, "", "for a = 10 and b = 20, c, the third argument, holds -10, not 30",
         {int64_t{10}, int64_t{20}, int64_t{-10}, int64_t{30}, std::string("\"-10\"")}},
        {Severity::Note, "keeps-state", "", 0, "", "keeps state between calls: \"30\", then \"60\"",
         {std::string("\"30\""), std::string("\"60\"")}},
        {Severity::Fault, "changed-float-environment", "", 0, "", "changed the floating-point environment (x)",
         {0.5}}};
    sumdll.shows = "message boxes read \"a+b=\", then \"-10\"";
    sumdll.output = "hello\\n\xff";
    result.routines = {sumdll};
    result.notes = {"also exports helper, which Tolvan never calls"};
    return result;
}

// Each kind and cause has a name of its own, lower case words joined by hyphens, which a
// grader can match on.
TEST(Reports, EveryKindAndCauseHasANameOfItsOwn)
{
    std::set<std::string> names;
    const auto wellFormed = [](const std::string& name) {
        return !name.empty() && name.front() != '-' && name.back() != '-' &&
            name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") == std::string::npos &&
            name.find("--") == std::string::npos;
    };
    for (int kind = 0; kind <= static_cast<int>(lastFindingKind); ++kind) {
        const std::string name = kindName(static_cast<FindingKind>(kind));
        EXPECT_TRUE(wellFormed(name)) << name;
        EXPECT_TRUE(names.insert(name).second) << name;
    }
    for (int kind = 1; kind <= static_cast<int>(lastCauseKind); ++kind) {
        const std::string name = causeName(static_cast<CauseKind>(kind));
        EXPECT_TRUE(wellFormed(name)) << name;
        EXPECT_TRUE(names.insert(name).second) << name;
    }
    EXPECT_STREQ(causeName(CauseKind::None), "");
    EXPECT_STREQ(kindName(FindingKind::SumWrong), "sum-wrong");
    EXPECT_STREQ(causeName(CauseKind::DeclaredInOtherOrder), "declared-in-other-order");
}

TEST(Reports, AJsonLineReadsBackAsItWasWritten)
{
    const LibraryResult written = sample();
    const std::string line = jsonLine(written);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const std::optional<LibraryResult> read = fromJsonLine(line);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->student, "ana");
    EXPECT_EQ(read->verdict, Verdict::Fault);
    EXPECT_EQ(read->seed, 12345u);
    ASSERT_EQ(read->routines.size(), 1u);
    const RoutineResult& routine = read->routines[0];
    ASSERT_EQ(routine.findings.size(), 3u);
    EXPECT_EQ(routine.findings[0].argument, "c");
    EXPECT_EQ(routine.findings[0].position, 3);
    EXPECT_EQ(routine.findings[0].sentence, written.routines[0].findings[0].sentence);
    EXPECT_EQ(routine.findings[1].severity, Severity::Note);
    // The values keep their kinds: whole numbers, reals and texts.
    for (std::size_t i = 0; i < routine.findings.size(); ++i)
        EXPECT_EQ(routine.findings[i].values, written.routines[0].findings[i].values) << i;
    EXPECT_EQ(routine.findings[1].kind, "keeps-state");
    EXPECT_EQ(routine.shows, written.routines[0].shows);
    // A byte that is no UTF-8 is replaced, and the line is still read.
    EXPECT_EQ(routine.output, "hello\\n\xEF\xBF\xBD");
    EXPECT_EQ(read->notes, written.notes);

    for (const char* notALine : {"", "[]", "{\"path\":1}", "{\"path\":\"a\",\"contract\":\"b\",\"verdict\":\"maybe\"}"})
        EXPECT_FALSE(fromJsonLine(notALine)) << notALine;
}

TEST(Reports, AJUnitFileCountsFaultsAsFailuresAndUncheckedAsErrors)
{
    LibraryResult unchecked;
    unchecked.path = "/class/ben";
    unchecked.student = "ben";
    unchecked.contract = "Pettrix";
    unchecked.problem = "no library file of Pettrix in /class/ben";
    LibraryResult right = sample();
    right.student = "cleo";
    right.verdict = Verdict::Ok;
    right.routines[0].verdict = Verdict::Ok;
    right.routines[0].findings.clear();

    const std::string text = junitDocument({sample(), unchecked, right});
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(text.c_str())) << text;
    const pugi::xml_node suites = document.child("testsuites");
    EXPECT_EQ(suites.attribute("tests").as_int(), 3);
    EXPECT_EQ(suites.attribute("failures").as_int(), 1);
    EXPECT_EQ(suites.attribute("errors").as_int(), 1);

    const pugi::xml_node ana = suites.find_child_by_attribute("testsuite", "name", "ana");
    const pugi::xml_node failure = ana.child("testcase").child("failure");
    EXPECT_STREQ(ana.child("testcase").attribute("name").value(), "sumdll");
    EXPECT_STREQ(failure.attribute("message").value(), sample().routines[0].findings[0].sentence.c_str());
    EXPECT_STREQ(failure.attribute("type").value(), "sum-wrong");
    // A failure for each fault, in the routine's one test case.
    std::vector<std::string> types;
    for (const pugi::xml_node each : ana.child("testcase").children("failure"))
        types.push_back(each.attribute("type").value());
    EXPECT_EQ(types, (std::vector<std::string>{"sum-wrong", "changed-float-environment"}));
    EXPECT_EQ(ana.attribute("failures").as_int(), 1);
    EXPECT_THAT(std::string(ana.child("testcase").child("system-out").text().get()), HasSubstr("note: keeps state"));
    EXPECT_STREQ(ana.child("properties").find_child_by_attribute("property", "name", "seed").attribute("value").value(),
                 "12345");

    const pugi::xml_node ben = suites.find_child_by_attribute("testsuite", "name", "ben");
    EXPECT_STREQ(ben.child("testcase").child("error").attribute("message").value(), unchecked.problem.c_str());
    const pugi::xml_node cleo = suites.find_child_by_attribute("testsuite", "name", "cleo");
    EXPECT_FALSE(cleo.child("testcase").child("failure"));
}

} // namespace
