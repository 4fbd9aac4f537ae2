// routine-check on a class: a folder of students' folders made here, with a right library, a
// wrong one, one right only for the pairs always tried, one that crashes and a folder without
// one. Each run goes through the real command; the JSON Lines are read with nlohmann-json and
// the JUnit file with pugixml, as a grader would read them.
#include "checker_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

// routine-check with `arguments`, and `environment` in place of the same variables of the
// test's own; started by `launcher` when one is given (a tracer and its options).
CheckerRun check(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {},
                 const std::vector<std::string>& launcher = {})
{
    std::vector<std::string> words(launcher);
    words.push_back(CHECKER);
    words.insert(words.end(), arguments.begin(), arguments.end());
    return runToItsEnd(words, environment, fs::absolute(".outputs"));
}

std::string checked(const std::string& name)
{
    return std::string(CHECKED_LIBRARIES) + "/lib" + name + ".so";
}

std::vector<json> jsonLines(const std::string& output)
{
    std::vector<json> objects;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        objects.push_back(json::parse(line));
    return objects;
}

// The first fault of the learned table, drawn from seed 1.
const std::string learnedFault = "sumdll fault: for a = -2166 and b = -7038, c, the third argument, holds 0, not -9204 "
                                 "(Tolvan shows \"0\") (3 of 9 pairs)";

class ClassCheck : public testing::Test {
protected:
    // Each student's folder, in the order the shell lists them.
    void SetUp() override
    {
        place(SAMPLE_PETTRIX_C, "ana/libPettrix.so");
        place(checked("sum_subtracts"), "ben/build/libPettrix.so");
        place(checked("sum_crashes"), "cleo/libPettrix.so");
        fs::create_directories(scratch.file("class/dan/src"));
        place(checked("sum_learned_pairs"), "eve/libPettrix.so");
    }

    void place(const std::string& library, const std::string& where)
    {
        const fs::path to = scratch.file(("class/" + where).c_str());
        fs::create_directories(to.parent_path());
        fs::copy_file(library, to);
    }

    std::vector<std::string> students() const
    {
        std::vector<std::string> folders;
        for (const char* name : {"ana", "ben", "cleo", "dan", "eve"})
            folders.push_back(classFolder() + "/" + name);
        return folders;
    }

    std::string classFolder() const { return (fs::current_path() / "class").string(); }

    std::vector<std::string> withStudents(std::vector<std::string> arguments) const
    {
        for (const std::string& folder : students())
            arguments.push_back(folder);
        return arguments;
    }

    ScratchDirectory scratch;
};

// ---- The lines and the summary ----------------------------------------------------------------

TEST_F(ClassCheck, GivesALinePerStudentAndTheSummary)
{
    const CheckerRun run = check(withStudents({"--seed", "1", "Pettrix"}));
    const std::vector<std::string> lines = run.lines();
    ASSERT_EQ(lines.size(), 8u) << run.output << run.errors;
    EXPECT_EQ(lines[0], "Checking 5 libraries of Pettrix.");
    EXPECT_EQ(lines[1], "Seed: 1 (give --seed 1 to repeat this run).");
    EXPECT_EQ(lines[2], "ana: ok");
    EXPECT_EQ(lines[3],
              "ben: sumdll fault: for a = 10 and b = 20, c, the third argument, holds -10, not 30 "
              "(Tolvan shows \"-10\") (7 of 9 pairs)");
    EXPECT_EQ(lines[4], "cleo: sumdll fault: wrote through a null address");
    EXPECT_EQ(lines[5], "dan: could not be checked: no library file of Pettrix in " + classFolder() + "/dan");
    EXPECT_EQ(lines[6], "eve: " + learnedFault);
    EXPECT_EQ(lines[7], "summary: 5 libraries, 1 ok, 3 with a fault, 1 could not be checked");
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.status, 2);
}

