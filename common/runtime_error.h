// Runtime errors: what a handler raises when a step cannot be carried out.
//
// An error leaves the handler and every handler that called it; only at the click is it
// reported to the user, and the program then ends. Its message is a sentence: what happened
// and where (the library, the routine, the value that did not fit).
#pragma once

#include <stdexcept>
#include <string>

enum class ErrorCode {
    Overflow,
    SubscriptOutOfRange,
    DivisionByZero,
    InvalidFloatingPointOperation,
    FloatingPointOverflow,
    TypeMismatch,
    CannotLoadLibrary,
    RoutineNotFound,
    ControlOperationFailed,
};

class RuntimeError : public std::runtime_error {
public:
    // The message is the error's name ("Overflow") followed by the detail, if any.
    RuntimeError(ErrorCode code, const std::string& detail = {});

    ErrorCode code() const { return code_; }

private:
    ErrorCode code_;
};

// The error's name in words, as the report shows it.
const char* errorName(ErrorCode code);
