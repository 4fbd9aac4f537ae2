// The library's process and the routines' processes it starts, driven directly: the parts of
// one request kept apart, a part that hangs, a routine that ends the library's process, what a
// routine leaves outside its process group, and a library that does not load.
#include "library_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Set by the load in the library's process, and seen by every process started from it.
int loadedMark = 0;

void* loadMark(const ReportChannel& channel)
{
    loadedMark = 42;
    channel.send(reports::Shown{"loaded"});
    return &loadedMark;
}

void* loadNothing(const ReportChannel& channel)
{
    channel.send(reports::LoadFailed{"no such library"});
    return nullptr;
}

std::vector<std::string> notes(const ChildOutcome& outcome)
{
    std::vector<std::string> texts;
    for (const Report& report : outcome.messages)
        if (const auto* shown = std::get_if<reports::Shown>(&report))
            texts.push_back(shown->listing);
    return texts;
}

// Whether `process` exists and has not ended.
bool running(pid_t process)
{
    std::string stat;
    if (FILE* file = std::fopen(("/proc/" + std::to_string(process) + "/stat").c_str(), "r")) {
        char buffer[512] = {};
        stat = std::fgets(buffer, sizeof buffer, file) ? buffer : "";
        std::fclose(file);
    }
    const std::size_t nameEnd = stat.rfind(')');
    return nameEnd != std::string::npos && stat.size() > nameEnd + 2 && stat[nameEnd + 2] != 'Z' &&
        stat[nameEnd + 2] != 'X';
}

pid_t pidIn(const std::string& note)
{
    return static_cast<pid_t>(std::stol(note.substr(note.find(' ') + 1)));
}

} // namespace

// Three parts sent at once cross one pipe; each outcome holds its own part alone, and every
// part sees the library as the load left it.
TEST(LibraryProcess, KeepsThePartsOfARequestApart)
{
    LibraryProcess process(
        loadMark,
        [](void* library, std::string_view request, const ReportChannel& channel) {
            for (uint32_t part = 1; part <= 3; ++part) {
                channel.send(reports::Shown{std::string(request) + " part " + std::to_string(part) + " sees " +
                                                    std::to_string(*static_cast<int*>(library))});
                if (part < 3)
                    finishPart(channel, part + 1);
            }
        },
        "/tmp", 5);
    ASSERT_TRUE(process.serving());
    EXPECT_EQ(notes(process.loading()), std::vector<std::string>{"loaded"});

    const ChildOutcome first = process.run("sum");
    EXPECT_EQ(notes(first), std::vector<std::string>{"sum part 1 sees 42"});
    EXPECT_TRUE(first.goesOn);
    EXPECT_EQ(first.nextPart, 2u);
    const ChildOutcome second = process.next();
    EXPECT_EQ(notes(second), std::vector<std::string>{"sum part 2 sees 42"});
    EXPECT_TRUE(second.goesOn);
    const ChildOutcome third = process.next();
    EXPECT_EQ(notes(third), std::vector<std::string>{"sum part 3 sees 42"});
    EXPECT_FALSE(third.goesOn);
    EXPECT_FALSE(third.timedOut);

    // A new request gets a process of its own.
    EXPECT_EQ(notes(process.run("again")), std::vector<std::string>{"again part 1 sees 42"});
}

// With shared storage, the request's descriptor reaches the routine's process, and a Finished
// message that process sends ends nothing: what it sends after it is taken, and how the process
// ended. Without, a Finished message from a process that then did not end cleanly counts for
// nothing either: what came after it is read.
TEST(LibraryProcess, WithSharedStorageTakesTheProcesssEndNotItsWord)
{
    LibraryProcess process(
        loadMark,
        [](void*, std::string_view, const ReportChannel& channel) {
            const int arena = requestArena();
            channel.send(reports::Shown{arena >= 0 ? "storage came" : "no storage"});
            if (arena >= 0 && pwrite(arena, "w", 1, 0) != 1)
                channel.send(reports::Shown{"storage not writable"});
            channel.send(reports::Finished{});
            channel.send(reports::Shown{"after its word"});
            std::fflush(nullptr);
            _exit(7);
        },
        "/tmp", 5);
    ASSERT_TRUE(process.serving());

    const int arena = memfd_create("shared storage", MFD_CLOEXEC);
    ASSERT_GE(arena, 0);
    ASSERT_EQ(ftruncate(arena, 4096), 0);
    const ChildOutcome shared = process.run("shared", arena);
    EXPECT_EQ(notes(shared), (std::vector<std::string>{"storage came", "after its word"}));
    ASSERT_TRUE(WIFEXITED(shared.status));
    EXPECT_EQ(WEXITSTATUS(shared.status), 7);
    char written = 0;
    EXPECT_EQ(pread(arena, &written, 1, 0), 1);
    EXPECT_EQ(written, 'w');
    close(arena);

    const ChildOutcome alone = process.run("alone");
    EXPECT_EQ(notes(alone), (std::vector<std::string>{"no storage", "after its word"}));
    EXPECT_TRUE(WIFEXITED(alone.status) && WEXITSTATUS(alone.status) == 7) << alone.status;
}

