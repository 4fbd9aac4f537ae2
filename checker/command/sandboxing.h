// Whether a check runs the library's code in the sandbox, and the words when it does not.
#pragma once

#include <optional>
#include <string>

// Why no sandbox can be made here; nothing when one can. The test suite stands in for a
// machine without one by setting ROUTINE_CHECK_TEST_NO_SANDBOX to the reason.
std::optional<std::string> sandboxMissing();

// What is known without trying, which is only that stand-in: one library's check tries the
// sandbox by making it, and asks sandboxMissing() only when none was made.
std::optional<std::string> sandboxMissingUntried();

// Set by a class for the checks it starts, once it has found that a sandbox can be made: no
// check tries again whether it can (which takes a process and a set of namespaces), and none
// goes on without one when its own was not made.
inline constexpr const char* sandboxTriedVariable = "ROUTINE_CHECK_SANDBOX_TRIED";

// In a class, before its checks start (they inherit its environment), when a sandbox can be made.
void tellChecksTheSandboxWasTried();

// Why the library's code runs outside the sandbox (`noSandbox`: --no-sandbox was given), in a
// clause; nothing when it runs inside.
std::optional<std::string> whyNotSandboxed(bool noSandbox);

// "Not sandboxed: REASON; the library's code runs with your rights."
std::string notSandboxedLine(const std::string& reason);
