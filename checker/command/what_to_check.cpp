#include "what_to_check.h"

#include "library_file.h"
#include "printable_text.h"
#include "routine_binding.h"

#include <filesystem>

Asked whatIsAsked(const std::vector<std::string>& operands)
{
    Asked asked;
    asked.contract = operands.empty() ? nullptr : contractNamed(operands[0]);
    asked.paths.assign(operands.begin() + (asked.contract ? 1 : 0), operands.end());
    std::error_code error;
    asked.aClass = asked.paths.size() > 1 ||
        (asked.paths.size() == 1 && std::filesystem::is_directory(asked.paths[0], error));
    if (asked.aClass || asked.contract)
        return asked;
    // A library file alone names its contract ("./libOstrum.so", "Pettrix.dll").
    if (!operands.empty() && (asked.contract = contractOfFile(operands[0])))
        return asked;
    asked.problem = "unknown library " + (operands.empty() ? std::string() : operands[0]) +
        ": the programs call Ostrum, Morvane and Pettrix";
    return asked;
}

FileToCheck fileToCheck(const Contract& contract, const std::vector<std::string>& paths)
{
    if (!paths.empty())
        return {std::filesystem::absolute(paths[0]).lexically_normal().string(), "", false};
    return {libraryToLoad(contract.library), std::string(", the file ") + contract.program + " would load", true};
}

std::optional<std::string> problemBeforeLoading(const Contract& contract, const FileToCheck& file)
{
    if (file.candidate == libraryFileName(contract.library))
        return std::nullopt;
    if (const std::optional<std::string> problem = libraryFileProblem(file.candidate))
        return printable(file.candidate) + " does not load: " + *problem;
    return std::nullopt;
}

std::string loadProblem(const Contract& contract, const FileToCheck& file, const LibraryFacts& facts)
{
    const std::string fileName = libraryFileName(contract.library);
    if (file.found && file.candidate == fileName)
        return facts.problem + " (looked for " + fileName + " beside routine-check in " +
            printable(programDirectory()) + ", then through the system's library search)";
    return facts.problem;
}
