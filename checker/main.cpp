// routine-check: finds what a routine library does wrong, in words, before a program meets it.
//
//     routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]
//     routine-check [--show] [--time-limit SECONDS] FILE
//     routine-check --help | --version
//
// One line per routine of the contract, in the contract's order: "name ok", or "name fault: "
// and a sentence, or "name note: " and a sentence, then "name shows: " and what the program's
// window shows after the first call, then "name printed: " and each line the routine printed;
// a summary line last. Exit status 0 when no routine has a fault, 1 when any has, 2 when
// nothing or a routine could not be checked.
#include "library_exports.h"
#include "library_process.h"
#include "contracts.h"
#include "export_causes.h"
#include "report_lines.h"
#include "routine_checker.h"
#include "routine_serving.h"
#include "sandbox.h"

#include "library_file.h"
#include "printable_text.h"
#include "routine_binding.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <new>
#include <optional>
#include <iostream>
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

constexpr double defaultTimeLimit = 2;

constexpr const char* usage = "usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]\n"
                              "       routine-check [--show] [--time-limit SECONDS] FILE";

constexpr const char* help = R"(usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]
       routine-check [--show] [--time-limit SECONDS] FILE
       routine-check --help | --version

Checks a routine library against the contract of the program that calls it. The
library is loaded once, as the program loads it. Each routine is called exactly as
its program calls it, twice, one routine after another in a process started from the
loaded library (after a routine with a finding, the next starts in a fresh one),
with every argument against a page that may not be touched; what the contract says
is only read lies in read-only memory. Then it is called again for the results the
contract fixes: Pettrix's sum for more pairs, Morvane's square and its trace for
each edge case under each rounding direction, Ostrum's square read whole, and a
second click with the program's own values.

Each routine gets one line: "ok", or "fault:" or "note:" and a sentence that says
what it did to which argument, and a line "shows:" with what the program's window
then shows. "ok" means the routine wrote only where it may and every result the
contract fixes is right; what it computes where the contract leaves it free (what
each Ostrum routine computes) is not judged. What a routine prints on its standard
output and error is quoted after its lines ("printed:"), at most 10 lines of it.

  LIBRARY  Ostrum (called by Korvik), Morvane (Vandrel) or Pettrix (Tolvan), in any
           letter case, with or without a trailing .dll
  FILE     the library file to check. Without it, the file the program would load:
           the one beside routine-check, else the one the system's library search
           finds; the first line says which. Alone, a file named for its library
           (libOstrum.so, Ostrum.dll) is checked against that library's contract.

Options:
  --show                after each routine's lines, list the bytes of each argument
                        before and after its first call, as the teaching pages do;
                        after it, "changed: " marks a line the call changed
  --time-limit SECONDS  how much processor time the calls of one routine may use
                        (default 2); by the clock they may take ten times as
                        long, and at least 5 seconds
  --help                show this text
  --version             show the version of routine-check

A routine's process may take at most 4 GiB of address space, and each routine as
many seconds of processor time as the time limit; a routine that runs into either
is told so. A routine the checker could not check, for a failure of its own, gets
"could not be checked:" and a sentence, never a fault.

Exit status: 0 when no routine has a fault, 1 when any has, 2 when nothing could be
checked (an unknown library name, a file that does not load) or a routine could
not be checked.
)";

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
        std::error_code error;
        if (std::filesystem::remove_all(path, error) == static_cast<std::uintmax_t>(-1))
            std::cerr << "routine-check: could not remove the temporary directory " << printable(path) << ": "
                      << error.message() << "\n";
    }

private:
    std::string path_;
};

int fail(const std::string& sentence)
{
    std::cerr << "routine-check: " << sentence << "\n";
    return nothingChecked;
}

bool readTimeLimit(const std::string& text, double& seconds)
{
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && seconds > 0 && seconds <= 3600;
}

// ---- Options ---------------------------------------------------------------------------------

struct Options {
    bool help = false;
    bool version = false;
    bool show = false;
    double timeLimit = defaultTimeLimit;
    std::vector<std::string> operands; // LIBRARY, then FILE when named
};

// The options of the command line, or the sentence that says what is wrong with them. What
// follows --help or --version is not read.
std::optional<std::string> readOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "--version") {
            (argument == "--help" ? options.help : options.version) = true;
            return std::nullopt;
        }
        if (argument == "--show") {
            options.show = true;
        } else if (argument == "--time-limit") {
            if (i + 1 == argc || !readTimeLimit(argv[i + 1], options.timeLimit))
                return "--time-limit needs a number of seconds greater than 0\n" + std::string(usage);
            ++i;
        } else if (argument.starts_with("-") && argument != "-") {
            return "unknown option " + argument + "\n" + usage;
        } else {
            options.operands.push_back(argument);
        }
    }
    if (options.operands.empty() || options.operands.size() > 2)
        return std::string(options.operands.empty() ? "no library named" : "too many arguments") + "\n" + usage;
    return std::nullopt;
}

// ---- The file --------------------------------------------------------------------------------

