// routine-check: finds what a routine library does wrong, in words, before a program meets it.
//
//     routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]
//     routine-check [--show] [--time-limit SECONDS] FILE
//
// One line per routine of the contract, in the contract's order: "name ok", or "name fault: "
// and a sentence, or "name note: " and a sentence, then "name shows: " and what the program's
// window shows after the first call; a summary line last. Exit status 0 when no
// routine has a fault, 1 when any has, 2 when nothing could be checked.
#include "child_process.h"
#include "contracts.h"
#include "export_causes.h"
#include "routine_checker.h"

#include "library_file.h"
#include "routine_binding.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int noFault = 0;
constexpr int someFault = 1;
constexpr int nothingChecked = 2;

constexpr double defaultTimeLimit = 2;

constexpr const char* usage = "usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]\n"
                              "       routine-check [--show] [--time-limit SECONDS] FILE";

constexpr const char* help = R"(usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]
       routine-check [--show] [--time-limit SECONDS] FILE

Checks a routine library against the contract of the program that calls it. Each
routine is called exactly as its program calls it, twice, in a process of its own,
with every argument against a page that may not be touched; what the contract says
is only read lies in read-only memory. Then it is called again for the results the
contract fixes: Pettrix's sum for more pairs, Morvane's square and its trace for
each edge case under each rounding direction, Ostrum's square read whole, and a
second click with the program's own values.

Each routine gets one line: "ok", or "fault:" or "note:" and a sentence that says
what it did to which argument, and a line "shows:" with what the program's window
then shows. "ok" means the routine wrote only where it may and every result the
contract fixes is right; what it computes where the contract leaves it free (what
each Ostrum routine computes) is not judged.

  LIBRARY  Ostrum (called by Korvik), Morvane (Vandrel) or Pettrix (Tolvan), in any
           letter case, with or without a trailing .dll
  FILE     the library file to check. Without it, the file the program would load:
           the one beside routine-check, else the one the system's library search
           finds; the first line says which. Alone, a file named for its library
           (libOstrum.so, Ostrum.dll) is checked against that library's contract.

Options:
  --show                after each routine's lines, list the bytes of each argument
                        before and after its first call, as the teaching pages do
  --time-limit SECONDS  how long the calls of one routine may take (default 2)
  --help                show this text

Exit status: 0 when no routine has a fault, 1 when any has, 2 when nothing could be
checked (an unknown library name, a file that does not load).
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
    ~WorkingDirectory()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

int fail(const std::string& sentence)
{
    std::cerr << "routine-check: " << sentence << "\n";
    return nothingChecked;
}

// The first few names, readable, and how many more there are.
std::string someNames(const std::vector<std::string>& names)
{
    constexpr std::size_t shown = 5;
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < shown; ++i)
        text += (i == 0 ? "" : ", ") + readableName(names[i]);
    if (names.size() > shown)
        text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

bool readTimeLimit(const std::string& text, double& seconds)
{
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && seconds > 0 && seconds <= 3600;
}

} // namespace

