// The binding on Windows, beside Morvane.dll, LastError.dll, NeedsAbsent.dll (which imports a
// DLL that is nowhere to be found) and WrongMachine.dll (a 32-bit library): what it cannot bind is named in a sentence that carries the system's own words for
// the failure, and the system's last error is saved after every call.
#include "routine_binding.h"
#include "runtime_error.h"

#include <gtest/gtest.h>

#include <string>

// Lean: the full header would declare the platform's VARIANT beside the value kinds' own.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// The system's sentence for an error code, as FormatMessage gives it, without its line end.
std::string systemWords(DWORD code)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    return words;
}

// A path as the binding's sentences show it, backslashes escaped.
std::string shown(const std::string& path)
{
    std::string text;
    for (char c : path)
        text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

std::string besideProgram(const std::string& file)
{
    return shown(programDirectory() + "\\" + file);
}

std::string withFile(std::string words, const std::string& file)
{
    if (const auto at = words.find("%1"); at != std::string::npos)
        words.replace(at, 2, file);
    return words;
}

TEST(WindowsBinding, FindsMorvaneBesideTheProgramByItsDeclaredName)
{
    Routine<int32_t ROUTINE_CALL(double*, double*, double*)> square{"Morvane.dll", "square"};
    double n = 1, x = 3, y = 0;
    EXPECT_EQ(square(&n, &x, &y), 0);
    EXPECT_EQ(y, 9.0);
    EXPECT_EQ(LibraryBinding::named("Morvane.dll").loadedFile(), programDirectory() + "\\Morvane.dll");
}

TEST(WindowsBinding, WhatCannotBeBoundIsNamedInTheSystemsWords)
{
    const struct {
        const char* library;
        const char* routine;
        ErrorCode code;
        std::string message;
    } failures[] = {
        {"Nowhere.dll", "square", ErrorCode::CannotLoadLibrary,
         "Cannot load library 'Nowhere.dll': " + systemWords(ERROR_MOD_NOT_FOUND) + " (system error 126) (looked for " +
             "Nowhere.dll in " + shown(programDirectory()) +
             " and the system's library path)"},
        {"Morvane.dll", "cube", ErrorCode::RoutineNotFound,
         "Routine not found 'cube' in library 'Morvane.dll' (" + besideProgram("Morvane.dll") +
             "): " + systemWords(ERROR_PROC_NOT_FOUND) + " (system error 127)"},
        {"Morvane.dll", "SQUARE", ErrorCode::RoutineNotFound,
         "Routine not found 'SQUARE' in library 'Morvane.dll' (" + besideProgram("Morvane.dll") +
             "): " + systemWords(ERROR_PROC_NOT_FOUND) + " (system error 127)"},
        // A DLL beside the program whose own import is missing: the system says the same as for
        // a missing DLL, and names neither.
        {"NeedsAbsent", "needsAbsent", ErrorCode::CannotLoadLibrary,
         "Cannot load library 'NeedsAbsent': " + systemWords(ERROR_MOD_NOT_FOUND) + " (system error 126)"},
        {"WrongMachine", "sumdll", ErrorCode::CannotLoadLibrary,
         "Cannot load library 'WrongMachine': " +
             withFile(systemWords(ERROR_BAD_EXE_FORMAT), besideProgram("WrongMachine.dll")) + " (system error 193)"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(std::string(failure.library) + " " + failure.routine);
        Routine<int32_t ROUTINE_CALL()> routine{failure.library, failure.routine};
        try {
            routine();
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.code(), failure.code);
            EXPECT_EQ(error.what(), failure.message);
        }
        EXPECT_FALSE(routine.isBound());
    }
}

TEST(WindowsBinding, TheLastErrorOfACallIsSaved)
{
    Routine<void ROUTINE_CALL(int32_t*)> setLastError{"LastError", "probeSetLastError"};
    for (int32_t value : {1234, 0, 126}) {
        setLastError(&value);
        SetLastError(99); // the caller's own later errors do not touch the saved one
        EXPECT_EQ(lastRoutineError(), value);
    }
}

TEST(WindowsBinding, TheSystemHasWordsForEachFailure)
{
    // Words, not a bare number: a system without them would make the sentences above empty.
    for (DWORD code : {ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND, ERROR_BAD_EXE_FORMAT})
        EXPECT_GT(systemWords(code).size(), 8u) << code;
}

} // namespace
