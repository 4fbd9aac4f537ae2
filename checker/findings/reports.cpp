#include "reports.h"

#include "kind_names.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <sstream>
#include <variant>

using json = nlohmann::ordered_json;

const char* verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok: return "ok";
    case Verdict::Fault: return "fault";
    case Verdict::NotChecked: return "not checked";
    }
    return "not checked";
}

namespace {

std::optional<Verdict> verdictNamed(const std::string& name)
{
    for (const Verdict verdict : {Verdict::Ok, Verdict::Fault, Verdict::NotChecked})
        if (name == verdictName(verdict))
            return verdict;
    return std::nullopt;
}

std::optional<Severity> severityNamed(const std::string& name)
{
    for (const Severity severity : {Severity::Fault, Severity::Note, Severity::Unchecked})
        if (name == severityName(severity))
            return severity;
    return std::nullopt;
}

json valueJson(const Value& value)
{
    return std::visit([](const auto& held) { return json(held); }, value);
}

std::optional<Value> valueOf(const json& value)
{
    if (value.is_number_integer())
        return Value{value.get<int64_t>()};
    if (value.is_number_float())
        return Value{value.get<double>()};
    if (value.is_string())
        return Value{value.get<std::string>()};
    return std::nullopt;
}

json findingJson(const FindingRecord& finding)
{
    json values = json::array();
    for (const Value& value : finding.values)
        values.push_back(valueJson(value));
    return json{{"severity", severityName(finding.severity)},
                {"kind", finding.kind},
                {"argument", finding.argument},
                {"position", finding.position},
                {"cause", finding.cause},
                {"values", values},
                {"sentence", finding.sentence}};
}

FindingRecord findingOf(const json& finding)
{
    FindingRecord read;
    const std::optional<Severity> severity = severityNamed(finding.at("severity").get<std::string>());
    if (!severity)
        throw json::other_error::create(501, "no such severity", &finding);
    read.severity = *severity;
    read.kind = finding.at("kind").get<std::string>();
    read.argument = finding.value("argument", "");
    read.position = finding.value("position", 0);
    read.cause = finding.value("cause", "");
    read.sentence = finding.at("sentence").get<std::string>();
    for (const json& value : finding.value("values", json::array()))
        if (const std::optional<Value> held = valueOf(value))
            read.values.push_back(*held);
    return read;
}

json routineJson(const RoutineResult& routine)
{
    json findings = json::array();
    for (const FindingRecord& finding : routine.findings)
        findings.push_back(findingJson(finding));
    return json{{"routine", routine.name},
                {"verdict", verdictName(routine.verdict)},
                {"findings", findings},
                {"shows", routine.shows},
                {"output", routine.output}};
}

} // namespace