// The exit status says the worst: 0 all ok, 1 a fault, 2 one could not be checked; a
// library's own name gives its contract when none is named, and names that are no library
// are libraries that could not be checked.
TEST_F(ClassCheck, ItsExitStatusSaysTheWorstOfTheClass)
{
    struct Row {
        std::vector<std::string> arguments;
        std::string summary;
        int status;
    };
    const std::string folder = classFolder();
    const Row rows[] = {
        {{folder + "/ana", folder + "/ana"}, "summary: 2 libraries, 2 ok, 0 with a fault, 0 could not be checked", 0},
        {{"Pettrix", folder + "/ana/libPettrix.so", folder + "/ben"},
         "summary: 2 libraries, 1 ok, 1 with a fault, 0 could not be checked",
         1},
        {{"Pettrix", folder + "/ana", folder + "/dan"},
         "summary: 2 libraries, 1 ok, 0 with a fault, 1 could not be checked",
         2},
        // Once "too many arguments": two files that do not exist.
        {{"Ostrum", "a", "b"}, "summary: 2 libraries, 0 ok, 0 with a fault, 2 could not be checked", 2},
        // A folder is a class, even of one.
        {{"Pettrix", CHECKED_LIBRARIES}, "summary: 1 library, 0 ok, 0 with a fault, 1 could not be checked", 2},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments{"--seed", "1"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const CheckerRun run = check(arguments);
        SCOPED_TRACE(run.output);
        ASSERT_FALSE(run.lines().empty());
        EXPECT_EQ(run.lines().back(), row.summary);
        EXPECT_EQ(run.status, row.status);
    }
    const CheckerRun missing = check({"--seed", "1", "Ostrum", "a", "b"});
    EXPECT_THAT(missing.output,
                testing::HasSubstr("/a: could not be checked: " + fs::absolute("a").string() +
                                   " does not load: the file does not exist\n"));
}

// Without a contract named, each student's file gives its own; a line gives each faulty
// routine's first fault, and counts the others.
TEST_F(ClassCheck, ALineGivesEachFaultyRoutinesFirstFault)
{
    place(checked("crashes"), "fay/libOstrum.so");
    place(checked("morvane_single_into_y"), "gus/libMorvane.so");
    const CheckerRun run = check({"--seed", "1", classFolder() + "/fay", classFolder() + "/gus"});
    const std::vector<std::string> lines = run.lines();
    ASSERT_EQ(lines.size(), 5u) << run.output;
    EXPECT_EQ(lines[0], "Checking 2 libraries.");
    EXPECT_EQ(lines[2],
              "fay: chara fault: is not exported; xArray fault: is not exported; square fault: is not "
              "exported; transnumber fault: read through a null address; zArray fault: is not exported");
    EXPECT_EQ(lines[3],
              "gus: square fault: for x = 3, y, the third argument, holds 5.39306059e-315, not the 32-bit "
              "real 9 (Vandrel shows \" 5.3930605917843E-315\"): a 32-bit real in the first 4 of y's 8 "
              "bytes; store it widened (10 of 11 calls) (and 1 more fault)");
    EXPECT_EQ(run.status, 1);
}

// ---- JSON Lines ------------------------------------------------------------------------------

TEST_F(ClassCheck, JsonLinesGiveEveryFieldOfEachLibrary)
{
    const CheckerRun run = check(withStudents({"--seed", "1", "--format=json", "Pettrix"}));
    EXPECT_EQ(run.status, 2);
    const std::vector<json> objects = jsonLines(run.output);
    ASSERT_EQ(objects.size(), 5u) << run.output;
    const std::vector<std::string> keys{"path", "student",   "contract", "verdict", "problem",
                                        "seed", "sandboxed", "routines", "notes"};
    for (const json& object : objects) {
        std::vector<std::string> present;
        for (const auto& [key, value] : object.items())
            present.push_back(key);
        EXPECT_EQ(present, keys);
        EXPECT_EQ(object["contract"], "Pettrix");
        EXPECT_EQ(object["seed"], 1);
        EXPECT_EQ(object["sandboxed"], true);
    }
    const std::string folder = classFolder();
    struct Row {
        const char* student;
        std::string path;
        const char* verdict;
    };
    const Row rows[] = {{"ana", folder + "/ana/libPettrix.so", "ok"},
                        {"ben", folder + "/ben/build/libPettrix.so", "fault"},
                        {"cleo", folder + "/cleo/libPettrix.so", "fault"},
                        {"dan", "", "not checked"},
                        {"eve", folder + "/eve/libPettrix.so", "fault"}};
    for (std::size_t i = 0; i < objects.size(); ++i) {
        EXPECT_EQ(objects[i]["student"], rows[i].student);
        EXPECT_EQ(objects[i]["path"], rows[i].path);
        EXPECT_EQ(objects[i]["verdict"], rows[i].verdict);
    }
    EXPECT_EQ(objects[3]["problem"], "no library file of Pettrix in " + folder + "/dan");
    EXPECT_EQ(objects[3]["routines"], json::array());

    // ben's fault, every field of it, made from the typed finding.
    const json& routine = objects[1]["routines"][0];
    EXPECT_EQ(routine["routine"], "sumdll");
    EXPECT_EQ(routine["verdict"], "fault");
    EXPECT_EQ(routine["shows"], "message boxes read \"a+b=\", then \"-10\"");
    EXPECT_EQ(routine["output"], "");
    const json& findings = routine["findings"];
    ASSERT_EQ(findings.size(), 2u) << findings;
    const json& fault = findings[1];
    EXPECT_EQ(fault["severity"], "fault");
    EXPECT_EQ(fault["kind"], "sum-wrong");
    EXPECT_EQ(fault["argument"], "c");
    EXPECT_EQ(fault["position"], 3);
    EXPECT_EQ(fault["cause"], "");
    EXPECT_EQ(fault["values"], json::parse(R"([10, 20, -10, 30, "\"-10\""])"));
    EXPECT_EQ(fault["sentence"],
              "for a = 10 and b = 20, c, the third argument, holds -10, not 30 (Tolvan shows \"-10\") (7 of 9 pairs)");
    const json& note = findings[0];
    EXPECT_EQ(note["severity"], "note");
    EXPECT_EQ(note["kind"], "sum-outside-16-bits");

    // cleo's crash names no argument; eve's wrong pair is the one drawn from the seed.
    const json& crash = objects[2]["routines"][0]["findings"][0];
    EXPECT_EQ(crash["kind"], "wrote-through-null");
    EXPECT_EQ(crash["argument"], "");
    EXPECT_EQ(crash["position"], 0);
    EXPECT_EQ(objects[4]["routines"][0]["findings"][0]["values"], json::parse(R"([-2166, -7038, 0, -9204, "\"0\""])"));
}

// A cause goes by its name, with the argument it names.
TEST_F(ClassCheck, JsonNamesTheCause)
{
    const CheckerRun run = check({"--seed", "1", "--format=json", "Pettrix", checked("sum_stored_wide")});
    const std::vector<json> objects = jsonLines(run.output);
    ASSERT_EQ(objects.size(), 1u) << run.output;
    const json& fault = objects[0]["routines"][0]["findings"][0];
    EXPECT_EQ(fault["kind"], "wrote-past-end");
    EXPECT_EQ(fault["cause"], "taken-wider");
    EXPECT_EQ(fault["argument"], "c");
    EXPECT_EQ(fault["position"], 3);
    EXPECT_EQ(objects[0]["student"], "");
    EXPECT_EQ(run.status, 1);
}

// Each library checked in the class gets the verdict and the findings it gets checked alone.
TEST_F(ClassCheck, VerdictsAreThoseOfEachLibraryCheckedAlone)
{
    const CheckerRun together = check(withStudents({"--seed", "1", "--format=json", "Pettrix"}));
    const std::vector<json> inClass = jsonLines(together.output);
    ASSERT_EQ(inClass.size(), 5u);
    for (const json& library : inClass) {
        if (library["path"] == "")
            continue;
        SCOPED_TRACE(library["student"].get<std::string>());
        const CheckerRun alone = check({"--seed", "1", "--format=json", "Pettrix", library["path"]});
        const std::vector<json> read = jsonLines(alone.output);
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0]["verdict"], library["verdict"]);
        EXPECT_EQ(read[0]["routines"], library["routines"]);
        const CheckerRun inText = check({"--seed", "1", "Pettrix", library["path"]});
        EXPECT_EQ(inText.status, alone.status);
        EXPECT_EQ(inText.status, library["verdict"] == "ok" ? 0 : 1);
    }
}