// The whole check; every file and directory it made is gone when it returns.
int checkLibrary(int argc, char** argv)
{
    double timeLimit = defaultTimeLimit;
    bool show = false;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help") {
            std::cout << help;
            return noFault;
        }
        if (argument == "--show") {
            show = true;
        } else if (argument == "--time-limit") {
            if (i + 1 == argc || !readTimeLimit(argv[i + 1], timeLimit))
                return fail("--time-limit needs a number of seconds greater than 0\n" + std::string(usage));
            ++i;
        } else if (argument.starts_with("-") && argument != "-") {
            return fail("unknown option " + argument + "\n" + usage);
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.empty() || operands.size() > 2)
        return fail(std::string(operands.empty() ? "no library named" : "too many arguments") + "\n" + usage);

    // A library file alone names its contract ("./libOstrum.so", "Pettrix.dll").
    const Contract* contract = contractNamed(operands[0]);
    if (!contract && operands.size() == 1)
        if ((contract = contractOfFile(operands[0])))
            operands.push_back(operands[0]);
    if (!contract)
        return fail("unknown library " + operands[0] + ": the programs call Ostrum, Morvane and Pettrix\n" + usage);

    // The file the program would load: beside the program first, else through the system's
    // search, by the same name. Here the checker stands where the program would.
    const std::string fileName = libraryFileName(contract->library);
    std::string candidate;
    std::string how;
    if (operands.size() == 2) {
        candidate = std::filesystem::absolute(operands[1]).lexically_normal().string();
    } else {
        candidate = libraryToLoad(contract->library);
        how = std::string(", the file ") + contract->program + " would load";
    }

    // A file named or found beside the checker is looked at before the loader opens it: the
    // loader waits forever on a FIFO and faults on a file cut short.
    if (candidate != fileName)
        if (const std::optional<std::string> problem = libraryFileProblem(candidate))
            return fail(candidate + " does not load: " + *problem);

    WorkingDirectory directory;
    if (directory.path().empty())
        return fail("cannot make a temporary directory for the routines to run in");
    const RoutineChecker checker(*contract, directory.path(), timeLimit, show);

    const LibraryFacts facts = checker.load(candidate);
    if (interruptingSignal())
        return nothingChecked;
    if (!facts.loaded) {
        if (operands.size() == 1 && candidate == fileName)
            return fail(facts.problem + " (looked for " + fileName + " beside routine-check in " + programDirectory() +
                        ", then through the system's library search)");
        return fail(facts.problem);
    }
    std::cout << "Checking " << contract->name << " in " << facts.file << how << ".\n";

    int withFault = 0;
    std::vector<std::string> explained; // exports named as the cause of a missing routine
    for (const RoutineCheck& routine : contract->routines) {
        RoutineReport report;
        std::vector<Finding>& findings = report.findings;
        const bool exported = std::find(facts.exported.begin(), facts.exported.end(), routine.name) !=
            facts.exported.end();
        if (exported)
            report = checker.check(facts.file, routine);
        if (interruptingSignal())
            return nothingChecked;
        if (!exported) {
            const NameCause cause = missingNameCause(routine.name, facts.alsoExported);
            findings.push_back({true, "is not exported" + cause.clause});
            explained.push_back(cause.exported);
        }

        const bool faulty = std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.fault; });
        withFault += faulty ? 1 : 0;
        if (!faulty)
            std::cout << routine.name << " ok\n";
        for (const Finding& finding : findings)
            if (finding.fault)
                std::cout << routine.name << " fault: " << finding.sentence << "\n";
        for (const Finding& finding : findings)
            if (!finding.fault)
                std::cout << routine.name << " note: " << finding.sentence << "\n";
        if (!report.shows.empty())
            std::cout << routine.name << " shows: " << contract->program << "'s " << report.shows << "\n";
        if (!report.shown.empty())
            std::cout << "\n" << report.shown << "\n";
    }
    // gfortran's own module symbols are left out, since the author wrote none of them, and so
    // is a name already given as the cause of a missing routine.
    std::vector<std::string> authorsNames;
    std::copy_if(facts.alsoExported.begin(), facts.alsoExported.end(), std::back_inserter(authorsNames),
                 [&](const std::string& name) {
                     return !isModuleSymbol(name) &&
                            std::find(explained.begin(), explained.end(), name) == explained.end();
                 });
    if (!authorsNames.empty())
        std::cout << contract->name << " note: also exports " << someNames(authorsNames) << ", which "
                  << contract->program << " never calls\n";

    const int count = static_cast<int>(contract->routines.size());
    std::cout << "summary: " << count << (count == 1 ? " routine, " : " routines, ") << count - withFault << " ok, "
              << withFault << " with a fault\n";
    return withFault ? someFault : noFault;
}

int main(int argc, char** argv)
{
    stopOnInterrupt();
    const int status = checkLibrary(argc, argv);
    // Interrupted: cleaned up, and ended by the same signal, as the shell expects.
    if (const int signal = interruptingSignal()) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    return status;
}
