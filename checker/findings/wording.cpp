#include "wording.h"

#include <csignal>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr FindingRow findingTable[] = {
    {FindingKind::NotExported, Severity::Fault, "is not exported"},
    {FindingKind::NotARoutine, Severity::Fault, "the library exports the name, but what it names is not a routine"},
    {FindingKind::WrotePastEnd, Severity::Fault, "wrote past the end of {ARG,} by {N bytes}"},
    {FindingKind::ReadPastEnd, Severity::Fault, "read past the end of {ARG,} by {N bytes}"},
    {FindingKind::WroteBeforeStart, Severity::Fault, "wrote before the start of {ARG,} by {N bytes}"},
    {FindingKind::ReadBeforeStart, Severity::Fault, "read before the start of {ARG,} by {N bytes}"},
    {FindingKind::WrotePastEndByMoreThan, Severity::Fault, "wrote past the end of {ARG,} by more than {N bytes}"},
    {FindingKind::ReadPastEndByMoreThan, Severity::Fault, "read past the end of {ARG,} by more than {N bytes}"},
    {FindingKind::WroteBeforeStartByMoreThan, Severity::Fault,
     "wrote before the start of {ARG,} by more than {N bytes}"},
    {FindingKind::ReadBeforeStartByMoreThan, Severity::Fault, "read before the start of {ARG,} by more than {N bytes}"},
    {FindingKind::WroteIntoReadOnly, Severity::Fault, "wrote into {ARG,} which it must only read"},
    {FindingKind::KeptAddress, Severity::Fault, "kept the address of {ARG}"},
    {FindingKind::UsedBytesAsAddress, Severity::Fault, "used the bytes of {ARG,} as an address"},
    {FindingKind::UsedElementAsAddress, Severity::Fault, "used the value of element {N} of {ARG,} as an address"},
    {FindingKind::UsedByteRangeAsAddress, Severity::Fault, "used bytes {I} to {J} of {ARG,} as an address"},
    {FindingKind::WroteThroughNull, Severity::Fault, "wrote through a null address"},
    {FindingKind::ReadThroughNull, Severity::Fault, "read through a null address"},
    {FindingKind::UsedThroughNull, Severity::Fault, "used through a null address"},
    {FindingKind::Crashed, Severity::Fault, "crashed ({SIGNAL})"},
    {FindingKind::OutOfMemory, Severity::Fault,
     "ran out of memory: it reached the {N} GiB of address space a routine may take, and then crashed ({SIGNAL})"},
    {FindingKind::KeptTheAddressSpace, Severity::Fault,
     "ran out of memory: after its calls it held the {N} GiB of address space a routine may take, and left no room "
     "for the storage of {ARG name} in the next call"},
    {FindingKind::TimedOut, Severity::Fault, "did not return within {N seconds}"},
    {FindingKind::Stalled, Severity::Fault,
     "did not return within {N seconds}, in which it used {M seconds} of processor time: it waits for something "
     "that never comes (pause(), a sleep, a lock never released)"},
    {FindingKind::ClosedTheChannel, Severity::Fault, "closed the checker's report channel"},
    {FindingKind::UsedUpProcessorTime, Severity::Fault,
     "used up its processor time ({N seconds}, as long as the time limit)"},
    {FindingKind::EndedTheProcess, Severity::Fault,
     "ended the process with exit status {N}, as a Fortran STOP or a C exit() does: it would end the whole program "
     "that called it"},
    {FindingKind::WentOnInAProcessOfItsOwn, Severity::Fault,
     "went on in a process of its own (it forked, as daemon() does), which wrote into the checker's report channel"},
    {FindingKind::LeftAProcess, Severity::Fault, "left a process of its own running after it returned (it forked)"},
    {FindingKind::StartedTooManyProcesses, Severity::Fault,
     "started more than {N} processes at once (it forks without end); the checker ended them all"},
    {FindingKind::HeldTooMuchMemory, Severity::Fault,
     "held more than {N} GiB of memory in all its processes at once; the checker ended them all"},
    {FindingKind::CallsNotOver, Severity::Fault,
     "ended its process before call {N} of the checker's {M} calls had returned, though a message in the checker's "
     "name said they were over"},
    {FindingKind::EndedWhereFileUnwritable, Severity::Note,
     "ended the process with exit status {N} when {FILE} could not be written (a folder stood in its place)"},
    {FindingKind::CrashedWhereFileUnwritable, Severity::Note,
     "crashed ({SIGNAL}) when {FILE} could not be written (a folder stood in its place)"},
    {FindingKind::ChangedFloatEnvironment, Severity::Fault, "changed the floating-point environment ({CHANGE})"},
    {FindingKind::RaisedFloatFlags, Severity::Note,
     "raised the floating-point exception flags {FLAGS}; the programs do not look at them"},
    {FindingKind::RegisterNotKept, Severity::Fault,
     "did not keep {REG} as it found it (a routine must leave rbx, rbp and r12 to r15 unchanged)"},
    {FindingKind::StackPointerMovedUp, Severity::Fault,
     "returned with the stack pointer moved {N} bytes up (a routine must return with it where the call left it)"},
    {FindingKind::StackPointerMovedDown, Severity::Fault,
     "returned with the stack pointer moved {N} bytes down (a routine must return with it where the call left it)"},
    {FindingKind::DirectionFlagSet, Severity::Fault,
     "returned with the direction flag set (a routine must clear it before it returns)"},
    {FindingKind::ChangedSignalHandling, Severity::Fault,
     "changed the handling of {SIGNAL} and did not put it back (the program relies on it as it was)"},
    {FindingKind::LeftATimerSet, Severity::Fault, "left a timer set ({HOW}): {SIGNAL} would end the program {WHEN}"},
    {FindingKind::ChangedAfterReturn, Severity::Fault,
     "changed {ARG,} after it had returned (a thread or a timer it left behind)"},
    {FindingKind::ThreadsLeftRunning, Severity::Fault, "left {N threads} running after it returned"},
    {FindingKind::ThreadsLeftWaiting, Severity::Note,
     "left {N threads} waiting after it returned (blocked in the kernel), as a runtime's pool of workers waits "
     "(OpenMP's); harmless while it only waits"},
    {FindingKind::ThreadsLeftWaitingIn, Severity::Note,
     "left {N threads} waiting after it returned (blocked in the kernel, in {WAIT}), as a runtime's pool of workers "
     "waits (OpenMP's); harmless while it only waits"},
    {FindingKind::DescriptorChanged, Severity::Fault, "changed the descriptor of {ARG} ({FIELD})"},
    {FindingKind::ElementLeftUnsafe, Severity::Fault,
     "left element {N} of {ARG,} with the kind {K}, which the program cannot hold and release safely"},
    {FindingKind::NoRoomForStorage, Severity::Unchecked,
     "the checker found no room in its process for the guarded storage of {ARG name} ({REASON})"},
    {FindingKind::CouldNotStartAProcess, Severity::Unchecked, "the checker could not start a process to call it"},
    {FindingKind::LibraryDidNotLoadAgain, Severity::Fault,
     "could not be checked: its library did not load again in a new process: {PROBLEM}"},
    {FindingKind::AnotherFileLoaded, Severity::Fault,
     "could not be checked: a new process loaded another file than {FILE}"},
    {FindingKind::LibraryProcessEnded, Severity::Fault,
     "could not be checked: the process that holds its loaded library ended while it ran"},
    {FindingKind::KeepsState, Severity::Note,
     "keeps state between calls: the first click shows {FIRST}, the second {SECOND}"},
    {FindingKind::ResultFollowsRegister, Severity::Fault,
     "returns a result that follows whatever {REG} held before the call, not {ARG}: it took {ARG name} by value "
     "(Fortran's value attribute, or float {ARG name} in C) where Korvik passes its address; declare {ARG name} "
     "without value, float * in C"},
    {FindingKind::WideResult, Severity::Fault,
     "returns a 64-bit real ({WIDE}) where Korvik reads a 32-bit one, so test 3 shows {SHOWN}; declare the result "
     "float (real(c_float) in Fortran)"},
    {FindingKind::StoredAddressBits, Severity::Fault,
     "stored into {ARG,} the low 16 bits of the address of {OTHER,} not its value: it took {OTHER name} by value "
     "(Fortran's value attribute, or int16_t {OTHER name} in C) where Korvik passes its address; declare it without "
     "value"},
    {FindingKind::LengthChanged, Severity::Note,
     "changed {ARG,} from {BEFORE} to {AFTER}; Korvik does not read it back, and text B keeps its {N} characters"},
    {FindingKind::CountBeyondElements, Severity::Note,
     "left {ARG,} at {COUNT}, beyond the {N} elements of each array; Korvik then reports \"Subscript out of range\""},
    {FindingKind::TagOverOtherKind, Severity::Fault,
     "tagged element {N} of {ARG,} {KIND}, over the bytes of {HELD}, {VALUE}: Korvik shows {SHOWN}; tag it {TAG} for "
     "the value it holds",
     "elements"},
    {FindingKind::TagChanged, Severity::Fault, "changed the tag of {ARG}"},
    {FindingKind::SquareWrong, Severity::Fault,
     "for {CASE}, {ARG,} holds {Y}, not the 32-bit real {EXPECTED} (Vandrel shows {SHOWN})", "calls"},
    {FindingKind::TraceMissing, Severity::Fault,
     "for {CASE}, there is no square.dat in the call's directory when the call returns", "calls"},
    {FindingKind::TraceWrong, Severity::Fault,
     "for {CASE}, square.dat ends with {LINES} when the call returns, not {RECORD1}, with any number of blanks "
     "before it, and {RECORD2}",
     "calls"},
    {FindingKind::RoundingNotPutBack, Severity::Fault,
     "for {CASE}, the call returned with another rounding direction; put the caller's back before returning", "calls"},
    {FindingKind::SumWrong, Severity::Fault,
     "for a = {A} and b = {B}, {ARG,} holds {C}, not {SUM} (Tolvan shows {SHOWN})", "pairs"},
    {FindingKind::SumOfAddresses, Severity::Fault,
     "for a = {A} and b = {B}, {ARG,} holds the sum of the low 16 bits of the addresses of a and b, not {SUM}, and "
     "Tolvan shows a number that changes from run to run: it took a and b, the {P} and {Q} arguments, by value "
     "(Fortran's value attribute); declare them without value",
     "pairs"},
    {FindingKind::SumOutside16Bits, Severity::Note,
     "for a = {A} and b = {B}, whose sum {SUM} lies outside 16 bits, {ARG,} holds {C} and Tolvan shows {SHOWN}; what "
     "it holds then is the routine's own choice"},
};

