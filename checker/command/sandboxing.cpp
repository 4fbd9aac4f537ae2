#include "sandboxing.h"

#include "sandbox.h"

#include <cstdlib>
#include <string_view>

std::optional<std::string> sandboxMissingUntried()
{
    if (const char* injected = std::getenv("ROUTINE_CHECK_TEST_NO_SANDBOX"); injected && *injected)
        return std::string(injected);
    return std::nullopt;
}

std::optional<std::string> sandboxMissing()
{
    if (std::optional<std::string> injected = sandboxMissingUntried())
        return injected;
    // A class's check: the class found once that a sandbox can be made, for all its checks.
    if (const char* tried = std::getenv(sandboxTriedVariable); tried && std::string_view(tried) == "1")
        return std::nullopt;
    return sandboxUnavailable();
}

void tellChecksTheSandboxWasTried()
{
    setenv(sandboxTriedVariable, "1", 1);
}

std::optional<std::string> whyNotSandboxed(bool noSandbox)
{
    if (std::optional<std::string> missing = sandboxMissing())
        return missing;
    if (noSandbox)
        return std::string("--no-sandbox was given");
    return std::nullopt;
}

std::string notSandboxedLine(const std::string& reason)
{
    return "Not sandboxed: " + reason + "; the library's code runs with your rights.";
}
