#include "call.h"

#include "library_process.h"
#include "kept_registers.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <ctime>

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

std::string bytes(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

[[noreturn]] void outOfMemory()
{
    // The check cannot go on without its storage; the parent reports the child's end.
    _exit(3);
}

// The kinds a Variant of the programs owns or follows: releasing or reading one that the
// program did not make would free or read memory that is not what the tag says.
bool ownsOrFollows(VARTYPE kind)
{
    return kind == VT_BSTR || (kind & VT_ARRAY) || (kind & VT_BYREF);
}

// The signals whose handling a program relies on: a write to a closed pipe ends it (SIGPIPE),
// an alarm it never set must not be handled for it (SIGALRM), and the runtime waits for the
// processes it starts (SIGCHLD).
constexpr int reliedOnSignals[] = {SIGPIPE, SIGALRM, SIGCHLD};

// How long a child stays after a return while a thread or a timer the routine left behind
// may still act: long enough for a late write, well under a second.
constexpr long lateMilliseconds = 150;

void* handlerOf(int signal)
{
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return (action.sa_flags & SA_SIGINFO) ? reinterpret_cast<void*>(action.sa_sigaction)
                                          : reinterpret_cast<void*>(action.sa_handler);
}

// The number of threads of the process: the 20th field of /proc/self/stat, after the name in
// parentheses (which may hold anything, so the fields are counted from its last ')').
int threadCount()
{
    char text[1024];
    const int file = open("/proc/self/stat", O_RDONLY | O_CLOEXEC);
    const ssize_t length = file >= 0 ? read(file, text, sizeof text - 1) : -1;
    if (file >= 0)
        close(file);
    if (length <= 0)
        return 1;
    text[length] = '\0';
    const char* at = std::strrchr(text, ')');
    for (int field = 2; at && field < 20; ++field)
        at = std::strchr(at + 1, ' ');
    const int count = at ? std::atoi(at + 1) : 1;
    return count > 0 ? count : 1;
}

void sleepMilliseconds(long milliseconds)
{
    timespec left{milliseconds / 1000, milliseconds % 1000 * 1000000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

} // namespace

std::vector<std::string> timersLeftSet(const char* when)
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
    std::vector<std::string> left;
    for (const Timer& timer : timers) {
        itimerval value{};
        if (getitimer(timer.which, &value) == 0 && (value.it_value.tv_sec != 0 || value.it_value.tv_usec != 0))
            left.push_back(std::string("left a timer set (") + timer.how + "): " + timer.signal +
                           " would end the program " + when);
    }
    return left;
}

// The usual cause of reaching `distance` bytes beyond a piece, as a clause: a number taken
// as a wider kind than the program passes, or the element before an array's first.
std::string kindCause(RegionLayout layout, Side side, std::size_t distance)
{
    struct Kind {
        RegionLayout layout;
        std::size_t reach; // past the end
        const char* taken;
        const char* declared;
    };
    constexpr Kind kinds[] = {
        {REGION_INT16, 2, "a 32-bit integer", "int16_t * in C, integer(c_int16_t) in Fortran"},
        {REGION_INT16, 6, "a 64-bit integer", "int16_t * in C, integer(c_int16_t) in Fortran"},
        {REGION_INT32, 4, "a 64-bit number", "int32_t * in C, integer(c_int32_t) in Fortran"},
        {REGION_REAL32, 4, "a 64-bit real", "float * in C, real(c_float) in Fortran"},
    };
    if (side == Side::End)
        for (const Kind& kind : kinds)
            if (kind.layout == layout && kind.reach == distance)
                return ": it took that argument as " + std::string(kind.taken) + "; declare it " + kind.declared;
    if (side == Side::Start && layout == REGION_VARIANTS && distance == sizeof(VARIANT))
        return ", one element before the first: a loop from 0 over an array that Fortran numbers from 1";
    return "";
}

std::string ordinal(int position)
{
    constexpr const char* ordinals[] = {"first", "second", "third", "fourth", "fifth", "sixth"};
    if (position < 1 || position > static_cast<int>(std::size(ordinals)))
        return "";
    return ordinals[position - 1];
}

std::string named(const std::string& argument, int position)
{
    if (position < 1)
        return argument;
    if (ordinal(position).empty())
        return argument + ", argument " + std::to_string(position);
    return argument + ", the " + ordinal(position) + " argument";
}

std::string namedWithin(const std::string& argument, int position)
{
    return named(argument, position) + (position > 0 ? "," : "");
}

Call::Call(const ReportChannel& channel, int number, bool show, Probe probe)
    : channel_(channel), number_(number), show_(show), probe_(probe)
{
}

void* Call::place(const PieceName& name, RegionLayout layout, const void* initial, std::size_t size,
                  std::size_t alignment, bool readOnly)
{
    const int index = static_cast<int>(pieces_.size());
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
        outOfMemory();
    std::byte* area = static_cast<std::byte*>(map) + guard;
    if (mprotect(area, areaSize, PROT_READ | PROT_WRITE) != 0)
        outOfMemory();
    std::memset(area, static_cast<int>(fillByte), areaSize);
    std::byte* data = side == Side::End ? area + areaSize - slack - size : area + slack;
    std::memcpy(data, initial, size);
    if (probe_.bytesAsAddress && size >= sizeof(void*))
        fillWithDecoyAddress(name, layout, data, size);
    if (readOnly && !probe_.readOnlyWritable && mprotect(area, areaSize, PROT_READ) != 0)
        outOfMemory();

    pieces_.push_back({static_cast<std::byte*>(map), mapSize, area, areaSize, data, size, readOnly, name, layout, {}});
    if (probe_.readOnlyWritable)
        pieces_.back().initial.assign(data, data + size);

    // The parent keeps its own record of the piece, to name it from a faulting address.
    Message placed{};
    placed.kind = MessageKind::Placed;
    placed.call = static_cast<uint32_t>(number_);
    placed.number = static_cast<uint32_t>(index);
    placed.flags = (readOnly ? 1u : 0u) | static_cast<uint32_t>(alignment) << 8 | static_cast<uint32_t>(layout) << 16;
    placed.position = static_cast<uint32_t>(name.position);
    placed.mapStart = reinterpret_cast<uintptr_t>(map);
    placed.mapEnd = placed.mapStart + mapSize;
    placed.dataStart = reinterpret_cast<uintptr_t>(data);
    placed.dataEnd = placed.dataStart + size;
    channel_.send(placed, name.argument);
    return data;
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

void Call::fillWithDecoyAddress(const PieceName& name, RegionLayout layout, std::byte* data, std::size_t size) const
{
    // Each 8 bytes get a slot of their own, so that the slot a routine faults in tells from
    // which bytes of the piece it took the address.
    const std::size_t slots = size / sizeof(void*);
    void* decoys = reserveDecoys(slots * decoySlotSize);
    if (decoys == MAP_FAILED)
        outOfMemory();
    for (std::size_t slot = 0; slot < slots; ++slot) {
        void* decoy = static_cast<std::byte*>(decoys) + slot * decoySlotSize;
        std::memcpy(data + slot * sizeof decoy, &decoy, sizeof decoy);
    }
    Message placed{};
    placed.kind = MessageKind::Placed;
    placed.call = static_cast<uint32_t>(number_);
    placed.number = static_cast<uint32_t>(pieces_.size());
    placed.flags = decoyPiece | static_cast<uint32_t>(layout) << 16;
    placed.position = static_cast<uint32_t>(name.position);
    placed.mapStart = placed.dataStart = reinterpret_cast<uintptr_t>(decoys);
    placed.mapEnd = placed.dataEnd = placed.mapStart + slots * decoySlotSize;
    channel_.send(placed, name.argument);
}

char* Call::text(const PieceName& name, std::string_view text)
{
    std::string copy(text);
    return static_cast<char*>(place(name, REGION_TEXT, copy.c_str(), copy.size() + 1, 1, false));
}

VARIANT* Call::elements(const PieceName& name, const std::vector<VARIANT>& initial)
{
    return static_cast<VARIANT*>(
        place(name, REGION_VARIANTS, initial.data(), initial.size() * sizeof(VARIANT), alignof(VARIANT), false));
}

void Call::begin()
{
    threadsBefore_ = threadCount();
    handlersBefore_.clear();
    for (int signal : reliedOnSignals)
        handlersBefore_.emplace_back(signal, handlerOf(signal));
    Message started{};
    started.kind = MessageKind::CallStarted;
    started.call = static_cast<uint32_t>(number_);
    if (show_) {
        before_ = regionsNow();
        show("before the call", before_, nullptr);
    }
    channel_.send(started);
    setProgramsEnvironment();
}

void Call::end(const FloatEnvironment& after, const ListedRegion* result) const
{
    setProgramsEnvironment();
    if (show_) {
        std::vector<ListedRegion> leftByTheCall = regionsNow();
        if (result)
            leftByTheCall.push_back(*result);
        show("\nafter the call", leftByTheCall, &before_);
    }

    if (const std::string change = describeChange(after); !change.empty())
        fault("changed the floating-point environment (" + change + ")");
    if (const std::string flags = describeFlags(after); !flags.empty())
        note("raised the floating-point exception flags " + flags + "; the programs do not look at them");
    for (const std::string& unkept : unkeptRegisters())
        fault(unkept);
    for (const Piece& piece : pieces_)
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
            Message changed{};
            changed.kind = MessageKind::Changed;
            changed.call = static_cast<uint32_t>(number_);
            changed.number = static_cast<uint32_t>(i);
            channel_.send(changed);
        }
}

void Call::lookAfterTheReturn() const
{
    for (const auto& [signal, handler] : handlersBefore_)
        if (handlerOf(signal) != handler)
            fault("changed the handling of " + signalName(signal) +
                  " and did not put it back (the program relies on it as it was)");
    const std::vector<std::string> timers = timersLeftSet("after the call");
    for (const std::string& timer : timers)
        fault(timer);
    const bool timerSet = !timers.empty();

    // Only a thread or a timer the routine left can change the storage once it has returned.
    int started = threadCount() - threadsBefore_;
    if (started > 0 || timerSet) {
        std::vector<std::vector<std::byte>> returned;
        for (const Piece& piece : pieces_)
            returned.emplace_back(piece.area, piece.area + piece.areaSize);
        sleepMilliseconds(lateMilliseconds);
        for (std::size_t i = 0; i < pieces_.size(); ++i)
            if (std::memcmp(returned[i].data(), pieces_[i].area, pieces_[i].areaSize) != 0)
                fault("changed " + namedWithin(pieces_[i].name.argument, pieces_[i].name.position) + " after it had returned (a thread or a timer it left "
                      "behind)");
        started = threadCount() - threadsBefore_;
    }
    if (started > 0)
        fault("left " + std::to_string(started) + (started == 1 ? " thread" : " threads") +
              " running after it returned");
    // A process the routine started that has not ended (one that has is taken away here).
    pid_t ended = 0;
    while ((ended = waitpid(-1, nullptr, WNOHANG)) > 0) {}
    if (ended == 0)
        fault(leftAProcess);
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
    channel_.send(MessageKind::Shown, heading + ":\n" + listingOf(regions, before));
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
            fault("wrote before the start of " + namedWithin(piece.name.argument, piece.name.position) + " by " +
                  bytes(static_cast<std::size_t>(piece.data - b)) +
                  kindCause(piece.layout, Side::Start, static_cast<std::size_t>(piece.data - b)));
            break;
        }
    for (const std::byte* b = areaEnd; b > dataEnd; --b)
        if (b[-1] != fillByte) {
            fault("wrote past the end of " + namedWithin(piece.name.argument, piece.name.position) + " by " +
                  bytes(static_cast<std::size_t>(b - dataEnd)) +
                  kindCause(piece.layout, Side::End, static_cast<std::size_t>(b - dataEnd)));
            break;
        }
}