constexpr CauseRow causeTable[] = {
    {CauseKind::None, ""},
    {CauseKind::GfortranName,
     " (it exports {NAME}, the name gfortran gives a routine without bind(C): add bind(C, name=\"{ROUTINE}\"))"},
    {CauseKind::ModuleProcedure,
     " (it exports {NAME}, the name gfortran gives a module procedure without bind(C): add "
     "bind(C, name=\"{ROUTINE}\"))"},
    {CauseKind::OtherLetterCase,
     " (it exports {NAME}, in another letter case: a program finds a routine by its exact name; write "
     "bind(C, name=\"{ROUTINE}\"), or {ROUTINE} in C)"},
    {CauseKind::CppName, " (it exports {NAME}, a C++ name: declare it extern \"C\")"},
    {CauseKind::HiddenByVisibility,
     " (the library holds {ROUTINE}, hidden by the visibility settings (-fvisibility=hidden): declare it with "
     "ROUTINE_EXPORT, as {HEADER} does)"},
    {CauseKind::DeclaredStatic,
     " (the library holds {ROUTINE}, declared static: only its own file can call it; remove static and declare it "
     "with ROUTINE_EXPORT, as {HEADER} does)"},
    {CauseKind::TakenWider, ": it took that argument as {KIND}; declare it {TYPE}"},
    {CauseKind::ElementBeforeFirst,
     ", one element before the first: a loop from 0 over an array that Fortran numbers from 1"},
    {CauseKind::DeclaredInOtherOrder,
     ": {N bytes} from its start, the size of {NAMES}, the {POSITIONS} argument: the routine declares its "
     "arguments in another order; declare them as the contract does, {DECLARATION}"},
    {CauseKind::LeftMeantAsItWas,
     ", and left {OTHER,} as it was: the routine takes its arguments in another order (declared in another order, or "
     "one before it taken by value); declare them as the contract does, {DECLARATION}"},
    {CauseKind::DescriptorExpected,
     ": character(len=*) and x(:) in a bind(C) routine expect a C descriptor; declare it {ARG name}(*)"},
    {CauseKind::NullFromElement, ", which it took from the value of element {N} of {ARG}"},
    {CauseKind::NullFromBytes, ", which it took from bytes {I} to {J} of {ARG}"},
    {CauseKind::FortranRuntimeEnd,
     ": the Fortran runtime ends the program on an I/O error without iostat=; add iostat= to open and write"},
    {CauseKind::StoppedOnPurpose, ", as a Fortran STOP or a C exit() does; go on without the trace instead"},
    {CauseKind::FileNotOpened, ": it wrote to a file that did not open; check what fopen returns"},
    {CauseKind::SquareAt64Bits, ": the square at 64-bit precision; convert it to a 32-bit real first"},
    {CauseKind::SingleInFirstBytes, ": a 32-bit real in the first 4 of y's 8 bytes; store it widened"},
    {CauseKind::StoredNothing,
     ": it stored nothing into {ARG,} for any {EACH}; a routine that takes {ARG name} by value (Fortran's value "
     "attribute, {TYPE} {ARG name} in C) stores into its own copy; declare {ARG name} without value"},
    {CauseKind::TraceUnflushed, "; close the file before returning"},
};