struct FileToCheck {
    std::string candidate; // a path, or the bare file name for the system's search
    std::string how;       // how it was chosen, for the first line; empty when named
    bool found = false;    // chosen as the program would choose it, not named
};

// The file named, else the file the program would load: beside the program first, else
// through the system's search, by the same name. Here the checker stands where the program
// would.
FileToCheck fileToCheck(const Contract& contract, const Options& options)
{
    if (options.operands.size() == 2)
        return {std::filesystem::absolute(options.operands[1]).lexically_normal().string(), "", false};
    return {libraryToLoad(contract.library), std::string(", the file ") + contract.program + " would load", true};
}

// A file named or found beside the checker is looked at before the loader opens it: the
// loader waits forever on a FIFO and faults on a file cut short.
std::optional<std::string> problemBeforeLoading(const Contract& contract, const FileToCheck& file)
{
    if (file.candidate == libraryFileName(contract.library))
        return std::nullopt;
    if (const std::optional<std::string> problem = libraryFileProblem(file.candidate))
        return printable(file.candidate) + " does not load: " + *problem;
    return std::nullopt;
}

// Why the file did not load; for the file the system's search was to find, where it looked.
std::string loadProblem(const Contract& contract, const FileToCheck& file, const LibraryFacts& facts)
{
    const std::string fileName = libraryFileName(contract.library);
    if (file.found && file.candidate == fileName)
        return facts.problem + " (looked for " + fileName + " beside routine-check in " + printable(programDirectory()) +
            ", then through the system's library search)";
    return facts.problem;
}

} // namespace

// The whole check; every file and directory it made is gone when it returns.
int checkLibrary(int argc, char** argv)
{
    Options options;
    if (const std::optional<std::string> problem = readOptions(argc, argv, options))
        return fail(*problem);
    if (options.help) {
        std::cout << help;
        return noFault;
    }
    if (options.version) {
        std::cout << "routine-check (Routine Crossings) " ROUTINE_CHECK_VERSION "\n";
        return noFault;
    }

    // A library file alone names its contract ("./libOstrum.so", "Pettrix.dll").
    const Contract* contract = contractNamed(options.operands[0]);
    if (!contract && options.operands.size() == 1)
        if ((contract = contractOfFile(options.operands[0])))
            options.operands.push_back(options.operands[0]);
    if (!contract)
        return fail("unknown library " + options.operands[0] + ": the programs call Ostrum, Morvane and Pettrix\n" +
                    usage);

    const FileToCheck file = fileToCheck(*contract, options);
    if (const std::optional<std::string> problem = problemBeforeLoading(*contract, file))
        return fail(*problem);

    // Sandboxed, the routines run in a work folder in the sandbox's memory, and nothing is made
    // on the machine; where no sandbox can be made, in a temporary directory of the machine's.
    const std::optional<std::string> unsandboxed = sandboxUnavailable();
    if (unsandboxed)
        std::cerr << "routine-check: not sandboxed: " << *unsandboxed << "\n";
    std::optional<WorkingDirectory> directory;
    if (unsandboxed) {
        directory.emplace();
        if (directory->path().empty())
            return fail("cannot make a temporary directory for the routines to run in");
    }
    RoutineChecker checker(*contract, directory ? directory->path() : "", options.timeLimit, options.show,
                           !unsandboxed);

    const LibraryFacts facts = checker.load(file.candidate);
    if (interruptingSignal())
        return nothingChecked;
    if (!facts.loaded) {
        const int status = fail(loadProblem(*contract, file, facts));
        // What the start-up code printed may say why.
        for (const std::string& line : printedLines(contract->name, " while loading", facts.printed))
            std::cerr << "routine-check: " << line << "\n";
        return status;
    }
    std::cout << "Checking " << contract->name << " in " << printable(facts.file) << file.how << ".\n";
    for (const std::string& line : printedLines(contract->name, " while loading", facts.printed))
        std::cout << line << "\n";

    // Each routine's lines as soon as it is checked, so that a slow library shows its progress.
    int withFault = 0;
    int unchecked = 0; // routines the checker could not check, for a failure of its own
    std::vector<std::string> explained; // exports named as the cause of a missing routine
    for (const RoutineCheck& routine : contract->routines) {
        const RoutineReport report = checkRoutine(checker, *contract, facts, routine, explained);
        if (interruptingSignal())
            return nothingChecked;
        withFault += hasFault(report) ? 1 : 0;
        unchecked += !hasFault(report) && has(report, Severity::Unchecked) ? 1 : 0;
        printRoutine(std::cout, *contract, routine.name, report);
    }
    printEnd(std::cout, *contract, facts, explained, withFault, unchecked);
    // An empty directory goes while the processes end; one a routine wrote into, once nothing
    // is left to write there.
    checker.stop();
    if (directory && !directory->removeIfEmpty()) {
        checker.waitForTheEnd();
        directory->remove();
    }
    if (unchecked > 0)
        return nothingChecked;
    return withFault ? someFault : noFault;
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
