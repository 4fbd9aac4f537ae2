// routine-check: finds what a routine library does wrong, in words, before a program meets it.
//
//     routine-check [OPTIONS] LIBRARY [FILE]
//     routine-check [OPTIONS] FILE
//     routine-check [OPTIONS] [LIBRARY] PATH...     (a class: several PATHs, or a folder)
//     routine-check --help | --version
//
// For one library: one line per routine of the contract, in the contract's order: "name ok",
// or "name fault: " and a sentence, or "name note: " and a sentence, then "name shows: " and
// what the program's window shows after the first call, then "name printed: " and each line
// the routine printed; a summary line last. Exit status 0 when no routine has a fault, 1 when
// any has, 2 when nothing or a routine could not be checked. With --format=json, one line of
// JSON instead. A class is checked in command/class_check.h.
#include "class_check.h"
#include "drawn_inputs.h"
#include "library_results.h"
#include "options.h"
#include "sandboxing.h"
#include "what_to_check.h"
#include "work_folder.h"

#include "library_process.h"
#include "contracts.h"
#include "report_lines.h"
#include "reports.h"
#include "routine_checker.h"
#include "routine_serving.h"
#include "sandbox.h"

#include "printable_text.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int noFault = 0;
constexpr int someFault = 1;
constexpr int nothingChecked = 2;