const FindingRow& rowOf(FindingKind kind)
{
    const auto row = std::find_if(std::begin(findingTable), std::end(findingTable),
                                  [kind](const FindingRow& each) { return each.kind == kind; });
    return *row; // every kind has its row: the unit table of the wording checks it
}

const CauseRow& rowOf(CauseKind kind)
{
    const auto row = std::find_if(std::begin(causeTable), std::end(causeTable),
                                  [kind](const CauseRow& each) { return each.kind == kind; });
    return *row;
}

// A placeholder's name and its unit: "N bytes" gives "N" and "bytes".
struct Placeholder {
    std::string name;
    std::string unit;
    bool within = false; // "{ARG,}"
};

Placeholder parse(std::string_view inside)
{
    Placeholder placeholder;
    if (inside.ends_with(",")) {
        placeholder.within = true;
        inside.remove_suffix(1);
    }
    const std::size_t blank = inside.find(' ');
    placeholder.name = std::string(inside.substr(0, blank));
    if (blank != std::string_view::npos)
        placeholder.unit = std::string(inside.substr(blank + 1));
    return placeholder;
}

std::string counted(const Value& value, const std::string& unit)
{
    std::string number;
    bool one = false;
    if (const auto* whole = std::get_if<int64_t>(&value)) {
        number = std::to_string(*whole);
        one = *whole == 1;
    } else if (const auto* fraction = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", *fraction);
        number = text;
        one = *fraction == 1;
    } else {
        number = std::get<std::string>(value);
    }
    if (unit.empty())
        return number;
    // "bytes" -> "byte" for one
    return number + " " + (one ? unit.substr(0, unit.size() - 1) : unit);
}

