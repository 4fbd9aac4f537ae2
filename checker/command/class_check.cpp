#include "class_check.h"

#include "classroom.h"
#include "library_process.h"
#include "library_results.h"
#include "reports.h"
#include "sandboxing.h"

#include "printable_text.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <thread>

#include <climits>
#include <unistd.h>

namespace {

constexpr int allOk = 0;
constexpr int someFault = 1;
constexpr int someNotChecked = 2;

// This program's own file, which each library's check runs again.
std::string ownProgram()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

bool writeJunit(const std::string& file, const std::vector<LibraryResult>& results, std::string& problem)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out)
        out << junitDocument(results);
    if (out.flush())
        return true;
    problem = "cannot write the JUnit report " + printable(file) + ": " + std::strerror(errno);
    return false;
}

int checkClass(const Options& options, const Contract* contract, const std::vector<std::string>& paths,
               std::uint64_t seed)
{
    const std::optional<std::string> notSandboxed = whyNotSandboxed(options.noSandbox);
    if (const std::optional<std::string> missing = sandboxMissing(); missing && !options.noSandbox) {
        std::cerr << "routine-check: a class is checked only in the sandbox, and none can be made here: " << *missing
                  << " (--no-sandbox checks it all the same, the students' code running with your rights)\n";
        return someNotChecked;
    }
    if (!notSandboxed)
        tellChecksTheSandboxWasTried();

    std::vector<std::string> command{ownProgram(),         "--format=json", "--seed",
                                     std::to_string(seed), "--time-limit",  std::to_string(options.timeLimit)};
    if (options.noSandbox)
        command.push_back("--no-sandbox");
    const ContractOfName contractOf = [](std::string_view name) -> std::string {
        const Contract* named = contractOfFile(name);
        return named ? named->name : "";
    };
    const std::vector<Candidate> candidates = candidatesOf(paths, contract ? contract->name : "", contractOf);
    const unsigned atOnce = std::max(1u, std::thread::hardware_concurrency());

    const bool text = options.format == Format::Text;
    if (text) {
        std::cout << "Checking " << plural(candidates.size(), "library", "libraries")
                  << (contract ? std::string(" of ") + contract->name : "") << ".\n";
        if (!contract || contract->drawsInputs)
            std::cout << "Seed: " << seed << " (give --seed " << seed << " to repeat this run).\n";
        if (notSandboxed)
            std::cout << notSandboxedLine(*notSandboxed) << "\n";
        std::cout.flush();
    }
    std::vector<LibraryResult> results = checkAll(candidates, command, atOnce, interruptingSignal);
    if (interruptingSignal())
        return someNotChecked;
    // A library that could not be checked was still part of the run of this seed.
    for (LibraryResult& result : results) {
        result.seed = seed;
        result.sandboxed = result.sandboxed && !notSandboxed;
    }

    std::size_t ok = 0, withFault = 0, notChecked = 0;
    for (const LibraryResult& result : results) {
        ok += result.verdict == Verdict::Ok ? 1 : 0;
        withFault += result.verdict == Verdict::Fault ? 1 : 0;
        notChecked += result.verdict == Verdict::NotChecked ? 1 : 0;
        if (text)
            std::cout << classLine(result) << "\n";
        else
            std::cout << jsonLine(result) << "\n";
    }
    if (text)
        std::cout << "summary: " << plural(results.size(), "library", "libraries") << ", " << ok << " ok, " << withFault
                  << " with a fault, " << notChecked << " could not be checked\n";
    std::string problem;
    if (!options.junit.empty() && !writeJunit(options.junit, results, problem)) {
        std::cerr << "routine-check: " << problem << "\n";
        return someNotChecked;
    }
    if (notChecked > 0)
        return someNotChecked;
    return withFault > 0 ? someFault : allOk;
}
