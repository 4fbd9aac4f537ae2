#include "contracts.h"

#include <cctype>
#include <filesystem>
#include <string>

namespace {

std::string lowerCase(std::string_view name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The name in lower case, without a trailing ".dll".
std::string plainName(std::string_view name)
{
    std::string plain = lowerCase(name);
    if (plain.size() > 4 && plain.ends_with(".dll"))
        plain.resize(plain.size() - 4);
    return plain;
}

} // namespace

const Contract* contractNamed(std::string_view name)
{
    for (const Contract* contract : {&ostrumContract, &morvaneContract, &pettrixContract})
        if (plainName(contract->library) == plainName(name))
            return contract;
    return nullptr;
}

const Contract* contractOfFile(std::string_view path)
{
    const std::string file = lowerCase(std::filesystem::path(path).filename().string());
    std::string name;
    if (file.ends_with(".so"))
        name = file.substr(0, file.size() - 3);
    else if (file.ends_with(".dll"))
        name = file.substr(0, file.size() - 4);
    else
        return nullptr;
    if (const Contract* contract = contractNamed(name))
        return contract;
    return name.starts_with("lib") ? contractNamed(name.substr(3)) : nullptr;
}
