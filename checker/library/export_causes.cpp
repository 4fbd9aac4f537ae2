#include "export_causes.h"

#include "printable_text.h"

#include <cctype>
#include <cstdlib>
#include <string_view>
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

// The outermost namespace of a C++ name as the Itanium ABI mangles it ("_ZNSt6vector..." gives
// "std", "_ZN7Fortran7runtime..." gives "Fortran"): vtables, typeinfo, guard variables,
// thunks, transaction clones and local statics are looked through to the entity they are of.
std::string outerNamespace(std::string_view name)
{
    if (!name.starts_with("_Z"))
        return "";
    name.remove_prefix(2);
    const auto skipNumber = [&] {
        if (!name.empty() && name.front() == 'n')
            name.remove_prefix(1);
        while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.front())))
            name.remove_prefix(1);
        if (!name.empty() && name.front() == '_')
            name.remove_prefix(1);
    };
    for (bool more = true; more && !name.empty();) {
        more = true;
        if (name.starts_with("TV") || name.starts_with("TT") || name.starts_with("TI") || name.starts_with("TS") ||
            name.starts_with("GV") || name.starts_with("GR"))
            name.remove_prefix(2);
        else if (name.starts_with("GTt"))
            name.remove_prefix(3);
        else if (name.starts_with("Th")) {
            name.remove_prefix(2);
            skipNumber();
        } else if (name.starts_with("Tv")) {
            name.remove_prefix(2);
            skipNumber();
            skipNumber();
        } else if (name.front() == 'Z' || name.front() == 'N' || name.front() == 'L' || name.front() == 'K' ||
                   name.front() == 'V' || name.front() == 'r')
            name.remove_prefix(1);
        else
            more = false;
    }
    // std and its abbreviations: St, Sa (allocator), Sb (basic_string), Ss, Si, So, Sd.
    if (name.size() >= 2 && name.front() == 'S' && std::string_view("tabsiod").find(name[1]) != std::string_view::npos)
        return "std";
    std::size_t length = 0;
    std::size_t digits = 0;
    while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits])))
        length = length * 10 + static_cast<std::size_t>(name[digits++] - '0');
    if (digits == 0 || digits + length > name.size())
        return "";
    return std::string(name.substr(digits, length));
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

ExportOrigin originOf(const std::string& name)
{
    if (isModuleSymbol(name))
        return ExportOrigin::CompilersOwn;
    // LLVM Flang: its runtime's C entries, its intrinsic modules, the C descriptor functions of
    // ISO_Fortran_binding.h, and the decimal conversions and pointer checks it calls by C names.
    constexpr std::string_view flangEntries[] = {"_Fortran", "_QM__fortran", "CFI_", "ConvertDecimalTo",
                                                 "ConvertDoubleToDecimal", "ConvertFloatToDecimal",
                                                 "ConvertLongDoubleToDecimal", "AllocateValidatedPointerPayload",
                                                 "ValidatePointerPayload"};
    for (const std::string_view entry : flangEntries)
        if (name.starts_with(entry))
            return ExportOrigin::FortranRuntime;
    if (name.starts_with("_QM") || name.starts_with("_QQ"))
        return ExportOrigin::CompilersOwn;
    const std::string outer = outerNamespace(name);
    if (outer == "Fortran")
        return ExportOrigin::FortranRuntime;
    // The C++ runtime: the standard library, its extensions and its ABI support, the operators
    // new and delete, and the entries that exceptions and unwinding go through.
    constexpr std::string_view cppEntries[] = {"__cxa_", "__gxx_personality", "__gcc_personality", "__dynamic_cast",
                                               "__gcclibcxx_", "_Unwind_", "_Znw", "_Zna", "_Zdl", "_Zda",
                                               "_ZGTt"};
    for (const std::string_view entry : cppEntries)
        if (name.starts_with(entry))
            return ExportOrigin::CppRuntime;
    if (outer == "std" || outer == "__gnu_cxx" || outer == "__cxxabiv1" || outer == "__gnu_debug" ||
        outer.starts_with("_txnal_"))
        return ExportOrigin::CppRuntime;
    return ExportOrigin::Author;
}

NameCause missingNameCause(const std::string& routine, const std::vector<std::string>& exports)
{
    for (const std::string& name : exports)
        if (name == routine + "_")
            return {name, {CauseKind::GfortranName, {}, {name, routine}}};
    for (const std::string& name : exports)
        if (moduleProcedureName(name) == routine)
            return {name, {CauseKind::ModuleProcedure, {}, {printable(name), routine}}};
    for (const std::string& name : exports)
        if (const std::string lower = lowerCase(name); lower == routine || lower == lowerCase(routine) + "_" ||
                                                       lowerCase(moduleProcedureName(name)) == lowerCase(routine))
            return {name, {CauseKind::OtherLetterCase, {}, {printable(name), routine}}};
    for (const std::string& name : exports)
        if (const std::string readable = readableName(name); readable.starts_with(routine + "("))
            return {name, {CauseKind::CppName, {}, {readable}}};
    return {};
}