std::string jsonLine(const LibraryResult& result)
{
    json routines = json::array();
    for (const RoutineResult& routine : result.routines)
        routines.push_back(routineJson(routine));
    json object{{"path", result.path},
                {"student", result.student},
                {"contract", result.contract},
                {"verdict", verdictName(result.verdict)},
                {"problem", result.problem},
                {"seed", result.seed ? json(*result.seed) : json(nullptr)},
                {"sandboxed", result.sandboxed},
                {"routines", routines}};
    object["notes"] = result.notes;
    // Text from a library may hold any byte: one that is no UTF-8 is replaced, not thrown on.
    return object.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<LibraryResult> fromJsonLine(const std::string& line)
{
    const json object = json::parse(line, nullptr, false);
    if (!object.is_object())
        return std::nullopt;
    try {
        LibraryResult result;
        result.path = object.at("path").get<std::string>();
        result.contract = object.at("contract").get<std::string>();
        const std::optional<Verdict> verdict = verdictNamed(object.at("verdict").get<std::string>());
        if (!verdict)
            return std::nullopt;
        result.verdict = *verdict;
        result.student = object.value("student", "");
        result.problem = object.value("problem", "");
        if (object.contains("seed") && !object.at("seed").is_null())
            result.seed = object.at("seed").get<std::uint64_t>();
        result.sandboxed = object.value("sandboxed", true);
        for (const json& routine : object.at("routines")) {
            RoutineResult read;
            read.name = routine.at("routine").get<std::string>();
            const std::optional<Verdict> routineVerdict = verdictNamed(routine.at("verdict").get<std::string>());
            if (!routineVerdict)
                return std::nullopt;
            read.verdict = *routineVerdict;
            read.shows = routine.value("shows", "");
            read.output = routine.value("output", "");
            for (const json& finding : routine.at("findings"))
                read.findings.push_back(findingOf(finding));
            result.routines.push_back(std::move(read));
        }
        result.notes = object.value("notes", std::vector<std::string>{});
        return result;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

std::string junitDocument(const std::vector<LibraryResult>& results)
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node suites = document.append_child("testsuites");
    suites.append_attribute("name") = "routine-check";
    int allTests = 0, allFailures = 0, allErrors = 0;

    for (const LibraryResult& result : results) {
        pugi::xml_node suite = suites.append_child("testsuite");
        const std::string name = result.student.empty() ? result.path : result.student;
        suite.append_attribute("name") = name.c_str();
        pugi::xml_node properties = suite.append_child("properties");
        const auto property = [&](const char* key, const std::string& value) {
            pugi::xml_node node = properties.append_child("property");
            node.append_attribute("name") = key;
            node.append_attribute("value") = value.c_str();
        };
        property("path", result.path);
        property("contract", result.contract);
        if (result.seed)
            property("seed", std::to_string(*result.seed));
        property("sandboxed", result.sandboxed ? "yes" : "no");

        int tests = 0, failures = 0, errors = 0;
        const std::string className = name + "." + result.contract;
        if (result.verdict == Verdict::NotChecked) {
            pugi::xml_node testCase = suite.append_child("testcase");
            testCase.append_attribute("classname") = className.c_str();
            testCase.append_attribute("name") = "load";
            pugi::xml_node error = testCase.append_child("error");
            error.append_attribute("message") = result.problem.c_str();
            error.append_attribute("type") = "not checked";
            ++tests;
            ++errors;
        }
        for (const RoutineResult& routine : result.routines) {
            pugi::xml_node testCase = suite.append_child("testcase");
            testCase.append_attribute("classname") = className.c_str();
            testCase.append_attribute("name") = routine.name.c_str();
            ++tests;
            // A failure for each fault and an error for each thing the checker could not check;
            // the counts are of test cases, each counted once.
            std::string said;
            for (const FindingRecord& finding : routine.findings) {
                if (finding.severity == Severity::Note) {
                    said += "note: " + finding.sentence + "\n";
                    continue;
                }
                const bool fault = finding.severity == Severity::Fault;
                pugi::xml_node failure = testCase.append_child(fault ? "failure" : "error");
                failure.append_attribute("message") = finding.sentence.c_str();
                failure.append_attribute("type") = finding.kind.c_str();
                failure.text().set((routine.name + (fault ? " fault: " : " could not be checked: ") +
                                    finding.sentence).c_str());
            }
            failures += routine.verdict == Verdict::Fault ? 1 : 0;
            errors += routine.verdict == Verdict::NotChecked ? 1 : 0;
            if (!routine.shows.empty())
                said += "shows: " + routine.shows + "\n";
            if (!routine.output.empty())
                said += "printed: " + routine.output + "\n";
            if (!said.empty())
                testCase.append_child("system-out").text().set(said.c_str());
        }
        std::string notes;
        for (const std::string& note : result.notes)
            notes += note + "\n";
        if (!notes.empty())
            suite.append_child("system-out").text().set(notes.c_str());
        suite.append_attribute("tests") = tests;
        suite.append_attribute("failures") = failures;
        suite.append_attribute("errors") = errors;
        allTests += tests;
        allFailures += failures;
        allErrors += errors;
    }
    suites.append_attribute("tests") = allTests;
    suites.append_attribute("failures") = allFailures;
    suites.append_attribute("errors") = allErrors;
    std::ostringstream text;
    document.save(text, "  ");
    return text.str();
}