void Call::expectSameDescriptor(const std::string& arrayName, int position, const SAFEARRAY& before,
                                const SAFEARRAY& after) const
{
    struct Field {
        const char* name;
        bool changed;
    };
    const Field fields[] = {
        {"its dimension count", before.dimensions != after.dimensions},
        {"its features", before.features != after.features},
        {"its element size", before.elementSize != after.elementSize},
        {"its lock count", before.locks != after.locks},
        {"the address of its elements", before.data != after.data},
        {"its element count", before.bounds[0].elementCount != after.bounds[0].elementCount},
        {"its lower bound", before.bounds[0].lowerBound != after.bounds[0].lowerBound},
    };
    for (const Field& field : fields)
        if (field.changed)
            fault("changed the descriptor of " + named(arrayName, position) + " (" + field.name + ")");
}

void Call::expectSafeElements(const std::string& arrayName, int position, const std::vector<VARIANT>& before,
                              const VARIANT* after, int firstIndex) const
{
    for (std::size_t i = 0; i < before.size(); ++i) {
        const bool changed = after[i].kind != before[i].kind || after[i].value.bits != before[i].value.bits;
        if (changed && ownsOrFollows(after[i].kind)) {
            char kind[8];
            std::snprintf(kind, sizeof kind, "0x%04X", after[i].kind);
            fault("left element " + std::to_string(firstIndex + static_cast<int>(i)) + " of " +
                  namedWithin(arrayName, position) + " with the kind " + kind + ", which the program cannot hold and release safely");
        }
    }
}

void Call::seal()
{
    for (const Piece& piece : pieces_)
        mprotect(piece.map, piece.mapSize, PROT_NONE);
}
