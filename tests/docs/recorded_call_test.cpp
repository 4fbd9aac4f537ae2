// Whether a recording stands for the call its page describes (recorded_call.h): a table of
// recordings made by hand, each with the one problem the page tool must name, or none.
#include "recorded_call.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// The storage of Korvik's test 6, which yArray reaches: the count, and x by reference.
struct TestSixStorage {
    int16_t count = 10;
    VARIANT elements[10] = {};
    SAFEARRAY descriptor = {};
    SAFEARRAY* variable = &descriptor;
    SAFEARRAY elsewhere = {}; // a descriptor the routine was never given

    TestSixStorage()
    {
        descriptor.dimensions = 1;
        descriptor.elementSize = sizeof(VARIANT);
        descriptor.data = elements;
        descriptor.bounds[0] = {10, 1};
    }
};

struct ProblemRow {
    const char* what;
    std::function<void(Recording&, TestSixStorage&)> record;
    std::vector<std::string> problems;
};

TEST(RecordedCall, NamesWhatKeepsARecordingFromStandingForTheCall)
{
    const auto keepAtTheCall = [](Recording& recording, TestSixStorage& storage) {
        recordingStart(&recording, "yArray");
        recordingKeep(&recording, "count", VALUE_INT16, &storage.count, sizeof storage.count);
        recordingKeepArray(&recording, "array", "*array", "(*array)->data", &storage.variable);
    };
    const auto keepAll = [&keepAtTheCall](Recording& recording, TestSixStorage& storage) {
        keepAtTheCall(recording, storage);
        recordingKeepAfterCall(&recording);
    };
    const ProblemRow rows[] = {
        {"a sound recording", keepAll, {}},
        {"the bytes after the call not kept", keepAtTheCall,
         {"korvik-test6: the bytes after the call were not kept"}},
        {"another routine recorded",
         [](Recording& recording, TestSixStorage&) { recordingStart(&recording, "zArray"); },
         {"korvik-test6: the window called zArray, not yArray"}},
        {"nothing recorded", [](Recording&, TestSixStorage&) {},
         {"korvik-test6: the window called nothing the recording saw, not yArray"}},
        {"a region fewer than described",
         [](Recording& recording, TestSixStorage& storage) {
             recordingStart(&recording, "yArray");
             recordingKeepArray(&recording, "array", "*array", "(*array)->data", &storage.variable);
         },
         {"korvik-test6: 3 regions recorded, 4 named"}},
        {"elements too many to keep",
         [](Recording& recording, TestSixStorage& storage) {
             storage.descriptor.bounds[0].elementCount = 20;
             recordingStart(&recording, "yArray");
             recordingKeep(&recording, "count", VALUE_INT16, &storage.count, sizeof storage.count);
             recordingKeepArray(&recording, "array", "*array", "(*array)->data", &storage.variable);
             recordingKeepAfterCall(&recording);
         },
         {"korvik-test6: (*array)->data reaches more bytes than a recording keeps"}},
        {"a variable that holds the address of a descriptor not recorded",
         [&keepAll](Recording& recording, TestSixStorage& storage) {
             keepAll(recording, storage);
             const SAFEARRAY* elsewhere = &storage.elsewhere;
             std::memcpy(recording.regions[1].bytes, &elsewhere, sizeof elsewhere);
         },
         {"korvik-test6: an address in the call points at nothing the routine was given:"}},
    };
    for (const ProblemRow& row : rows) {
        SCOPED_TRACE(row.what);
        TestSixStorage storage;
        RecordedCall call = describedCall("korvik-test6", "Korvik, Start(6)", ostrumCalls.call("yArray"));
        row.record(call.recording, storage);
        const std::vector<std::string> problems = problemsOf(call);
        ASSERT_EQ(problems.size(), row.problems.size());
        for (std::size_t i = 0; i < problems.size(); ++i)
            EXPECT_TRUE(problems[i].starts_with(row.problems[i])) << problems[i];
    }
}

// A text whose characters happen to read like the listing's words for a stray address is a
// text, not a stray address.
TEST(RecordedCall, ATextIsNotTakenForAnAddress)
{
    char textA[] = "<an address outside the recorded storage>";
    int32_t lengthA = sizeof textA - 1;
    char textB[] = "aaaa                ";
    int32_t lengthB = sizeof textB - 1;
    RecordedCall call = describedCall("korvik-test1", "Korvik, Start1(1)", ostrumCalls.call("chara"));
    recordingStart(&call.recording, "chara");
    recordingKeep(&call.recording, "textA", VALUE_TEXT, textA, sizeof textA);
    recordingKeep(&call.recording, "lengthA", VALUE_INT32, &lengthA, sizeof lengthA);
    recordingKeep(&call.recording, "textB", VALUE_TEXT, textB, sizeof textB);
    recordingKeep(&call.recording, "lengthB", VALUE_INT32, &lengthB, sizeof lengthB);
    recordingKeepAfterCall(&call.recording);
    EXPECT_EQ(problemsOf(call), std::vector<std::string>{});
}

} // namespace