// A directory of its own for the routines to run in, so that a routine that writes a file
// (Morvane writes square.dat) leaves nothing behind; removed with everything in it.
class WorkingDirectory {
public:
    WorkingDirectory()
    {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "routine-check-XXXXXX").string();
        if (!error && mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~WorkingDirectory() { remove(); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    const std::string& path() const { return path_; }

    // Most routines leave it empty, and one rmdir is all that takes.
    bool removeIfEmpty()
    {
        if (!path_.empty() && rmdir(path_.c_str()) == 0)
            path_.clear();
        return path_.empty();
    }

    // A directory that a routine made impossible to remove is named, so that it can be
    // removed by hand.
    void remove()
    {
        if (removeIfEmpty())
            return;
        const std::string path = std::exchange(path_, "");
        std::string problem;
        if (!removeWorkFolder(path, problem))
            std::cerr << "routine-check: could not remove the temporary directory " << printable(path) << ": "
                      << printable(problem) << "\n";
    }

private:
    std::string path_;
};

int fail(const std::string& sentence)
{
    std::cerr << "routine-check: " << sentence << "\n";
    return nothingChecked;
}

// The end of a check of one library: with --format=json its line, and with --junit its file.
int report(const Options& options, const LibraryResult& result, int status)
{
    if (options.format == Format::Json)
        std::cout << jsonLine(result) << "\n";
    std::string problem;
    if (!options.junit.empty() && !writeJunit(options.junit, {result}, problem))
        return fail(problem);
    return status;
}

// A check that gives no report of the routines: the sentence on standard error, or with
// --format=json in the library's line.
int notChecked(const Options& options, LibraryResult& result, const std::string& sentence,
               const std::vector<std::string>& said = {})
{
    result.verdict = Verdict::NotChecked;
    result.problem = sentence;
    result.notes.insert(result.notes.end(), said.begin(), said.end());
    if (options.format == Format::Text) {
        fail(sentence);
        for (const std::string& line : said)
            std::cerr << "routine-check: " << line << "\n";
    }
    return report(options, result, nothingChecked);
}

// One library, checked in a working directory of its own; every file and directory it made is
// gone when it returns.
int checkOneLibrary(const Options& options, const Contract& contract, const std::vector<std::string>& paths)
{
    const bool text = options.format == Format::Text;
    LibraryResult result;
    result.contract = contract.name;
    result.seed = inputSeed();
    const FileToCheck file = fileToCheck(contract, paths);
    result.path = file.candidate;
    if (const std::optional<std::string> problem = problemBeforeLoading(contract, file))
        return notChecked(options, result, *problem);

    // The sandbox is tried by making it, which takes no process more than the sandbox's own:
    // only where none was made is it asked why, and then the check goes on without it, and says
    // so. None of the library's code ran in a sandbox that was not made. With --no-sandbox, a
    // machine that cannot make one still gives its own reason.
    std::optional<std::string> notSandboxed =
        options.noSandbox ? whyNotSandboxed(true) : sandboxMissingUntried();
    std::optional<WorkingDirectory> directory;
    std::unique_ptr<RoutineChecker> checker;
    LibraryFacts facts;
    for (;;) {
        result.sandboxed = !notSandboxed;
        if (notSandboxed)
            result.notes = {"not sandboxed: " + *notSandboxed};
        // Sandboxed, the routines run in a work folder in the sandbox's memory, and nothing is
        // made on the machine; unsandboxed, in a temporary directory of the machine's.
        if (notSandboxed && !directory) {
            directory.emplace();
            if (directory->path().empty())
                return notChecked(options, result, "cannot make a temporary directory for the routines to run in");
        }
        checker = std::make_unique<RoutineChecker>(contract, directory ? directory->path() : "", options.timeLimit,
                                                   options.show, !notSandboxed);
        facts = checker->load(file.candidate);
        if (notSandboxed || !facts.sandboxNotMade || interruptingSignal() || !(notSandboxed = sandboxMissing()))
            break;
    }
    if (interruptingSignal())
        return nothingChecked;
    // What the start-up code printed may say why it did not load.
    const std::vector<std::string> printedWhileLoading = printedLines(contract.name, " while loading", facts.printed);
    if (!facts.loaded)
        return notChecked(options, result, loadProblem(contract, file, facts), printedWhileLoading);
    result.path = facts.file;
    if (text) {
        std::cout << "Checking " << contract.name << " in " << printable(facts.file) << file.how << ".\n";
        if (contract.drawsInputs)
            std::cout << "Seed: " << inputSeed() << " (give --seed " << inputSeed() << " to repeat this run).\n";
        if (notSandboxed)
            std::cout << notSandboxedLine(*notSandboxed) << "\n";
        for (const std::string& line : printedWhileLoading)
            std::cout << line << "\n";
    }
    result.notes.insert(result.notes.end(), printedWhileLoading.begin(), printedWhileLoading.end());

    // Each routine's lines as soon as it is checked, so that a slow library shows its progress.
    int withFault = 0;
    int unchecked = 0; // routines the checker could not check, for a failure of its own
    std::vector<std::string> explained; // exports named as the cause of a missing routine
    for (const RoutineCheck& routine : contract.routines) {
        const RoutineReport routineReport = checkRoutine(*checker, contract, facts, routine, explained);
        if (interruptingSignal())
            return nothingChecked;
        withFault += hasFault(routineReport) ? 1 : 0;
        unchecked += !hasFault(routineReport) && has(routineReport, Severity::Unchecked) ? 1 : 0;
        result.routines.push_back(routineResult(routine.name, routineReport));
        if (text)
            printRoutine(std::cout, contract, routine.name, routineReport);
    }
    const std::optional<std::string> exports = exportsNote(contract, facts, explained);
    if (exports)
        result.notes.push_back(*exports);
    if (text) {
        if (exports)
            std::cout << contract.name << " note: " << *exports << "\n";
        std::cout << summaryLine(contract, withFault, unchecked) << "\n";
    }
    // An empty directory goes while the processes end; one a routine wrote into, once nothing
    // is left to write there.
    checker->stop();
    if (directory && !directory->removeIfEmpty()) {
        checker->waitForTheEnd();
        directory->remove();
    }
    result.verdict = unchecked > 0 ? Verdict::NotChecked : withFault > 0 ? Verdict::Fault : Verdict::Ok;
    for (const RoutineResult& routine : result.routines)
        if (routine.verdict == Verdict::NotChecked && result.problem.empty())
            for (const FindingRecord& finding : routine.findings)
                if (finding.severity == Severity::Unchecked && result.problem.empty())
                    result.problem = routine.name + ": " + finding.sentence;
    return report(options, result, unchecked > 0 ? nothingChecked : withFault ? someFault : noFault);
}

} // namespace

// What the command line asks: help, the version, one library, or a class.
int checkLibrary(int argc, char** argv)
{
    Options options;
    if (const std::optional<std::string> problem = readOptions(argc, argv, options))
        return fail(*problem);
    if (options.help) {
        std::cout << helpText;
        return noFault;
    }
    if (options.version) {
        std::cout << "routine-check (Routine Crossings) " ROUTINE_CHECK_VERSION "\n";
        return noFault;
    }
    // Set before any process of the check starts, so that each draws the same inputs.
    setInputSeed(options.seed ? *options.seed : freshSeed());

    const Asked asked = whatIsAsked(options.operands);
    if (!asked.problem.empty())
        return fail(asked.problem + "\n" + usage);
    if (asked.aClass)
        return checkClass(options, asked.contract, asked.paths, inputSeed());
    return checkOneLibrary(options, *asked.contract, asked.paths);
}

int main(int argc, char** argv)
{
    // Started again by itself as the warden of a sandbox: no option of a user's.
    if (argc > 1 && std::string_view(argv[1]) == wardenOption)
        return runWarden(argc, argv);
    openClosedStandardStreams();
    stopOnInterrupt();
    int status = nothingChecked;
    try {
        status = checkLibrary(argc, argv);
    } catch (const std::bad_alloc&) {
        status = fail("could not be checked: the checker ran out of memory");
    }
    // The last lines go out now, while a reader that stopped reading can still be seen.
    std::fflush(nullptr);
    // Interrupted: cleaned up, and ended by the same signal, as the shell expects, with no
    // core file for a quit.
    if (const int signal = interruptingSignal()) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        std::signal(signal, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        sigprocmask(SIG_UNBLOCK, &only, nullptr);
        std::raise(signal);
    }
    return status;
}
