#include "runtime_error.h"

const char* errorName(ErrorCode code)
{
    switch (code) {
    case ErrorCode::Overflow: return "Overflow";
    case ErrorCode::SubscriptOutOfRange: return "Subscript out of range";
    case ErrorCode::DivisionByZero: return "Division by zero";
    case ErrorCode::InvalidFloatingPointOperation: return "Invalid floating-point operation";
    case ErrorCode::FloatingPointOverflow: return "Floating-point overflow";
    case ErrorCode::TypeMismatch: return "Type mismatch";
    case ErrorCode::CannotLoadLibrary: return "Cannot load library";
    case ErrorCode::RoutineNotFound: return "Routine not found";
    case ErrorCode::ControlOperationFailed: return "Control operation failed";
    }
    return "Runtime error";
}

// A detail that starts with a quoted name reads on from the error's name ("Cannot load library
// 'Pettrix.dll': ..."); any other detail follows a colon ("Overflow: 40000 ...").
static std::string message(ErrorCode code, const std::string& detail)
{
    if (detail.empty())
        return errorName(code);
    return std::string(errorName(code)) + (detail.front() == '\'' ? " " : ": ") + detail;
}

RuntimeError::RuntimeError(ErrorCode code, const std::string& detail)
    : std::runtime_error(message(code, detail)), code_(code)
{
}
