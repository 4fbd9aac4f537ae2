#include "options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdlib>
#include <utility>

const char* const usage = "usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]\n"
                          "       routine-check [--show] [--time-limit SECONDS] FILE\n"
                          "       routine-check [OPTIONS] [LIBRARY] PATH...";

const char* const helpText = R"(usage: routine-check [--show] [--time-limit SECONDS] LIBRARY [FILE]
       routine-check [--show] [--time-limit SECONDS] FILE
       routine-check [OPTIONS] [LIBRARY] PATH...
       routine-check --help | --version

Checks a routine library against the contract of the program that calls it. The
library is loaded as the program loads it, once to learn what it exports, then
again in a process of its own for each routine, in a sandbox. Each routine is
called exactly as its program calls it, twice, with every argument against a page
that may not be touched; what the contract says is only read lies in read-only
memory. Every argument lies in memory the checker shares, and it judges what the
calls left from those bytes itself. Then it is called again for the results the
contract fixes: Pettrix's sum for more pairs, Morvane's square and its trace for
each edge case under each rounding direction, Ostrum's square read whole, and a
second click with the program's own values. Besides these fixed inputs, each run
draws a few pairs (Pettrix) and cases (Morvane) at random from a seed, which the
second line gives: --seed repeats the run exactly.

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

A class: several PATHs, or a folder, check many libraries in one command. A PATH
is a library file, or a student's folder, searched (with two levels of folders
below it) for the library's file, and named by the folder. Each library is checked
on its own by a check of its own, as many at once as the machine has processors,
all with one seed. One line per library: the student, then "ok", or "fault:" and
each faulty routine's first fault, or "could not be checked:" and why; then a line
"summary:" with how many libraries, how many ok, with a fault, not checked.

Options:
  --show                after each routine's lines, list the bytes of each argument
                        before and after its first call, as the teaching pages do;
                        after it, "changed: " marks a line the call changed
  --time-limit SECONDS  how much processor time the calls of one routine may use
                        (default 2); by the clock they may take ten times as
                        long, and at least 5 seconds
  --seed N              draw the random inputs from N (a whole number), to repeat
                        a run; without it, a seed of its own, given on the second
                        line
  --format=json         print JSON Lines instead: one object a library, with its
                        path, student, contract, verdict, seed, and each routine's
                        findings (severity, kind, argument, position, cause,
                        values, sentence) and what its window shows
  --junit=FILE          also write FILE, a JUnit report: a test suite a library, a
                        test case a routine, a failure a fault
  --no-sandbox          run the libraries' code outside the sandbox, with your
                        rights (a class where none can be made needs it)
  --help                show this text
  --version             show the version of routine-check

A library's code runs in a sandbox: it sees no other process, no network, the
system's files read-only and its own folder, and writes only in a folder of its
own; all its processes together may number 256 and hold 4 GiB of memory. Not
fenced: what a routine leaves running (ended before the next routine), and what
the checker's code records inside the routine's process (a result in a register,
the rounding direction, the end of square.dat), which a routine could rewrite.
Where this system cannot make one, a single library is checked all the same
with a line "Not sandboxed:" that says why; a class is refused unless
--no-sandbox is given.

A routine's process may take at most 4 GiB of address space, and each routine as
many seconds of processor time as the time limit; a routine that runs into either
is told so. A routine the checker could not check, for a failure of its own, gets
"could not be checked:" and a sentence, never a fault.

Exit status: 0 when no routine has a fault, 1 when any has, 2 when nothing could be
checked (an unknown library name, a file that does not load) or a routine could
not be checked. For a class: 0 when every library is ok, 1 when any has a fault,
2 when any could not be checked.
)";

namespace {

bool readTimeLimit(const std::string& text, double& seconds)
{
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && seconds > 0 && seconds <= 3600;
}

std::optional<std::uint64_t> readSeed(const std::string& text)
{
    std::uint64_t seed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return seed;
}

std::string wrong(const std::string& sentence)
{
    return sentence + "\n" + usage;
}

} // namespace

std::optional<std::string> readOptions(int argc, char** argv, Options& options)
{
    CLI::App app("", "routine-check");
    app.set_help_flag();
    app.allow_extras();
    // A value option that is last on the line takes no value, and is told so below, by name;
    // one given twice counts as given last, as a shell alias may put it before the user's.
    std::optional<std::string> timeLimit, format, junit, seed;
    app.add_flag("--help", options.help);
    app.add_flag("--version", options.version);
    app.add_flag("--show", options.show);
    app.add_flag("--no-sandbox", options.noSandbox);
    for (auto [name, value] : {std::pair{"--time-limit", &timeLimit}, std::pair{"--format", &format},
                               std::pair{"--junit", &junit}, std::pair{"--seed", &seed}})
        app.add_option(name, *value)->expected(0, 1)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option("operands", options.operands);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return wrong(error.what());
    }
    if (options.help || options.version)
        return std::nullopt;
    for (const std::string& extra : app.remaining())
        if (extra.starts_with("-") && extra != "-")
            return wrong("unknown option " + extra);

    if (app.count("--time-limit") && !readTimeLimit(timeLimit.value_or(""), options.timeLimit))
        return wrong("--time-limit needs a number of seconds greater than 0");
    if (app.count("--format")) {
        if (format == "json")
            options.format = Format::Json;
        else if (format != "text")
            return wrong("--format needs json (or text, the default)");
    }
    if (app.count("--junit")) {
        if (junit.value_or("").empty())
            return wrong("--junit needs the name of the file to write");
        options.junit = *junit;
    }
    if (app.count("--seed")) {
        options.seed = readSeed(seed.value_or(""));
        if (!options.seed)
            return wrong("--seed needs a whole number from 0 to 18446744073709551615");
    }
    if (options.operands.empty())
        return wrong("no library named");
    return std::nullopt;
}
