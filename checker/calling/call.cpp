#include "call.h"

#include "library_process.h"
#include "kept_registers.h"
#include "reach_causes.h"
#include "storage_results.h"

#include "printable_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::size_t pageSize()
{
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

// The signals whose handling a program relies on: a write to a closed pipe ends it (SIGPIPE),
// an alarm it never set must not be handled for it (SIGALRM), and the runtime waits for the
// processes it starts (SIGCHLD).
constexpr int reliedOnSignals[] = {SIGPIPE, SIGALRM, SIGCHLD};

// How long a child stays after a return while a thread or a timer the routine left behind
// may still act: long enough for a late write, well under a second.
constexpr long lateMilliseconds = 150;

// How long a thread left behind that still uses processor time is watched for settling down
// to wait, as a pool of workers does once it has spun a while.
constexpr long settlingMilliseconds = 400;

void* handlerOf(int signal)
{
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return (action.sa_flags & SA_SIGINFO) ? reinterpret_cast<void*>(action.sa_sigaction)
                                          : reinterpret_cast<void*>(action.sa_handler);
}

std::string fileText(const std::string& path)
{
    std::string text;
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return text;
    char buffer[1024];
    for (ssize_t got; (got = read(file, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    close(file);
    return text;
}

// The threads of the process, by their ids.
std::vector<int> threadIds()
{
    std::vector<int> ids;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks))
            if (const int id = std::atoi(entry->d_name); id > 0)
                ids.push_back(id);
        closedir(tasks);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The threads now that were not there before.
std::vector<int> threadsStartedSince(const std::vector<int>& before)
{
    std::vector<int> started;
    const std::vector<int> now = threadIds();
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(), std::back_inserter(started));
    return started;
}

// The processor time a thread has used, in nanoseconds (the first field of its schedstat; its
// stat's ticks where the kernel keeps no schedstat); 0 for a thread that has ended.
uint64_t threadProcessorTime(int thread)
{
    const std::string task = "/proc/self/task/" + std::to_string(thread);
    if (const std::string schedstat = fileText(task + "/schedstat"); !schedstat.empty())
        return std::strtoull(schedstat.c_str(), nullptr, 10);
    // "pid (name) state ..." with utime and stime the 14th and 15th fields; the name may hold
    // anything, so the fields are counted from its last ')'.
    const std::string stat = fileText(task + "/stat");
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return 0;
    const char* at = stat.c_str() + nameEnd;
    for (int field = 2; at && field < 14; ++field)
        at = std::strchr(at + 1, ' ');
    if (!at)
        return 0;
    char* next = nullptr;
    const unsigned long long user = std::strtoull(at + 1, &next, 10);
    const unsigned long long system = std::strtoull(next, nullptr, 10);
    return (user + system) * (1000000000ull / static_cast<unsigned long long>(sysconf(_SC_CLK_TCK)));
}

// Whether a thread is running or ready to run ('R' in its stat), as a thread that spins is
// even while others have the processor; a waiting thread sleeps in the kernel.
bool runnable(int thread)
{
    const std::string stat = fileText("/proc/self/task/" + std::to_string(thread) + "/stat");
    const std::size_t nameEnd = stat.rfind(')');
    return nameEnd != std::string::npos && nameEnd + 2 < stat.size() && stat[nameEnd + 2] == 'R';
}

// Where in the kernel a waiting thread waits ("futex_wait_queue"); empty when not told.
std::string waitChannel(int thread)
{
    const std::string channel = fileText("/proc/self/task/" + std::to_string(thread) + "/wchan");
    return channel == "0" ? std::string() : channel;
}

void sleepMilliseconds(long milliseconds)
{
    timespec left{milliseconds / 1000, milliseconds % 1000 * 1000000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

} // namespace

std::vector<Finding> timersLeftSet(const char* when)
{
    struct Timer {
        int which;
        const char* how;
        const char* signal;
    };
    static constexpr Timer timers[] = {
        {ITIMER_REAL, "alarm or setitimer", "SIGALRM"},
        {ITIMER_VIRTUAL, "setitimer, ITIMER_VIRTUAL", "SIGVTALRM"},
        {ITIMER_PROF, "setitimer, ITIMER_PROF", "SIGPROF"},
    };
    std::vector<Finding> left;
    for (const Timer& timer : timers) {
        itimerval value{};
        if (getitimer(timer.which, &value) == 0 && (value.it_value.tv_sec != 0 || value.it_value.tv_usec != 0))
            left.push_back({FindingKind::LeftATimerSet, {}, {timer.how, timer.signal, when}});
    }
    return left;
}

Call::Call(const ReportChannel& channel, int number, bool show, Probe probe, MappedArena* arena)
    : channel_(channel), number_(number), show_(show), probe_(probe), arena_(arena)
{
}

std::byte* Call::placeShared(const PieceName& name, const void* initial, std::size_t size, std::size_t alignment,
                             bool readOnly, std::byte*& map, std::size_t& mapSize, std::byte*& area,
                             std::size_t& areaSize)
{
    const ArenaSlot* slot = arena_->nextSlot(static_cast<uint32_t>(number_));
    // A piece the layout does not hold as it is placed here is the checker's own failure.
    const bool same = slot && slot->piece.initial.size() == size && slot->piece.alignment == alignment &&
        slot->piece.readOnly == readOnly && (size == 0 || std::memcmp(slot->piece.initial.data(), initial, size) == 0);
    if (!same) {
        errno = EINVAL;
        noRoomFor(name);
    }
    if (!arena_->map(*slot))
        noRoomFor(name);
    map = arena_->reservation(*slot);
    mapSize = slot->areaSize + 2 * guardSize;
    area = arena_->areaOf(*slot);
    areaSize = slot->areaSize;
    return arena_->dataOf(*slot);
}

void* Call::place(const PieceName& name, ValueKind layout, const void* initial, std::size_t size,
                  std::size_t alignment, bool readOnly)
{
    const int index = static_cast<int>(pieces_.size());
    if (arena_) {
        std::byte *map = nullptr, *area = nullptr;
        std::size_t mapSize = 0, areaSize = 0;
        std::byte* data = placeShared(name, initial, size, alignment, readOnly, map, mapSize, area, areaSize);
        pieces_.push_back({map, mapSize, area, areaSize, data, size, readOnly, name, layout, {}, true});
        tellPlaced(index, name, layout, readOnly, alignment, map, mapSize, data, size);
        return data;
    }
    Side side = this->side();
    std::size_t slack = 0;
    if (index == probe_.piece) {
        side = probe_.side;
        slack = probe_.slack;
    }

    const std::size_t page = pageSize();
    const std::size_t areaSize = (size + slack + page - 1) / page * page;
    const std::size_t guard = (guardSize + page - 1) / page * page;
    const std::size_t mapSize = areaSize + 2 * guard;
    // Reserved, not used: the guards cost address space only.
    void* map = mmap(nullptr, mapSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (map == MAP_FAILED)
        noRoomFor(name);
    std::byte* area = static_cast<std::byte*>(map) + guard;
    if (mprotect(area, areaSize, PROT_READ | PROT_WRITE) != 0)
        noRoomFor(name);
    std::memset(area, static_cast<int>(fillByte), areaSize);
    std::byte* data = side == Side::End ? area + areaSize - slack - size : area + slack;
    std::memcpy(data, initial, size);
    if (probe_.bytesAsAddress && size >= sizeof(void*))
        fillWithDecoyAddress(name, layout, data, size);
    if (readOnly && !probe_.readOnlyWritable && mprotect(area, areaSize, PROT_READ) != 0)
        noRoomFor(name);

    pieces_.push_back(
        {static_cast<std::byte*>(map), mapSize, area, areaSize, data, size, readOnly, name, layout, {}, false});
    if (probe_.readOnlyWritable)
        pieces_.back().initial.assign(data, data + size);
    tellPlaced(index, name, layout, readOnly, alignment, map, mapSize, data, size);
    return data;
}

// The parent keeps its own record of the piece, to name it from a faulting address.
void Call::tellPlaced(int index, const PieceName& name, ValueKind layout, bool readOnly, std::size_t alignment,
                      const void* map, std::size_t mapSize, const void* data, std::size_t size) const
{
    reports::Placed placed;
    placed.call = static_cast<uint32_t>(number_);
    placed.index = static_cast<uint32_t>(index);
    placed.readOnly = readOnly;
    placed.alignment = static_cast<uint32_t>(alignment);
    placed.layout = static_cast<uint32_t>(layout);
    placed.position = static_cast<uint32_t>(name.position);
    placed.mapStart = reinterpret_cast<uintptr_t>(map);
    placed.mapEnd = placed.mapStart + mapSize;
    placed.dataStart = reinterpret_cast<uintptr_t>(data);
    placed.dataEnd = placed.dataStart + size;
    placed.name = name.argument;
    channel_.send(placed);
}

void Call::noRoomFor(const PieceName& name) const
{
    reports::NoRoom failed;
    failed.error = errno;
    failed.argument = name.argument;
    // VmSize, in kilobytes: whether the routine's own calls took the room.
    const std::string status = fileText("/proc/self/status");
    if (const std::size_t at = status.find("VmSize:"); at != std::string::npos)
        failed.held = std::strtoull(status.c_str() + at + 7, nullptr, 10) * 1024;
    channel_.send(failed);
    _exit(3);
}

namespace {

// Pages of no access for the decoys of one piece, one slot of decoySlotSize for each 8 bytes.
// The first lies where the low 32 bits of its address are 0x10000, so that a routine that
// reads a count or a length from those bytes (a descriptor's element length, as a 32-bit or
// a 64-bit number) gets a small positive one and goes on to follow the address.
void* reserveDecoys(std::size_t size)
{
    constexpr uint64_t lowBits = 0x10000;
    for (uint64_t high = 0x1000; high < 0x7000; high += 0x101) {
        void* wanted = reinterpret_cast<void*>(high << 32 | lowBits);
        void* got = mmap(wanted, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE,
                         -1, 0);
        if (got == wanted)
            return got;
        if (got != MAP_FAILED)
            munmap(got, size);
    }
    return mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
}

} // namespace

void Call::fillWithDecoyAddress(const PieceName& name, ValueKind layout, std::byte* data, std::size_t size) const
{
    // Each 8 bytes get a slot of their own, so that the slot a routine faults in tells from
    // which bytes of the piece it took the address.
    const std::size_t slots = size / sizeof(void*);
    void* decoys = reserveDecoys(slots * decoySlotSize);
    if (decoys == MAP_FAILED)
        noRoomFor(name);
    for (std::size_t slot = 0; slot < slots; ++slot) {
        void* decoy = static_cast<std::byte*>(decoys) + slot * decoySlotSize;
        std::memcpy(data + slot * sizeof decoy, &decoy, sizeof decoy);
    }
    reports::Placed placed;
    placed.call = static_cast<uint32_t>(number_);
    placed.index = static_cast<uint32_t>(pieces_.size());
    placed.decoy = true;
    placed.layout = static_cast<uint32_t>(layout);
    placed.position = static_cast<uint32_t>(name.position);
    placed.mapStart = placed.dataStart = reinterpret_cast<uintptr_t>(decoys);
    placed.mapEnd = placed.dataEnd = placed.mapStart + slots * decoySlotSize;
    placed.name = name.argument;
    channel_.send(placed);
}

char* Call::text(const PieceName& name, std::string_view text)
{
    std::string copy(text);
    return static_cast<char*>(place(name, VALUE_TEXT, copy.c_str(), copy.size() + 1, 1, false));
}

VARIANT* Call::elements(const PieceName& name, const std::vector<VARIANT>& initial)
{
    return static_cast<VARIANT*>(
        place(name, VALUE_VARIANTS, initial.data(), initial.size() * sizeof(VARIANT), alignof(VARIANT), false));
}

void Call::begin()
{
    threadsBefore_ = threadIds();
    handlersBefore_.clear();
    for (int signal : reliedOnSignals)
        handlersBefore_.emplace_back(signal, handlerOf(signal));
    const reports::CallStarted started{static_cast<uint32_t>(number_)};
    if (show_) {
        before_ = regionsNow();
        show("before the call", before_, nullptr);
    }
    channel_.send(started);
    if (arena_)
        arena_->markStarted();
    setProgramsEnvironment();
}

void Call::end(const FloatEnvironment& after, const ListedRegion* result) const
{
    if (arena_)
        arena_->markReturned();
    setProgramsEnvironment();
    if (show_) {
        std::vector<ListedRegion> leftByTheCall = regionsNow();
        if (result)
            leftByTheCall.push_back(*result);
        show("\nafter the call", leftByTheCall, &before_);
    }

    if (const std::string change = describeChange(after); !change.empty())
        report({FindingKind::ChangedFloatEnvironment, {}, {change}});
    if (const std::string flags = describeFlags(after); !flags.empty())
        report({FindingKind::RaisedFloatFlags, {}, {flags}});
    for (const Finding& unkept : unkeptRegisters())
        report(unkept);
    // Around a piece in the shared storage, the checker looks itself.
    for (const Piece& piece : pieces_)
        if (!piece.shared)
            reportWritesAround(piece);
    tellChangedPieces();
    lookAfterTheReturn();
}

void Call::tellChangedPieces() const
{
    if (!probe_.readOnlyWritable)
        return;
    for (std::size_t i = 0; i < pieces_.size(); ++i)
        if (std::memcmp(pieces_[i].data, pieces_[i].initial.data(), pieces_[i].size) != 0) {
            channel_.send(reports::Changed{static_cast<uint32_t>(number_), static_cast<uint32_t>(i)});
        }
}

void Call::lookAfterTheReturn() const
{
    for (const auto& [signal, handler] : handlersBefore_)
        if (handlerOf(signal) != handler)
            report({FindingKind::ChangedSignalHandling, {}, {int64_t{signal}}});
    const std::vector<Finding> timers = timersLeftSet("after the call");
    for (const Finding& timer : timers)
        report(timer);
    const bool timerSet = !timers.empty();

    // Only a thread or a timer the routine left can change the storage once it has returned.
    const std::vector<int> started = threadsStartedSince(threadsBefore_);
    std::vector<uint64_t> processorTimes;
    for (const int thread : started)
        processorTimes.push_back(threadProcessorTime(thread));
    if (!started.empty() || timerSet) {
        std::vector<std::vector<std::byte>> returned;
        for (const Piece& piece : pieces_)
            returned.emplace_back(piece.area, piece.area + piece.areaSize);
        sleepMilliseconds(lateMilliseconds);
        for (std::size_t i = 0; i < pieces_.size(); ++i)
            if (std::memcmp(returned[i].data(), pieces_[i].area, pieces_[i].areaSize) != 0)
                report({FindingKind::ChangedAfterReturn, {pieces_[i].name.argument, pieces_[i].name.position}});
    }
    judgeThreadsLeft(started, processorTimes);
    // A process the routine started that has not ended (one that has is taken away here).
    pid_t ended = 0;
    while ((ended = waitpid(-1, nullptr, WNOHANG)) > 0) {}
    if (ended == 0)
        report({FindingKind::LeftAProcess});
}

// A thread the routine left is judged by what it does after the return: one that keeps using
// processor time runs beside the program and is a fault; one blocked in the kernel waits, as a
// runtime's pool of workers (OpenMP's) waits for the next parallel loop, and is named in a
// note. A pool that spins a while before it sleeps (LLVM's waits 200 ms) is given time to.
void Call::judgeThreadsLeft(const std::vector<int>& started, std::vector<uint64_t> processorTimes) const
{
    // A thread that is ready to run, or used a millisecond of processor time while it was
    // looked at, keeps running: on a busy machine a thread that spins may get little of it.
    const auto running = [](int thread, uint64_t before, uint64_t after) {
        return runnable(thread) || (after > before && after - before >= 1000000);
    };
    std::vector<int> runningThreads, waitingThreads;
    constexpr long looked = 50;
    for (long waited = lateMilliseconds;; waited += looked) {
        runningThreads.clear();
        waitingThreads.clear();
        std::vector<uint64_t> now;
        const std::vector<int> alive = threadIds();
        for (std::size_t i = 0; i < started.size(); ++i) {
            now.push_back(threadProcessorTime(started[i]));
            if (!std::binary_search(alive.begin(), alive.end(), started[i]))
                continue; // it has ended
            (running(started[i], processorTimes[i], now[i]) ? runningThreads : waitingThreads).push_back(started[i]);
        }
        if (runningThreads.empty() || waited >= settlingMilliseconds)
            break;
        processorTimes = now;
        sleepMilliseconds(looked);
    }
    if (!runningThreads.empty())
        report({FindingKind::ThreadsLeftRunning, {}, {static_cast<int64_t>(runningThreads.size())}});
    if (!waitingThreads.empty()) {
        std::vector<std::string> channels;
        for (const int thread : waitingThreads)
            if (const std::string channel = waitChannel(thread);
                !channel.empty() && std::find(channels.begin(), channels.end(), channel) == channels.end())
                channels.push_back(channel);
        std::string where;
        for (const std::string& channel : channels)
            where += (where.empty() ? "" : " and ") + channel;
        const auto count = static_cast<int64_t>(waitingThreads.size());
        if (where.empty())
            report({FindingKind::ThreadsLeftWaiting, {}, {count}});
        else
            report({FindingKind::ThreadsLeftWaitingIn, {}, {count, printable(where)}});
    }
}

std::vector<ListedRegion> Call::regionsNow() const
{
    std::vector<ListedRegion> regions;
    for (const Piece& piece : pieces_) {
        ListedRegion region;
        region.reachedThrough = piece.name.reachedThrough;
        region.name = piece.name.callerName;
        region.layout = piece.layout;
        region.address = piece.data;
        region.bytes.assign(reinterpret_cast<const unsigned char*>(piece.data),
                            reinterpret_cast<const unsigned char*>(piece.data) + piece.size);
        region.arrayName = piece.name.arrayName;
        regions.push_back(region);
    }
    // In the order a routine reaches them, as the teaching pages list them: the arguments
    // first, then what lies behind each address they hold ("array", "*array",
    // "(*array)->data"). The pieces of an array are placed the other way round, since the
    // descriptor holds the address of the elements.
    const auto depth = [](const ListedRegion& region) {
        const std::string& through = region.reachedThrough;
        std::size_t steps = static_cast<std::size_t>(std::count(through.begin(), through.end(), '*'));
        for (std::size_t at = through.find("->"); at != std::string::npos; at = through.find("->", at + 2))
            ++steps;
        return steps;
    };
    std::stable_sort(regions.begin(), regions.end(),
                     [&](const ListedRegion& a, const ListedRegion& b) { return depth(a) < depth(b); });
    return regions;
}

void Call::show(const std::string& heading, const std::vector<ListedRegion>& regions,
                const std::vector<ListedRegion>* before) const
{
    channel_.send(reports::Shown{heading + ":\n" + listingOf(regions, before)});
}

// A write that stayed within a piece's pages changed the fill around it: how far from the
// piece the farthest changed byte lies is how far the routine wrote.
namespace {

// Whether `count` bytes from `from` all still hold the fill byte, compared a page at a time.
bool untouched(const std::byte* from, std::size_t count)
{
    static const std::vector<std::byte> filled(pageSize(), fillByte);
    for (std::size_t at = 0; at < count; at += filled.size())
        if (std::memcmp(from + at, filled.data(), std::min(filled.size(), count - at)) != 0)
            return false;
    return true;
}

} // namespace

void Call::reportWritesAround(const Piece& piece) const
{
    const std::byte* areaEnd = piece.area + piece.areaSize;
    const std::byte* dataEnd = piece.data + piece.size;
    if (untouched(piece.area, static_cast<std::size_t>(piece.data - piece.area)) &&
        untouched(dataEnd, static_cast<std::size_t>(areaEnd - dataEnd)))
        return;
    for (const std::byte* b = piece.area; b < piece.data; ++b)
        if (*b != fillByte) {
            const auto distance = static_cast<std::size_t>(piece.data - b);
            report({FindingKind::WroteBeforeStart, {piece.name.argument, piece.name.position},
                    {static_cast<int64_t>(distance)}, kindCause(piece.layout, Side::Start, distance)});
            break;
        }
    for (const std::byte* b = areaEnd; b > dataEnd; --b)
        if (b[-1] != fillByte) {
            const auto distance = static_cast<std::size_t>(b - dataEnd);
            report({FindingKind::WrotePastEnd, {piece.name.argument, piece.name.position},
                    {static_cast<int64_t>(distance)}, kindCause(piece.layout, Side::End, distance)});
            break;
        }
}

void Call::seal()
{
    for (const Piece& piece : pieces_)
        mprotect(piece.map, piece.mapSize, PROT_NONE);
}
