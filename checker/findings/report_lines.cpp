#include "report_lines.h"

#include "export_causes.h"
#include "printable_text.h"
#include "wording.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string_view>

namespace {

// How much of what a routine printed is quoted: a few lines, each cut to a line's width.
constexpr std::size_t quotedLines = 10;
constexpr std::size_t quotedLineLength = 200;

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

} // namespace

std::vector<std::string> printedLines(const std::string& name, const std::string& when, const Printed& printed)
{
    std::vector<std::string> lines;
    std::string_view text = printed.text;
    bool whole = printed.bytes == text.size();
    while (!text.empty()) {
        if (lines.size() == quotedLines) {
            whole = false;
            break;
        }
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const bool cut = line.size() > quotedLineLength;
        lines.push_back(name + " printed" + when + ": \"" + printable(line.substr(0, quotedLineLength)) + "\"" +
                        (cut ? " (cut: the line has " + std::to_string(line.size()) + " bytes)" : ""));
    }
    if (!whole)
        lines.push_back(name + " printed " + std::to_string(printed.bytes) + " bytes in all" + when +
                        ": only the first " + std::to_string(lines.size()) +
                        (lines.size() == 1 ? " line is" : " lines are") + " quoted");
    return lines;
}

// One routine's lines: "ok" when it has no fault and was checked whole, what the checker could
// not check, its faults, its notes, what its program's window shows, then with --show the
// listing of its first call.
void printRoutine(std::ostream& out, const Contract& contract, const char* name, const RoutineReport& report)
{
    if (!hasFault(report) && !has(report, Severity::Unchecked))
        out << name << " ok\n";
    for (const Finding& finding : report.findings)
        if (severityOf(finding.kind) == Severity::Unchecked)
            out << name << " could not be checked: " << sentenceOf(finding) << "\n";
    for (const Finding& finding : report.findings)
        if (severityOf(finding.kind) == Severity::Fault)
            out << name << " fault: " << sentenceOf(finding) << "\n";
    for (const Finding& finding : report.findings)
        if (severityOf(finding.kind) == Severity::Note)
            out << name << " note: " << sentenceOf(finding) << "\n";
    if (!report.shows.empty())
        out << name << " shows: " << contract.program << "'s " << report.shows << "\n";
    for (const std::string& line : printedLines(name, "", report.printed))
        out << line << "\n";
    if (!report.shown.empty())
        out << "\n" << report.shown << "\n";
}

// What the library exports beyond the contract. The compilers' own names and the runtimes
// linked into the library are left out, since the author wrote none of them, and so is a name
// already given as the cause of a missing routine; a runtime is only counted, after the
// author's names.
std::optional<std::string> exportsNote(const Contract& contract, const LibraryFacts& facts,
                                       const std::vector<std::string>& explained)
{
    std::vector<std::string> authorsNames;
    int fortranRuntime = 0;
    int cppRuntime = 0;
    for (const std::string& name : facts.alsoExported) {
        switch (originOf(name)) {
        case ExportOrigin::Author:
            if (std::find(explained.begin(), explained.end(), name) == explained.end())
                authorsNames.push_back(name);
            break;
        case ExportOrigin::CompilersOwn: break;
        case ExportOrigin::FortranRuntime: ++fortranRuntime; break;
        case ExportOrigin::CppRuntime: ++cppRuntime; break;
        }
    }
    const auto runtime = [](int count, const char* language) {
        return count == 0 ? std::string()
                          : ", and " + std::to_string(count) + (count == 1 ? " symbol" : " symbols") + " of the " +
                language + " runtime";
    };
    if (authorsNames.empty())
        return std::nullopt;
    return "also exports " + someNames(authorsNames) + ", which " + contract.program + " never calls" +
        runtime(fortranRuntime, "Fortran") + runtime(cppRuntime, "C++");
}

std::string summaryLine(const Contract& contract, int withFault, int unchecked)
{
    const int count = static_cast<int>(contract.routines.size());
    return "summary: " + std::to_string(count) + (count == 1 ? " routine, " : " routines, ") +
        std::to_string(count - withFault - unchecked) + " ok, " + std::to_string(withFault) + " with a fault" +
        (unchecked > 0 ? ", " + std::to_string(unchecked) + " not checked" : "");
}

void printEnd(std::ostream& out, const Contract& contract, const LibraryFacts& facts,
              const std::vector<std::string>& explained, int withFault, int unchecked)
{
    if (const std::optional<std::string> note = exportsNote(contract, facts, explained))
        out << contract.name << " note: " << *note << "\n";
    out << summaryLine(contract, withFault, unchecked) << "\n";
}