// Fills a row's text: the argument from `argument`, each other name from `values` in the
// order the names first appear.
std::string filled(const char* text, const Argument& argument, const std::vector<Value>& values,
                   const Argument& other = {})
{
    std::string out;
    std::vector<std::string> names;
    for (const char* at = text; *at;) {
        const char* open = std::strchr(at, '{');
        if (!open) {
            out += at;
            break;
        }
        out.append(at, open);
        const char* close = std::strchr(open, '}');
        const Placeholder placeholder = parse(std::string_view(open + 1, close));
        at = close + 1;
        if (placeholder.name == "ARG" || placeholder.name == "OTHER") {
            const Argument& which = placeholder.name == "ARG" ? argument : other;
            out += placeholder.unit == "name" ? which.name
                : placeholder.within          ? namedWithin(which.name, which.position)
                                              : named(which.name, which.position);
            continue;
        }
        auto known = std::find(names.begin(), names.end(), placeholder.name);
        if (known == names.end())
            known = names.insert(names.end(), placeholder.name);
        const auto index = static_cast<std::size_t>(known - names.begin());
        if (index >= values.size())
            continue;
        const Value& value = values[index];
        if (placeholder.name == "SIGNAL" && std::holds_alternative<int64_t>(value))
            out += signalName(static_cast<int>(std::get<int64_t>(value)));
        else
            out += counted(value, placeholder.unit);
    }
    return out;
}

} // namespace