// Libraries that write the checker's records on every descriptor they can reach, and then a
// wrong sum, an early exit or forged marks of calls made, checked beside right and wrong
// classmates at once: each gets a fault of its own, and every classmate the verdict it gets
// checked alone.
TEST_F(ClassCheck, SaboteursChangeNoVerdictButTheirOwn)
{
    place(checked("forges_wrong_sum"), "fay/libPettrix.so");
    place(checked("forges_and_exits"), "gus/libPettrix.so");
    place(checked("forges_marks"), "hal/libPettrix.so");
    std::vector<std::string> arguments = withStudents({"--seed", "1", "--format=json", "Pettrix"});
    for (const char* saboteur : {"fay", "gus", "hal"})
        arguments.push_back(classFolder() + "/" + saboteur);
    const CheckerRun together = check(arguments);
    const std::vector<json> inClass = jsonLines(together.output);
    ASSERT_EQ(inClass.size(), 8u) << together.output;
    const std::map<std::string, std::string> verdicts{{"ana", "ok"},    {"ben", "fault"}, {"cleo", "fault"},
                                                      {"dan", "not checked"}, {"eve", "fault"}, {"fay", "fault"},
                                                      {"gus", "fault"}, {"hal", "fault"}};
    for (const json& library : inClass) {
        const std::string student = library["student"].get<std::string>();
        SCOPED_TRACE(student);
        EXPECT_EQ(library["verdict"], verdicts.at(student));
        if (library["path"] == "")
            continue;
        const std::vector<json> alone = jsonLines(check({"--seed", "1", "--format=json", "Pettrix", library["path"]}).output);
        ASSERT_EQ(alone.size(), 1u);
        EXPECT_EQ(alone[0]["routines"], library["routines"]);
    }
    EXPECT_EQ(together.status, 2);
}

