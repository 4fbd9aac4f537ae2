#include "reports.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <sstream>

using nlohmann::json;

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

json findingJson(const FindingRecord& finding)
{
    json object{{"severity", finding.fault ? "fault" : "note"}, {"kind", finding.kind}, {"sentence", finding.sentence}};
    if (!finding.argument.empty()) {
        object["argument"] = finding.argument;
        object["position"] = finding.position;
    }
    if (!finding.cause.empty())
        object["cause"] = finding.cause;
    return object;
}

json routineJson(const RoutineResult& routine)
{
    json findings = json::array();
    for (const FindingRecord& finding : routine.findings)
        findings.push_back(findingJson(finding));
    json object{{"routine", routine.name}, {"verdict", routine.fault ? "fault" : "ok"}, {"findings", findings}};
    if (!routine.shows.empty())
        object["shows"] = routine.shows;
    if (!routine.output.empty())
        object["output"] = routine.output;
    return object;
}

} // namespace

std::string jsonLine(const LibraryResult& result)
{
    json routines = json::array();
    for (const RoutineResult& routine : result.routines)
        routines.push_back(routineJson(routine));
    json object{{"path", result.path}, {"contract", result.contract}, {"verdict", verdictName(result.verdict)}};
    if (!result.student.empty())
        object["student"] = result.student;
    if (!result.problem.empty())
        object["problem"] = result.problem;
    if (result.seed)
        object["seed"] = *result.seed;
    object["routines"] = routines;
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
        if (object.contains("seed"))
            result.seed = object.at("seed").get<std::uint64_t>();
        for (const json& routine : object.at("routines")) {
            RoutineResult read;
            read.name = routine.at("routine").get<std::string>();
            read.fault = routine.at("verdict").get<std::string>() == "fault";
            read.shows = routine.value("shows", "");
            read.output = routine.value("output", "");
            for (const json& finding : routine.at("findings"))
                read.findings.push_back({finding.at("severity").get<std::string>() == "fault",
                                         finding.at("kind").get<std::string>(), finding.value("argument", ""),
                                         finding.value("position", 0), finding.value("cause", ""),
                                         finding.at("sentence").get<std::string>()});
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
            std::string faults, said;
            for (const FindingRecord& finding : routine.findings) {
                (finding.fault ? faults : said) += (finding.fault ? "" : "note: ") + finding.sentence + "\n";
            }
            if (routine.fault) {
                ++failures;
                pugi::xml_node failure = testCase.append_child("failure");
                const FindingRecord* first = nullptr;
                for (const FindingRecord& finding : routine.findings)
                    if (finding.fault && !first)
                        first = &finding;
                failure.append_attribute("message") = first ? first->sentence.c_str() : "fault";
                failure.append_attribute("type") = first ? first->kind.c_str() : "fault";
                failure.text().set(faults.c_str());
            }
            if (!routine.shows.empty())
                said += "shows: " + routine.shows + "\n";
            if (!routine.output.empty())
                said += "printed: " + routine.output + "\n";
            if (!said.empty())
                testCase.append_child("system-out").text().set(said.c_str());
        }
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
