#include "kind_names.h"

#include <iterator>

namespace {

struct KindName {
    FindingKind kind;
    const char* name;
};

struct CauseName {
    CauseKind kind;
    const char* name;
};

// In the order of the enumeration, one row a kind.
constexpr KindName kindNames[] = {
    {FindingKind::NotExported, "not-exported"},
    {FindingKind::NotARoutine, "not-a-routine"},
    {FindingKind::WrotePastEnd, "wrote-past-end"},
    {FindingKind::ReadPastEnd, "read-past-end"},
    {FindingKind::WroteBeforeStart, "wrote-before-start"},
    {FindingKind::ReadBeforeStart, "read-before-start"},
    {FindingKind::WrotePastEndByMoreThan, "wrote-past-end-by-more-than"},
    {FindingKind::ReadPastEndByMoreThan, "read-past-end-by-more-than"},
    {FindingKind::WroteBeforeStartByMoreThan, "wrote-before-start-by-more-than"},
    {FindingKind::ReadBeforeStartByMoreThan, "read-before-start-by-more-than"},
    {FindingKind::WroteIntoReadOnly, "wrote-into-read-only"},
    {FindingKind::KeptAddress, "kept-address"},
    {FindingKind::UsedBytesAsAddress, "used-bytes-as-address"},
    {FindingKind::UsedElementAsAddress, "used-element-as-address"},
    {FindingKind::UsedByteRangeAsAddress, "used-byte-range-as-address"},
    {FindingKind::WroteThroughNull, "wrote-through-null"},
    {FindingKind::ReadThroughNull, "read-through-null"},
    {FindingKind::UsedThroughNull, "used-through-null"},
    {FindingKind::Crashed, "crashed"},
    {FindingKind::OutOfMemory, "out-of-memory"},
    {FindingKind::KeptTheAddressSpace, "kept-the-address-space"},
    {FindingKind::TimedOut, "timed-out"},
    {FindingKind::Stalled, "stalled"},
    {FindingKind::ClosedTheChannel, "closed-the-channel"},
    {FindingKind::UsedUpProcessorTime, "used-up-processor-time"},
    {FindingKind::EndedTheProcess, "ended-the-process"},
    {FindingKind::WentOnInAProcessOfItsOwn, "went-on-in-a-process-of-its-own"},
    {FindingKind::LeftAProcess, "left-a-process"},
    {FindingKind::StartedTooManyProcesses, "started-too-many-processes"},
    {FindingKind::HeldTooMuchMemory, "held-too-much-memory"},
    {FindingKind::CallsNotOver, "calls-not-over"},
    {FindingKind::EndedWhereFileUnwritable, "ended-where-file-unwritable"},
    {FindingKind::CrashedWhereFileUnwritable, "crashed-where-file-unwritable"},
    {FindingKind::ChangedFloatEnvironment, "changed-float-environment"},
    {FindingKind::RaisedFloatFlags, "raised-float-flags"},
    {FindingKind::RegisterNotKept, "register-not-kept"},
    {FindingKind::StackPointerMovedUp, "stack-pointer-moved-up"},
    {FindingKind::StackPointerMovedDown, "stack-pointer-moved-down"},
    {FindingKind::DirectionFlagSet, "direction-flag-set"},
    {FindingKind::ChangedSignalHandling, "changed-signal-handling"},
    {FindingKind::LeftATimerSet, "left-a-timer-set"},
    {FindingKind::ChangedAfterReturn, "changed-after-return"},
    {FindingKind::ThreadsLeftRunning, "threads-left-running"},
    {FindingKind::ThreadsLeftWaiting, "threads-left-waiting"},
    {FindingKind::ThreadsLeftWaitingIn, "threads-left-waiting-in"},
    {FindingKind::DescriptorChanged, "descriptor-changed"},
    {FindingKind::ElementLeftUnsafe, "element-left-unsafe"},
    {FindingKind::NoRoomForStorage, "no-room-for-storage"},
    {FindingKind::CouldNotStartAProcess, "could-not-start-a-process"},
    {FindingKind::LibraryDidNotLoadAgain, "library-did-not-load-again"},
    {FindingKind::AnotherFileLoaded, "another-file-loaded"},
    {FindingKind::LibraryProcessEnded, "library-process-ended"},
    {FindingKind::KeepsState, "keeps-state"},
    {FindingKind::ResultFollowsRegister, "result-follows-register"},
    {FindingKind::WideResult, "wide-result"},
    {FindingKind::StoredAddressBits, "stored-address-bits"},
    {FindingKind::LengthChanged, "length-changed"},
    {FindingKind::CountBeyondElements, "count-beyond-elements"},
    {FindingKind::TagOverOtherKind, "tag-over-other-kind"},
    {FindingKind::TagChanged, "tag-changed"},
    {FindingKind::SquareWrong, "square-wrong"},
    {FindingKind::TraceMissing, "trace-missing"},
    {FindingKind::TraceWrong, "trace-wrong"},
    {FindingKind::RoundingNotPutBack, "rounding-not-put-back"},
    {FindingKind::SumWrong, "sum-wrong"},
    {FindingKind::SumOfAddresses, "sum-of-addresses"},
    {FindingKind::SumOutside16Bits, "sum-outside-16-bits"},
};
static_assert(std::size(kindNames) == static_cast<std::size_t>(lastFindingKind) + 1, "a kind without a name");

constexpr CauseName causeNames[] = {
    {CauseKind::GfortranName, "gfortran-name"},
    {CauseKind::ModuleProcedure, "module-procedure"},
    {CauseKind::OtherLetterCase, "other-letter-case"},
    {CauseKind::CppName, "cpp-name"},
    {CauseKind::HiddenByVisibility, "hidden-by-visibility"},
    {CauseKind::DeclaredStatic, "declared-static"},
    {CauseKind::TakenWider, "taken-wider"},
    {CauseKind::ElementBeforeFirst, "element-before-first"},
    {CauseKind::DeclaredInOtherOrder, "declared-in-other-order"},
    {CauseKind::LeftMeantAsItWas, "left-meant-as-it-was"},
    {CauseKind::DescriptorExpected, "descriptor-expected"},
    {CauseKind::NullFromElement, "null-from-element"},
    {CauseKind::NullFromBytes, "null-from-bytes"},
    {CauseKind::FortranRuntimeEnd, "fortran-runtime-end"},
    {CauseKind::StoppedOnPurpose, "stopped-on-purpose"},
    {CauseKind::FileNotOpened, "file-not-opened"},
    {CauseKind::SquareAt64Bits, "square-at-64-bits"},
    {CauseKind::SingleInFirstBytes, "single-in-first-bytes"},
    {CauseKind::StoredNothing, "stored-nothing"},
    {CauseKind::TraceUnflushed, "trace-unflushed"},
};
static_assert(std::size(causeNames) == static_cast<std::size_t>(lastCauseKind), "a cause without a name");

constexpr bool inOrder()
{
    for (std::size_t i = 0; i < std::size(kindNames); ++i)
        if (static_cast<std::size_t>(kindNames[i].kind) != i)
            return false;
    for (std::size_t i = 0; i < std::size(causeNames); ++i)
        if (static_cast<std::size_t>(causeNames[i].kind) != i + 1)
            return false;
    return true;
}
static_assert(inOrder(), "the names stand in the order of their kinds");

} // namespace

const char* kindName(FindingKind kind)
{
    return kindNames[static_cast<std::size_t>(kind)].name;
}

const char* causeName(CauseKind kind)
{
    return kind == CauseKind::None ? "" : causeNames[static_cast<std::size_t>(kind) - 1].name;
}

const char* severityName(Severity severity)
{
    switch (severity) {
    case Severity::Fault: return "fault";
    case Severity::Note: return "note";
    case Severity::Unchecked: return "not checked";
    }
    return "not checked";
}