// ---- JUnit -----------------------------------------------------------------------------------

TEST_F(ClassCheck, JUnitFileHasASuiteEachLibraryACaseEachRoutineAFailureEachFault)
{
    const std::string file = scratch.file("report.xml");
    const CheckerRun run = check(withStudents({"--seed", "1", "--junit=" + file, "Pettrix"}));
    EXPECT_EQ(run.status, 2);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(file.c_str())) << fileBytes(file);
    const pugi::xml_node suites = document.child("testsuites");
    EXPECT_EQ(suites.attribute("tests").as_int(), 5);
    EXPECT_EQ(suites.attribute("failures").as_int(), 3);
    EXPECT_EQ(suites.attribute("errors").as_int(), 1);
    struct Row {
        const char* student;
        int failures;
        const char* type; // of its first failure or error
    };
    const Row rows[] = {{"ana", 0, ""},
                        {"ben", 1, "sum-wrong"},
                        {"cleo", 1, "wrote-through-null"},
                        {"dan", 0, "not checked"},
                        {"eve", 1, "sum-wrong"}};
    std::size_t suite = 0;
    for (const pugi::xml_node node : suites.children("testsuite")) {
        ASSERT_LT(suite, std::size(rows));
        const Row& row = rows[suite++];
        SCOPED_TRACE(row.student);
        EXPECT_STREQ(node.attribute("name").value(), row.student);
        EXPECT_EQ(node.attribute("failures").as_int(), row.failures);
        const pugi::xml_node testCase = node.child("testcase");
        EXPECT_STREQ(testCase.attribute("name").value(), std::string(row.student) == "dan" ? "load" : "sumdll");
        const pugi::xml_node said = testCase.child(std::string(row.student) == "dan" ? "error" : "failure");
        EXPECT_STREQ(said.attribute("type").value(), row.type);
        EXPECT_STREQ(
            node.child("properties").find_child_by_attribute("property", "name", "seed").attribute("value").value(),
            "1");
    }
    EXPECT_EQ(suite, std::size(rows));
    const pugi::xml_node eve = suites.find_child_by_attribute("testsuite", "name", "eve");
    EXPECT_EQ(std::string(eve.child("testcase").child("failure").text().get()), learnedFault);
}

// A JUnit file that cannot be written is said, and the run counts as not checked.
TEST_F(ClassCheck, SaysWhenTheJUnitFileCannotBeWritten)
{
    const std::string file = scratch.file("nowhere/report.xml");
    const CheckerRun run = check(withStudents({"--seed", "1", "--junit=" + file, "Pettrix"}));
    EXPECT_EQ(run.errors, "routine-check: cannot write the JUnit report " + file + ": No such file or directory\n");
    EXPECT_EQ(run.status, 2);
    const CheckerRun single = check({"--seed", "1", "--junit=" + file, "Pettrix", SAMPLE_PETTRIX_C});
    EXPECT_EQ(single.errors, run.errors);
    EXPECT_EQ(single.status, 2);
}

