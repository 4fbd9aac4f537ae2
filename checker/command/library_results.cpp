#include "library_results.h"

#include "kind_names.h"
#include "printable_text.h"
#include "wording.h"

FindingRecord recordOf(const Finding& finding)
{
    // The argument the finding names, else the one its cause names.
    const Argument& argument = finding.argument.name.empty() ? finding.cause.argument : finding.argument;
    return {severityOf(finding.kind),      kindName(finding.kind), argument.name, argument.position,
            causeName(finding.cause.kind), sentenceOf(finding),    finding.values};
}

RoutineResult routineResult(const char* name, const RoutineReport& report)
{
    RoutineResult result;
    result.name = name;
    result.verdict = Verdict::Ok;
    if (has(report, Severity::Unchecked))
        result.verdict = Verdict::NotChecked;
    if (hasFault(report))
        result.verdict = Verdict::Fault;
    for (const Finding& finding : report.findings)
        result.findings.push_back(recordOf(finding));
    result.shows = report.shows;
    result.output = printable(report.printed.text);
    return result;
}

std::string classLine(const LibraryResult& result)
{
    const std::string who = (result.student.empty() ? printable(result.path) : printable(result.student)) + ": ";
    switch (result.verdict) {
    case Verdict::Ok: return who + "ok";
    case Verdict::NotChecked: return who + "could not be checked: " + result.problem;
    case Verdict::Fault: break;
    }
    // Each faulty routine's first fault, as the library's own report says it.
    std::string line = who;
    int more = 0;
    for (const RoutineResult& routine : result.routines) {
        bool first = true;
        for (const FindingRecord& finding : routine.findings) {
            if (finding.severity != Severity::Fault)
                continue;
            if (first)
                line += (line == who ? "" : "; ") + routine.name + " fault: " + finding.sentence;
            else
                ++more;
            first = false;
        }
    }
    if (more > 0)
        line += " (and " + std::to_string(more) + (more == 1 ? " more fault)" : " more faults)");
    return line;
}