// Each part has the whole time limit, in processor time; one that spins is ended when it has
// used its own.
TEST(LibraryProcess, EndsAPartThatHangsAtItsTime)
{
    LibraryProcess process(
        loadMark,
        [](void*, std::string_view, const ReportChannel& channel) {
            finishPart(channel, 2);
            channel.send(reports::Shown{"process " + std::to_string(getpid())});
            for (;;)
                asm volatile("" ::: "memory");
        },
        "/tmp", 0.3);
    EXPECT_TRUE(process.run("hang").goesOn);
    const ChildOutcome hung = process.next();
    EXPECT_TRUE(hung.timedOut);
    EXPECT_FALSE(hung.stalled);
    EXPECT_GE(hung.processorSeconds, 0.25);
    ASSERT_EQ(notes(hung).size(), 1u);
    EXPECT_FALSE(running(pidIn(notes(hung)[0])));
    // The library's process serves the next request as before.
    EXPECT_TRUE(process.serving());
}

// A part that waits for good uses no processor time: it is ended at the clock's backstop.
TEST(LibraryProcess, EndsAPartThatWaitsAtTheBackstop)
{
    LibraryProcess process(
        loadMark,
        [](void*, std::string_view, const ReportChannel& channel) {
            channel.send(reports::Shown{"process " + std::to_string(getpid())});
            for (;;)
                pause();
        },
        "/tmp", 0.3);
    const ChildOutcome waited = process.run("wait");
    EXPECT_TRUE(waited.stalled);
    EXPECT_FALSE(waited.timedOut);
    EXPECT_EQ(waited.clockSeconds, clockBackstop(0.3));
    EXPECT_LT(waited.processorSeconds, 0.1);
    ASSERT_EQ(notes(waited).size(), 1u);
    EXPECT_FALSE(running(pidIn(notes(waited)[0])));
    EXPECT_TRUE(process.serving());
}

// A routine that ends the process it was started from is told apart from one that crashed.
TEST(LibraryProcess, SaysWhenTheLibrarysProcessEnded)
{
    LibraryProcess process(
        loadMark,
        [](void*, std::string_view, const ReportChannel&) {
            kill(getppid(), SIGKILL);
            pause(); // ended with the library's process
        },
        "/tmp", 5);
    EXPECT_TRUE(process.run("end it").libraryProcessEnded);
    EXPECT_FALSE(process.serving());
    EXPECT_TRUE(process.run("once more").libraryProcessEnded);
}

// A process the routine started in a session of its own outlives the routine's process and
// its group: it is counted when that ends, and ended with the library's process.
TEST(LibraryProcess, CountsAndEndsWhatLeftTheRoutinesGroup)
{
    pid_t left = 0;
    {
        LibraryProcess process(
            loadMark,
            [](void*, std::string_view, const ReportChannel& channel) {
                const pid_t child = fork();
                if (child == 0) {
                    setsid();
                    for (;;)
                        pause();
                }
                while (getsid(child) != child)
                    usleep(1000);
                channel.send(reports::Shown{"process " + std::to_string(child)});
                _exit(0);
            },
            "/tmp", 5);
        const ChildOutcome outcome = process.run("leave");
        ASSERT_EQ(notes(outcome).size(), 1u);
        left = pidIn(notes(outcome)[0]);
        EXPECT_EQ(outcome.leftRunning, 1u);
        EXPECT_TRUE(WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0) << outcome.status;
        EXPECT_TRUE(running(left));
    }
    EXPECT_FALSE(running(left));
}

// A library that does not load leaves nothing to serve, and its process has ended.
TEST(LibraryProcess, ServesNothingWhenTheLibraryDidNotLoad)
{
    LibraryProcess process(loadNothing, [](void*, std::string_view, const ReportChannel&) {}, "/tmp", 5);
    EXPECT_FALSE(process.serving());
    ASSERT_FALSE(process.loading().messages.empty());
    const auto* failed = std::get_if<reports::LoadFailed>(&process.loading().messages.front());
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->problem, "no such library");
    EXPECT_TRUE(process.run("anything").libraryProcessEnded);
}