// --help names the class and every option of it.
TEST_F(ClassCheck, HelpNamesTheClassAndItsOptions)
{
    const CheckerRun run = check({"--help"});
    for (const char* said : {"       routine-check [OPTIONS] [LIBRARY] PATH...\n", "  --seed N ", "  --format=json ",
                             "  --junit=FILE ", "  --no-sandbox ",
                             "For a class: 0 when every library is ok, 1 when any has a fault,\n2 when any could not "
                             "be checked."})
        EXPECT_THAT(run.output, testing::HasSubstr(said));
}

// Ended by a signal, a class ends each library's check by it, and then itself.
TEST_F(ClassCheck, EndedBySignalEndsEveryCheck)
{
    place(checked("hangs"), "fay/libPettrix.so");
    place(checked("hangs"), "gus/libPettrix.so");
    std::vector<std::string> words{CHECKER,   "--time-limit",         "60",
                                   "Pettrix", classFolder() + "/fay", classFolder() + "/gus"};
    const pid_t checker = startWithOutput(words, {}, "/dev/null", "/dev/null");
    ASSERT_GT(checker, 0);

    // The checks of both libraries, once each runs its library's process.
    const auto childrenOf = [](pid_t parent) {
        std::vector<pid_t> children;
        std::istringstream in(
            fileBytes("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children"));
        for (pid_t child; in >> child;)
            children.push_back(child);
        return children;
    };
    std::vector<pid_t> checks;
    for (int i = 0; i < 2000; ++i) {
        checks = childrenOf(checker);
        std::size_t running = 0;
        for (const pid_t check : checks)
            running += childrenOf(check).empty() ? 0 : 1;
        if (checks.size() == 2 && running == 2)
            break;
        usleep(10000);
    }
    ASSERT_EQ(checks.size(), 2u);
    kill(checker, SIGTERM);
    int status = 0;
    waitpid(checker, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    for (const pid_t check : checks)
        EXPECT_FALSE(fs::exists("/proc/" + std::to_string(check) + "/task")) << "a check still runs";
}

// ---- The sandbox -----------------------------------------------------------------------------

TEST_F(ClassCheck, IsRefusedWithoutASandboxUnlessTold)
{
    const std::vector<std::string> noSandbox{"ROUTINE_CHECK_TEST_NO_SANDBOX=no namespaces here"};
    const CheckerRun refused = check(withStudents({"--seed", "1", "Pettrix"}), noSandbox);
    EXPECT_EQ(refused.output, "");
    EXPECT_EQ(refused.errors,
              "routine-check: a class is checked only in the sandbox, and none can be made here: no "
              "namespaces here (--no-sandbox checks it all the same, the students' code running with "
              "your rights)\n");
    EXPECT_EQ(refused.status, 2);

    const CheckerRun told = check(withStudents({"--seed", "1", "--no-sandbox", "Pettrix"}), noSandbox);
    ASSERT_GE(told.lines().size(), 3u);
    EXPECT_EQ(told.lines()[2], "Not sandboxed: no namespaces here; the library's code runs with your rights.");
    EXPECT_EQ(told.lines().back(), "summary: 5 libraries, 1 ok, 3 with a fault, 1 could not be checked");
    EXPECT_EQ(told.status, 2);
    const CheckerRun inJson = check(withStudents({"--seed", "1", "--no-sandbox", "--format=json", "Pettrix"}), noSandbox);
    for (const json& library : jsonLines(inJson.output))
        if (library["path"] != "") {
            EXPECT_EQ(library["sandboxed"], false);
            EXPECT_EQ(library["notes"], json::array({"not sandboxed: no namespaces here"}));
        }

    // --no-sandbox reaches each library's check.
    const CheckerRun toEach = check(withStudents({"--seed", "1", "--no-sandbox", "--format=json", "Pettrix"}));
    for (const json& library : jsonLines(toEach.output)) {
        if (library["path"] != "") {
            EXPECT_EQ(library["notes"], json::array({"not sandboxed: --no-sandbox was given"}));
        }
    }

    // One library goes on, and says so.
    const CheckerRun single = check({"--seed", "1", "Pettrix", SAMPLE_PETTRIX_C}, noSandbox);
    ASSERT_GE(single.lines().size(), 3u);
    EXPECT_EQ(single.lines()[2], "Not sandboxed: no namespaces here; the library's code runs with your rights.");
    EXPECT_EQ(single.status, 0);
    // --no-sandbox where one can be made is said too.
    const CheckerRun asked = check({"--seed", "1", "--no-sandbox", "Pettrix", SAMPLE_PETTRIX_C});
    ASSERT_GE(asked.lines().size(), 3u);
    EXPECT_EQ(asked.lines()[2], "Not sandboxed: --no-sandbox was given; the library's code runs with your rights.");
}

// The namespaces a run made, as strace saw them: a trial whether a sandbox can be made makes
// every namespace in one unshare; bubblewrap makes them in a clone, and unshares no more than a
// user namespace.
struct NamespacesMade {
    int trials = 0;
    int sandboxes = 0;
};

// routine-check with `arguments` under strace, and the namespaces it made.
NamespacesMade namespacesMade(const std::vector<std::string>& arguments, CheckerRun& run)
{
    NamespacesMade made;
    if (!fs::exists(STRACE)) {
        ADD_FAILURE() << "strace is missing (Debian package strace)";
        return made;
    }
    const std::string log = fs::absolute("namespaces.log").string();
    // The leak check at exit cannot run under a tracer.
    run = check(arguments, {"ASAN_OPTIONS=detect_leaks=0"}, {STRACE, "-f", "-qq", "-e", "trace=unshare,clone", "-o", log});
    std::istringstream calls(fileBytes(log));
    for (std::string call; std::getline(calls, call);) {
        if (call.find("CLONE_NEWNET") == std::string::npos)
            continue;
        made.trials += call.find(" unshare(") != std::string::npos ? 1 : 0;
        made.sandboxes += call.find(" clone(") != std::string::npos ? 1 : 0;
    }
    fs::remove(log);
    return made;
}

// The class finds once that a sandbox can be made, and its checks do not try again: each makes
// only the sandbox it runs in.
TEST_F(ClassCheck, TriesOnceWhetherASandboxCanBeMade)
{
    CheckerRun run;
    const NamespacesMade made = namespacesMade(withStudents({"--seed", "1", "Pettrix"}), run);
    ASSERT_FALSE(run.lines().empty()) << run.errors;
    EXPECT_EQ(run.lines().back(), "summary: 5 libraries, 1 ok, 3 with a fault, 1 could not be checked");
    EXPECT_EQ(made.trials, 1);
    EXPECT_EQ(made.sandboxes, 4) << "a sandbox for each library found, in dan's folder none";
}

// One library's check tries the sandbox by making it, and makes no other namespaces.
TEST_F(ClassCheck, OneLibraryMakesItsSandboxWithoutATrial)
{
    CheckerRun run;
    const NamespacesMade made = namespacesMade({"--seed", "1", "Pettrix", SAMPLE_PETTRIX_C}, run);
    EXPECT_EQ(run.lines().back(), "summary: 1 routine, 1 ok, 0 with a fault") << run.errors;
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(made.trials, 0);
    EXPECT_EQ(made.sandboxes, 1);
}

// Where no namespace can be made (a user namespace of its own allows no more in it), one
// library's check finds so when its sandbox is not made, and goes on without one, with the
// system's reason; a class's check does not, and a class is refused with the same reason.
TEST_F(ClassCheck, OneLibraryGoesOnWhereNoSandboxCanBeMade)
{
    const std::vector<std::string> withoutNamespaces{
        "/usr/bin/unshare", "--user", "--map-root-user", "sh", "-c",
        "echo 0 > /proc/sys/user/max_user_namespaces && exec \"$0\" \"$@\""};
    const std::string reason = "this system does not let bubblewrap make namespaces: ";

    const CheckerRun single = check({"--seed", "1", "Pettrix", SAMPLE_PETTRIX_C}, {}, withoutNamespaces);
    ASSERT_GE(single.lines().size(), 4u) << single.errors;
    EXPECT_THAT(single.lines()[2], testing::StartsWith("Not sandboxed: " + reason));
    EXPECT_THAT(single.lines()[2], testing::EndsWith("; the library's code runs with your rights."));
    EXPECT_EQ(single.lines()[3], "sumdll ok");
    EXPECT_EQ(single.status, 0);

    const CheckerRun inJson =
        check({"--seed", "1", "--format=json", "Pettrix", SAMPLE_PETTRIX_C}, {}, withoutNamespaces);
    const std::vector<json> libraries = jsonLines(inJson.output);
    ASSERT_EQ(libraries.size(), 1u) << inJson.errors;
    EXPECT_EQ(libraries[0]["sandboxed"], false);
    EXPECT_EQ(libraries[0]["verdict"], "ok");
    ASSERT_EQ(libraries[0]["notes"].size(), 1u);
    EXPECT_THAT(libraries[0]["notes"][0].get<std::string>(), testing::StartsWith("not sandboxed: " + reason));

    // A class's check, told that the class found a sandbox can be made, never goes on without
    // its own.
    const CheckerRun ofAClass = check({"--seed", "1", "--format=json", "Pettrix", SAMPLE_PETTRIX_C},
                                    {"ROUTINE_CHECK_SANDBOX_TRIED=1"}, withoutNamespaces);
    const std::vector<json> notRun = jsonLines(ofAClass.output);
    ASSERT_EQ(notRun.size(), 1u) << ofAClass.errors;
    EXPECT_EQ(notRun[0]["verdict"], "not checked");
    EXPECT_EQ(notRun[0]["sandboxed"], true);
    EXPECT_EQ(notRun[0]["routines"], json::array());
    EXPECT_EQ(ofAClass.status, 2);

    const CheckerRun refused = check(withStudents({"--seed", "1", "Pettrix"}), {}, withoutNamespaces);
    EXPECT_EQ(refused.output, "");
    EXPECT_THAT(refused.errors, testing::StartsWith("routine-check: a class is checked only in the sandbox, and none "
                                                    "can be made here: " + reason));
    EXPECT_EQ(refused.status, 2);
}

// ---- The seed --------------------------------------------------------------------------------

TEST_F(ClassCheck, ASeedRepeatsARunExactlyAndTheClassSharesOne)
{
    const CheckerRun first = check({"--seed", "42", "Pettrix", checked("sum_learned_pairs")});
    const CheckerRun again = check({"--seed", "42", "Pettrix", checked("sum_learned_pairs")});
    EXPECT_EQ(first.output, again.output);
    EXPECT_EQ(first.lines()[1], "Seed: 42 (give --seed 42 to repeat this run).");
    const CheckerRun other = check({"--seed", "43", "Pettrix", checked("sum_learned_pairs")});
    EXPECT_NE(first.lines()[2], other.lines()[2]) << "two seeds drew the same pair";

    // Without --seed, a seed of its own, which repeats the run.
    const CheckerRun fresh = check({"Pettrix", checked("sum_learned_pairs")});
    const std::string seedLine = fresh.lines().at(1);
    ASSERT_THAT(seedLine, testing::MatchesRegex("Seed: [0-9]+ \\(give --seed [0-9]+ to repeat this run\\)\\."));
    const std::string seed = seedLine.substr(6, seedLine.find(' ', 6) - 6);
    EXPECT_EQ(check({"--seed", seed, "Pettrix", checked("sum_learned_pairs")}).output, fresh.output);

    // A class: the seed of its second line in every library's report, and the same findings.
    const CheckerRun inClass = check(withStudents({"--format=json", "Pettrix"}));
    const std::vector<json> objects = jsonLines(inClass.output);
    ASSERT_EQ(objects.size(), 5u);
    const json classSeed = objects[0]["seed"];
    ASSERT_TRUE(classSeed.is_number_unsigned());
    for (const json& library : objects)
        EXPECT_EQ(library["seed"], classSeed);
    const CheckerRun repeated = check(
        withStudents({"--format=json", "--seed", std::to_string(classSeed.get<uint64_t>()), "Pettrix"}));
    EXPECT_EQ(repeated.output, inClass.output);
}

} // namespace
