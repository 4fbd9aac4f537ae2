#include "sandboxing.h"

#include "sandbox.h"

#include <cstdlib>

std::optional<std::string> sandboxMissing()
{
    if (const char* injected = std::getenv("ROUTINE_CHECK_TEST_NO_SANDBOX"); injected && *injected)
        return std::string(injected);
    return sandboxUnavailable();
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