std::span<const FindingRow> findingRows()
{
    return findingTable;
}

std::span<const CauseRow> causeRows()
{
    return causeTable;
}

Severity severityOf(FindingKind kind)
{
    return rowOf(kind).severity;
}

std::string sentenceOf(const Finding& finding)
{
    const FindingRow& row = rowOf(finding.kind);
    std::string sentence = filled(row.text, finding.argument, finding.values, finding.other) +
        filled(rowOf(finding.cause.kind).text, finding.cause.argument, finding.cause.values, finding.cause.argument);
    if (row.tallied && finding.tally.count > 1)
        sentence += " (" + std::to_string(finding.tally.count) + " of " + std::to_string(finding.tally.of) + " " +
            row.tallied + ")";
    return sentence;
}

std::string asThePagesWriteIt(const char* text, const std::string& argument)
{
    std::string out;
    for (const char* at = text; *at;) {
        const char* open = std::strchr(at, '{');
        if (!open) {
            out += at;
            break;
        }
        out.append(at, open);
        const char* close = std::strchr(open, '}');
        const Placeholder placeholder = parse(std::string_view(open + 1, close));
        at = close + 1;
        if ((placeholder.name == "ARG" || placeholder.name == "OTHER") && placeholder.unit == "name")
            out += placeholder.name;
        else if (placeholder.name == "ARG")
            out += argument + (placeholder.within ? "," : "");
        else if (placeholder.name == "OTHER")
            out += (argument == "ARG" ? std::string("OTHER") : "OTHER, the Q argument") +
                (placeholder.within ? "," : "");
        else
            out += placeholder.name + (placeholder.unit.empty() ? "" : " " + placeholder.unit);
    }
    return out;
}

std::string signalName(int signal)
{
    struct Named {
        int signal;
        const char* name;
    };
    static constexpr Named names[] = {
        {SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"},   {SIGFPE, "SIGFPE"},       {SIGILL, "SIGILL"},
        {SIGABRT, "SIGABRT"}, {SIGTRAP, "SIGTRAP"}, {SIGSYS, "SIGSYS"},       {SIGKILL, "SIGKILL"},
        {SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"},   {SIGPIPE, "SIGPIPE"},     {SIGALRM, "SIGALRM"},
        {SIGHUP, "SIGHUP"},   {SIGQUIT, "SIGQUIT"}, {SIGUSR1, "SIGUSR1"},     {SIGUSR2, "SIGUSR2"},
        {SIGXCPU, "SIGXCPU"}, {SIGXFSZ, "SIGXFSZ"}, {SIGVTALRM, "SIGVTALRM"}, {SIGPROF, "SIGPROF"},
        {SIGCHLD, "SIGCHLD"},
    };
    for (const Named& named : names)
        if (named.signal == signal)
            return named.name;
    return "signal " + std::to_string(signal);
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