// What a routine's process prints arrives in reads of any length, a mark between two parts
// cut anywhere: each part is taken whole and alone, and a part longer than the room kept is
// counted in full.
TEST(PrintedOutput, SplitsWhatIsPrintedIntoItsParts)
{
    const std::string mark(partEndMark);
    struct Row {
        const char* what;
        std::vector<std::string> reads;
        std::vector<std::string> parts; // taken one after another, the last one unended
    };
    const Row rows[] = {
        {"one read", {"first" + mark + "second" + mark + "third"}, {"first", "second", "third"}},
        {"a mark cut in two", {"first" + mark.substr(0, 5), mark.substr(5) + "second"}, {"first", "second"}},
        {"a mark cut byte by byte", {"a", std::string(1, '\0'), "\x1b", mark.substr(2) + "b"}, {"a", "b"}},
        {"what looks like a mark's start",
         {std::string("a\0", 2), "\x1b[not a mark"},
         {std::string("a\0", 2) + "\x1b[not a mark"}},
        {"nothing before a mark", {mark, "after"}, {"", "after"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PrintedOutput printed;
        for (const std::string& read : row.reads)
            printed.add(read);
        for (std::size_t i = 0; i < row.parts.size(); ++i) {
            EXPECT_EQ(printed.partEnded(), i + 1 < row.parts.size());
            const Printed part = printed.takePart();
            EXPECT_EQ(part.text, row.parts[i]);
            EXPECT_EQ(part.bytes, row.parts[i].size());
        }
    }

    PrintedOutput flood;
    const std::string megabyte(1 << 20, 'x');
    flood.add(megabyte);
    flood.add(megabyte + mark + "next");
    const Printed first = flood.takePart();
    EXPECT_EQ(first.text, std::string(printedRoom, 'x'));
    EXPECT_EQ(first.bytes, 2u << 20);
    EXPECT_EQ(flood.takePart().text, "next");
}

// The library's start-up code and each routine's process print into pipes of the checker's,
// the routine's part by part.
TEST(LibraryProcess, KeepsWhatEachPartPrinted)
{
    LibraryProcess process(
        [](const ReportChannel&) -> void* {
            std::printf("loading\n");
            return &loadedMark;
        },
        [](void*, std::string_view, const ReportChannel& channel) {
            std::printf("part 1\n");
            finishPart(channel, 2);
            std::fprintf(stderr, "part 2");
        },
        "/tmp", 5);
    ASSERT_TRUE(process.serving());
    EXPECT_EQ(process.loading().printed.text, "loading\n");
    const ChildOutcome first = process.run("request");
    EXPECT_TRUE(first.goesOn);
    EXPECT_EQ(first.printed.text, "part 1\n");
    EXPECT_EQ(process.next().printed.text, "part 2");
}

namespace {

// Every kind of report crosses whole: decoded from its bytes, it gives the same bytes again;
// bytes cut short are no report; the signal handler's message is a Signal report.
TEST(Reports, EachKindCrossesWhole)
{
    reports::Placed placed;
    placed.call = 2;
    placed.index = 3;
    placed.readOnly = true;
    placed.alignment = 8;
    placed.layout = 5;
    placed.position = 2;
    placed.mapStart = 0x1000;
    placed.mapEnd = 0x302000;
    placed.dataStart = 0x101ff8;
    placed.dataEnd = 0x102000;
    placed.name = std::string(600, 'n'); // longer than one message
    const Report sent[] = {
        placed,
        reports::CallStarted{2},
        Finding{FindingKind::WrotePastEnd, {"c", 3}, {int64_t{2}}},
        reports::Signal{11, Access::Write, Trap::PageFault, 0x10, uint64_t{1} << 32},
        reports::Loaded{7, 9, "/lib/libPettrix.so"},
        reports::LoadFailed{"no such file"},
        reports::Exported{"sumdll"},
        reports::AlsoExported{"helper"},
        reports::Shown{"before the call:\n"},
        reports::Finished{true, 4},
        reports::Shows{"message boxes read \"a+b=\""},
        reports::NoRoom{12, 4096, "b"},
        reports::Changed{1, 2},
    };
    ASSERT_EQ(std::size(sent), std::variant_size_v<Report>);
    for (const Report& report : sent) {
        const auto kind = static_cast<MessageKind>(report.index());
        const std::string bytes = encode(report);
        const std::optional<Report> received = decode(kind, bytes);
        ASSERT_TRUE(received) << kind;
        EXPECT_EQ(received->index(), report.index());
        EXPECT_EQ(encode(*received), bytes) << kind;
    }
    EXPECT_FALSE(decode(messageKindOf<reports::Signal>(), encode(sent[3]).substr(0, 39)));
    EXPECT_FALSE(decode(messageKindOf<reports::Finished>(), encode(sent[9]) + "x"));
    EXPECT_FALSE(decode(static_cast<MessageKind>(std::variant_size_v<Report>), ""));

    const Message handled = signalMessage(std::get<reports::Signal>(sent[3]), 42);
    EXPECT_EQ(handled.sender, 42);
    const std::optional<Report> caught = decode(handled.kind, std::string_view(handled.bytes, handled.length));
    ASSERT_TRUE(caught);
    EXPECT_EQ(encode(*caught), encode(sent[3]));
}

} // namespace
