#include "contracts.h"

#include <cctype>
#include <string>

namespace {

// The name in lower case, without a trailing ".dll".
std::string plainName(std::string_view name)
{
    std::string plain;
    for (char c : name)
        plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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
