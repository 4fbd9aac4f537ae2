// Routine binding: which file a library name means, where it is looked for, and what is
// reported when it cannot be bound.
#include "routine_binding.h"
#include "runtime_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

TEST(LibraryFileName, DllIsTheLibrarySuffixOnEveryPlatform)
{
    const LibraryNaming linux{"lib", ".so"}, windows{"", ".dll"}, mac{"lib", ".dylib"};
    const struct {
        const char* declared;
        LibraryNaming naming;
        const char* file;
    } cases[] = {
        {"Morvane.dll", linux, "libMorvane.so"}, {"Morvane", linux, "libMorvane.so"},
        {"Pettrix.DLL", linux, "libPettrix.so"}, {"Ostrum", windows, "Ostrum.dll"},
        {"Morvane.dll", windows, "Morvane.dll"}, {"Morvane.dll", mac, "libMorvane.dylib"},
        {"my.lib", linux, "libmy.lib.so"},       {"dll", linux, "libdll.so"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(libraryFileName(c.declared, c.naming), c.file) << c.declared;
}

TEST(Binding, TheProgramsOwnDirectoryComesFirst)
{
    // The test's environment puts another libProbe.so on the system's library path.
    Routine<int32_t ROUTINE_CALL()> origin{"Probe.dll", "probeOrigin"};
    EXPECT_EQ(origin(), 1);
    EXPECT_EQ(LibraryBinding::named("Probe").loadedFile(),
              (std::filesystem::path(programDirectory()) / "libProbe.so").string());
}

TEST(Binding, TheSystemsSearchComesNext)
{
    Routine<int32_t ROUTINE_CALL()> origin{"OnlyElsewhere", "probeOrigin"};
    EXPECT_EQ(origin(), 2);
    EXPECT_EQ(LibraryBinding::named("OnlyElsewhere").loadedFile(), "libOnlyElsewhere.so");
}

// No other test names FirstCall (a copy of the probe), so it is loaded here first whatever
// ran before in this process.
TEST(Binding, LoadsAtTheFirstCallAndBindsEachRoutineAtItsOwn)
{
    Routine<int32_t ROUTINE_CALL()> origin{"FirstCall", "probeOrigin"};
    Routine<void ROUTINE_CALL(int16_t*, int16_t*, int16_t*)> add{"FirstCall.dll", "probeAdd"};
    LibraryBinding& library = LibraryBinding::named("FirstCall");
    EXPECT_FALSE(library.isLoaded());
    EXPECT_FALSE(origin.isBound());

    origin();
    EXPECT_TRUE(library.isLoaded());
    EXPECT_TRUE(origin.isBound());
    EXPECT_FALSE(add.isBound());

    int16_t a = 2, b = 3, sum = 0;
    add(&a, &b, &sum);
    EXPECT_EQ(sum, 5);
    EXPECT_EQ(&LibraryBinding::named("FirstCall.dll"), &library);
}

TEST(Binding, WhatCannotBeBoundIsNamedInTheError)
{
    const struct {
        const char* library;
        const char* routine;
        ErrorCode code;
        const char* startsWith;
        const char* mentions; // the file that was tried, say
    } failures[] = {
        {"Nowhere.dll", "probeOrigin", ErrorCode::CannotLoadLibrary,
         "Cannot load library 'Nowhere.dll': ", "libNowhere.so"},
        {"Probe", "probeNothing", ErrorCode::RoutineNotFound, "Routine not found 'probeNothing' in library 'Probe'",
         ""},
        {"Probe", "PROBEORIGIN", ErrorCode::RoutineNotFound, "Routine not found 'PROBEORIGIN' in library 'Probe'", ""},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(std::string(f.library) + " " + f.routine);
        Routine<int32_t ROUTINE_CALL()> routine{f.library, f.routine};
        try {
            routine();
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.code(), f.code);
            EXPECT_THAT(error.what(), testing::StartsWith(f.startsWith));
            EXPECT_THAT(error.what(), testing::HasSubstr(f.mentions));
        }
        EXPECT_FALSE(routine.isBound());
    }
}

TEST(Binding, TheLastErrorOfACallIsSaved)
{
    Routine<void ROUTINE_CALL(int32_t*)> setLastError{"Probe", "probeSetLastError"};
    int32_t value = 42;
    setLastError(&value);
    EXPECT_EQ(lastRoutineError(), 42);
    value = 0;
    setLastError(&value);
    EXPECT_EQ(lastRoutineError(), 0);
}

TEST(Binding, EachThreadKeepsTheLastErrorOfItsOwnCalls)
{
    Routine<void ROUTINE_CALL(int32_t*)> setLastError{"Probe", "probeSetLastError"};
    int32_t here = 42;
    setLastError(&here);
    int seenThere = -1;
    std::thread([&] {
        int32_t there = 7;
        setLastError(&there);
        seenThere = lastRoutineError();
    }).join();
    EXPECT_EQ(seenThere, 7);
    EXPECT_EQ(lastRoutineError(), 42);
}

} // namespace
