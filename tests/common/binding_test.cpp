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
        {"Morvane.dll", linux, "libMorvane.so"},  {"Morvane", linux, "libMorvane.so"},
        {"Pettrix.DLL", linux, "libPettrix.so"},  {"Ostrum", windows, "Ostrum.dll"},
        {"Morvane.dll", windows, "Morvane.dll"},  {"Morvane.dll", mac, "libMorvane.dylib"},
        {"my.lib", linux, "libmy.lib.so"},        {"dll", linux, "libdll.so"},
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

TEST(Binding, LoadsAtTheFirstCallAndBindsEachRoutineAtItsOwn)
{
    Routine<int32_t ROUTINE_CALL()> origin{"Probe", "probeOrigin"};
    Routine<void ROUTINE_CALL(int16_t*, int16_t*, int16_t*)> add{"Probe.dll", "probeAdd"};
    LibraryBinding& library = LibraryBinding::named("Probe");
    EXPECT_FALSE(library.isLoaded());
    EXPECT_FALSE(origin.isBound());

    origin();
    EXPECT_TRUE(library.isLoaded());
    EXPECT_TRUE(origin.isBound());
    EXPECT_FALSE(add.isBound());

    int16_t a = 2, b = 3, sum = 0;
    add(&a, &b, &sum);
    EXPECT_EQ(sum, 5);
    EXPECT_EQ(&LibraryBinding::named("Probe.dll"), &library);
}

TEST(Binding, AMissingLibraryIsNamedInTheError)
{
    Routine<int32_t ROUTINE_CALL()> routine{"Nowhere.dll", "probeOrigin"};
    try {
        routine();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.code(), ErrorCode::CannotLoadLibrary);
        EXPECT_THAT(error.what(), testing::StartsWith("Cannot load library 'Nowhere.dll': "));
        EXPECT_THAT(error.what(), testing::HasSubstr("libNowhere.so"));
    }
    EXPECT_FALSE(routine.isBound());
}

TEST(Binding, AMissingRoutineIsNamedWithItsLibrary)
{
    Routine<int32_t ROUTINE_CALL()> routine{"Probe", "probeNothing"};
    try {
        routine();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.code(), ErrorCode::RoutineNotFound);
        EXPECT_THAT(error.what(), testing::StartsWith("Routine not found 'probeNothing' in library 'Probe'"));
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
