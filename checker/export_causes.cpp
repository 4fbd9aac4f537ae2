#include "export_causes.h"

#include "printable_text.h"

#include <cctype>
#include <cstdlib>
#include <cxxabi.h>

namespace {

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The procedure's own name in a module symbol "__module_MOD_name".
std::string moduleProcedureName(const std::string& name)
{
    const std::size_t at = name.find("_MOD_");
    return isModuleSymbol(name) ? name.substr(at + 5) : std::string();
}

} // namespace

std::string readableName(const std::string& name)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    const std::string text = status == 0 && readable ? readable : name;
    std::free(readable);
    return printable(text);
}

bool isModuleSymbol(const std::string& name)
{
    const std::size_t at = name.find("_MOD_");
    return name.starts_with("__") && at != std::string::npos && at > 2;
}

NameCause missingNameCause(const std::string& routine, const std::vector<std::string>& exports)
{
    const std::string bindC = "bind(C, name=\"" + routine + "\")";
    for (const std::string& name : exports)
        if (name == routine + "_")
            return {name, " (it exports " + name + ", the name gfortran gives a routine without bind(C): add " + bindC + ")"};
    for (const std::string& name : exports)
        if (moduleProcedureName(name) == routine)
            return {name, " (it exports " + printable(name) + ", the name gfortran gives a module procedure without bind(C): add " +
                              bindC + ")"};
    for (const std::string& name : exports)
        if (const std::string lower = lowerCase(name); lower == routine || lower == lowerCase(routine) + "_" ||
                                                       lowerCase(moduleProcedureName(name)) == lowerCase(routine))
            return {name, " (it exports " + printable(name) + ", in another letter case: a program finds a routine by its exact "
                                "name; write " + bindC + ", or " + routine + " in C)"};
    for (const std::string& name : exports)
        if (const std::string readable = readableName(name); readable.starts_with(routine + "("))
            return {name, " (it exports " + readable + ", a C++ name: declare it extern \"C\")"};
    return {};
}
