// Ostrum as Korvik calls it: tests 1 to 7, with test 2 calling xArray from index 1, and what
// Korvik then shows, in Label1 (test 3) and Label2 (test 5) among the rest.
//
// Every piece of every call lies in the storage the checker shares, and the checker judges
// what the calls left from its bytes: the routine's process only places the pieces and makes
// the calls. Each routine has its plan (what its check places, call by call, in order) and its
// judgement (the same results read back from the bytes).
#include "array_arguments.h"
#include "contracts.h"
#include "placements.h"
#include "register_arguments.h"
#include "ostrum_results.h"
#include "shown_texts.h"
#include "storage_results.h"

#include "ostrum.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

namespace {

// ---- Reading the shared storage back ------------------------------------------------------

// The pieces of a routine's calls in the order the check places them, numbered as it goes,
// in the checker: piece(k) is the k-th piece placed.
class PiecesLeft {
public:
    PiecesLeft(const ArenaLayout& layout, const std::byte* bytes) : layout_(layout), bytes_(bytes) {}

    const std::byte* bytesOf(std::size_t piece) const { return bytes_ + layout_.slots.at(piece).data; }

    template <typename T>
    T valueOf(std::size_t piece) const
    {
        T value;
        std::memcpy(&value, bytesOf(piece), sizeof value);
        return value;
    }

    std::vector<VARIANT> elementsOf(std::size_t piece) const
    {
        std::vector<VARIANT> elements(arrayLength);
        std::memcpy(elements.data(), bytesOf(piece), arrayLength * sizeof(VARIANT));
        return elements;
    }

    const ArenaSlot& slot(std::size_t piece) const { return layout_.slots.at(piece); }

    template <typename Record>
    Record record() const
    {
        Record record{};
        if (layout_.recordSize >= sizeof record)
            std::memcpy(&record, bytes_ + layout_.records, sizeof record);
        return record;
    }

private:
    const ArenaLayout& layout_;
    const std::byte* bytes_;
};

// A plan, click by click and piece by piece: each adder gives the number of the piece it placed.
class PlanOf {
public:
    template <typename T>
    std::size_t value(const ArgumentDescription& argument, T number)
    {
        return add(sharedValue(call_, argument, number));
    }
    template <typename T>
    std::size_t value(const ArgumentDescription& argument)
    {
        return value(argument, static_cast<T>(argument.number));
    }
    std::size_t text(const ArgumentDescription& argument) { return add(sharedText(call_, argument)); }
    std::size_t elements(const ArgumentDescription& argument)
    {
        return add(sharedElements(call_, argument, ::elementsOf(argument.array)));
    }
    // Elements, descriptor and variable, as placeArray() places them: the number of the first.
    std::size_t array(const ArgumentDescription& argument)
    {
        const std::size_t first = plan.pieces.size();
        planArray(plan.pieces, call_, argument);
        return first;
    }
    // `inFirstCall` clicks in the first call, then `inSecondCall` in the second, each placed by
    // `click` and made as one call of the routine, with its marker.
    template <typename Click>
    void clicks(std::size_t inFirstCall, std::size_t inSecondCall, Click click)
    {
        for (call_ = 1; call_ <= 2; ++call_)
            for (std::size_t made = 0; made < (call_ == 1 ? inFirstCall : inSecondCall); ++made, ++plan.calls)
                click();
    }

    SharedPlan plan;

private:
    std::size_t add(ArenaPiece piece)
    {
        plan.pieces.push_back(std::move(piece));
        return plan.pieces.size() - 1;
    }

    uint32_t call_ = 1;
};

// What a call of test 6 or 7 left of its array: elements, descriptor and variable.
std::vector<Finding> arrayFindings(const PiecesLeft& left, std::size_t first, const ArgumentDescription& argument)
{
    const Argument named{std::string(argument.name), positionOf(argument)};
    std::vector<Finding> found;
    SAFEARRAY before{};
    std::memcpy(&before, left.slot(first + 1).piece.initial.data(), sizeof before);
    for (const Finding& change : descriptorChanges(named, before, left.valueOf<SAFEARRAY>(first + 1)))
        found.push_back(change);
    if (left.valueOf<std::uintptr_t>(first + 2) != routineAddressOf(left.slot(first + 1)))
        found.push_back({FindingKind::DescriptorChanged, named, {std::string("the address that its array variable holds")}});
    for (const Finding& unsafe : unsafeElements(named, ::elementsOf(argument.array), left.elementsOf(first), 1))
        found.push_back(unsafe);
    return found;
}

// ---- Test 1: chara ----------------------------------------------------------------------

constexpr const CallDescription& charaCall = ostrumCalls.call("chara");

// Text A as an 8-bit copy, its length through a 32-bit temporary, text B as an 8-bit copy that
// is turned back, B's length by its own address; in the first call, a second click.
void checkChara(void* address, Call& call)
{
    const auto routine = reinterpret_cast<decltype(&::chara)>(address);
    char* textA = placeText(call, charaCall.argument("textA"));
    int32_t* lengthA = placeValue<int32_t>(call, charaCall.argument("lengthA"));
    char* textB = placeText(call, charaCall.argument("textB"));
    int32_t* lengthB = placeValue<int32_t>(call, charaCall.argument("lengthB"));
    call.run([&] { routine(textA, lengthA, textB, lengthB); });
    if (call.side() != Side::End)
        return;
    char* againA = placeText(call, charaCall.argument("textA"));
    int32_t* againLengthA = placeValue<int32_t>(call, charaCall.argument("lengthA"));
    char* againB = placeText(call, charaCall.argument("textB"));
    int32_t* againLengthB = placeValue<int32_t>(call, charaCall.argument("lengthB"));
    call.callAgain([&] {
        setProgramsEnvironment();
        routine(againA, againLengthA, againB, againLengthB);
        setProgramsEnvironment();
    });
}

SharedPlan charaPlan()
{
    PlanOf plan;
    plan.clicks(2, 1, [&] {
        plan.text(charaCall.argument("textA"));
        plan.value<int32_t>(charaCall.argument("lengthA"));
        plan.text(charaCall.argument("textB"));
        plan.value<int32_t>(charaCall.argument("lengthB"));
    });
    return plan.plan;
}

// lblindex2 from text B; a second click that shows otherwise is a note, and so is a length of
// B that the call changed (Korvik does not read it back).
SharedJudgement judgeCharaCalls(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const PiecesLeft left(layout, bytes);
    SharedJudgement judged;
    const auto textB = [&](std::size_t piece) { return reinterpret_cast<const char*>(left.bytesOf(piece)); };
    const auto lengthB = [&](std::size_t piece) {
        if (const std::optional<Finding> changed = judgeLengthB(left.valueOf<int32_t>(piece)))
            judged.findings.push_back(*changed);
    };
    if (returned >= 1)
        judged.shows = "lblindex2 reads " + quoted(korvikCharaShows(textB(2)));
    if (returned >= 2)
        if (const std::optional<Finding> keeps = judgeCharaAgain(textB(2), textB(6)))
            judged.findings.push_back(*keeps);
    if (returned >= 1)
        lengthB(3);
    if (returned >= 3)
        lengthB(11);
    return judged;
}

// ---- Test 2: xArray ---------------------------------------------------------------------

constexpr const CallDescription& xArrayCall = ostrumCalls.call("xArray");

// The count by its own address, and element 1 of two arrays of ten Variants: x holds the
// 16-bit integers 1 to 10, y is empty; in the first call, a second click.
void checkXArray(void* address, Call& call)
{
    const auto routine = reinterpret_cast<decltype(&::xArray)>(address);
    const auto place = [&] {
        int16_t* count = placeValue<int16_t>(call, xArrayCall.argument("count"));
        VARIANT* x = call.elements(pieceNameOf(xArrayCall.argument("x")), elementsOf(xArrayCall.argument("x").array));
        VARIANT* y = call.elements(pieceNameOf(xArrayCall.argument("y")), elementsOf(xArrayCall.argument("y").array));
        return std::tuple{count, x, y};
    };
    const auto [count, x, y] = place();
    call.run([&] { routine(count, x, y); });
    if (call.side() != Side::End)
        return;
    const auto [againCount, againX, againY] = place();
    call.callAgain([&] {
        setProgramsEnvironment();
        routine(againCount, againX, againY);
        setProgramsEnvironment();
    });
}

SharedPlan xArrayPlan()
{
    PlanOf plan;
    plan.clicks(2, 1, [&] {
        plan.value<int16_t>(xArrayCall.argument("count"));
        plan.elements(xArrayCall.argument("x"));
        plan.elements(xArrayCall.argument("y"));
    });
    return plan.plan;
}

// Text1's listings from the count and the elements; elements Korvik would release or follow,
// a count beyond the elements and tags over other kinds; a second click that lists otherwise.
SharedJudgement judgeXArrayCalls(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const PiecesLeft left(layout, bytes);
    const auto leftBy = [&](std::size_t first) {
        return XArrayLeft{left.valueOf<int16_t>(first), left.elementsOf(first + 1), left.elementsOf(first + 2)};
    };
    SharedJudgement judged;
    const auto judgeClick = [&](const XArrayLeft& click) {
        for (const auto& [array, elements] : {std::pair{&xArrayCall.argument("x"), &click.x},
                                              std::pair{&xArrayCall.argument("y"), &click.y}})
            for (const Finding& unsafe : unsafeElements({std::string(array->name), positionOf(*array)},
                                                        elementsOf(array->array), *elements, 1))
                judged.findings.push_back(unsafe);
        for (const Finding& finding : ::judgeXArray(click))
            judged.findings.push_back(finding);
    };
    if (returned < 1)
        return judged;
    const XArrayLeft first = leftBy(0);
    const std::optional<ListingShown> listing = korvikListingShows(first.count, first.x.data(), first.y.data());
    // The error ends the handler before the second listing replaces the first.
    judged.shows = "Text1 reads " + quoted(korvikFirstListingLine(1)) + " to " +
        quoted(korvikFirstListingLine(arrayLength)) + ", then ";
    if (!listing)
        judged.shows += "nothing that can be foretold: Korvik reads an element the routine left with a kind only the "
                        "program may make as one it made, and may crash";
    else if (!listing->error.empty())
        judged.shows += "Korvik ends with the runtime error \"" + listing->error + "\"";
    else if (listing->lines.empty())
        judged.shows += "\"\"";
    else
        judged.shows += quotedLines(listing->lines);
    if (returned >= 2)
        if (const std::optional<Finding> keeps = judgeXArrayAgain(first, leftBy(3)))
            judged.findings.push_back(*keeps);
    judgeClick(first);
    if (returned >= 3)
        judgeClick(leftBy(6));
    return judged;
}

// ---- Test 3: square ---------------------------------------------------------------------

constexpr const CallDescription& squareCall = ostrumCalls.call("square");

// What square gave back in a register, recorded by the checker's code right after each call.
struct SquareRecord {
    float result;             // test 3's
    RegisterResults registers; // called with other reals in the vector registers
    float againResult;        // a second click's
    double wide;              // read whole, as a routine of a 64-bit real result
};

// A 32-bit real temporary holding 5; the result is a 32-bit real. In the first call: the same
// x with other reals in the registers (a result that follows a register is judged alone), a
// second click, and a call as a routine of a 64-bit real result.
void checkSquare(void* address, Call& call)
{
    const auto routine = reinterpret_cast<decltype(&::square)>(address);
    SquareRecord* record = call.record<SquareRecord>();
    float* x = placeValue<float>(call, squareCall.argument("x"));
    call.run([&] {
        const float result = routine(x);
        if (record && call.side() == Side::End)
            record->result = result;
        return result;
    });
    if (call.side() != Side::End)
        return;
    float* byValue = placeValue<float>(call, squareCall.argument("x"));
    call.callAgain([&] {
        const RegisterResults registers = resultsWithRegisters(address, {byValue}, true);
        if (record)
            record->registers = registers;
    });
    float* again = placeValue<float>(call, squareCall.argument("x"));
    call.callAgain([&] {
        setProgramsEnvironment();
        const float result = routine(again);
        setProgramsEnvironment();
        if (record)
            record->againResult = result;
    });
    using WideSquare = double(ROUTINE_CALL*)(float*);
    float* wideX = placeValue<float>(call, squareCall.argument("x"));
    call.callAgain([&] {
        setProgramsEnvironment();
        const double wide = reinterpret_cast<WideSquare>(address)(wideX);
        setProgramsEnvironment();
        if (record)
            record->wide = wide;
    });
}

SharedPlan squarePlan()
{
    PlanOf plan;
    plan.clicks(4, 1, [&] { plan.value<float>(squareCall.argument("x")); });
    plan.plan.recordSize = sizeof(SquareRecord);
    return plan.plan;
}

// Label1 from x and the result; a result that follows a register, a second click that shows
// otherwise, a 64-bit real where Korvik reads a 32-bit one.
SharedJudgement judgeSquareCalls(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const PiecesLeft left(layout, bytes);
    const auto record = left.record<SquareRecord>();
    SharedJudgement judged;
    if (returned < 2)
        return judged;
    SquareResultCalls calls;
    calls.x = left.valueOf<float>(0);
    calls.result = record.result;
    calls.followedRegister = registerFollowed(record.registers);
    if (returned < 4 && !calls.followedRegister) {
        judged.shows = squareResultShows(calls.x, calls.result, calls.followedRegister);
        return judged;
    }
    calls.againX = left.valueOf<float>(2);
    calls.againResult = record.againResult;
    calls.wideX = left.valueOf<float>(3);
    calls.wide = record.wide;
    const OstrumJudged results = judgeSquareResult(calls);
    judged.shows = results.shows;
    judged.findings = results.findings;
    return judged;
}

// ---- Test 5: transnumber ----------------------------------------------------------------

constexpr const CallDescription& transnumberCall = ostrumCalls.call("transnumber");

// A 16-bit temporary holding 15, then a 16-bit variable holding 0; in the first call, three
// more clicks in fresh storage.
void checkTransnumber(void* address, Call& call)
{
    const auto routine = reinterpret_cast<decltype(&::transnumber)>(address);
    int16_t* a = placeValue<int16_t>(call, transnumberCall.argument("a"));
    int16_t* b = placeValue<int16_t>(call, transnumberCall.argument("b"));
    call.run([&] { routine(a, b); });
    if (call.side() != Side::End)
        return;
    for (int click = 0; click < 3; ++click) {
        int16_t* first = placeValue<int16_t>(call, transnumberCall.argument("a"));
        int16_t* second = placeValue<int16_t>(call, transnumberCall.argument("b"));
        call.callAgain([&] {
            setProgramsEnvironment();
            routine(first, second);
            setProgramsEnvironment();
        });
    }
}

SharedPlan transnumberPlan()
{
    PlanOf plan;
    plan.clicks(4, 1, [&] {
        plan.value<int16_t>(transnumberCall.argument("a"));
        plan.value<int16_t>(transnumberCall.argument("b"));
    });
    return plan.plan;
}

// Label2 from a and b; a value that follows the address of the other argument, a second click
// that shows otherwise.
SharedJudgement judgeTransnumberCalls(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const PiecesLeft left(layout, bytes);
    SharedJudgement judged;
    if (returned < 4)
        return judged;
    const auto click = [&](std::size_t first) {
        return TransnumberClick{
            {static_cast<int16_t>(lowAddressBits(left.slot(first))), static_cast<int16_t>(lowAddressBits(left.slot(first + 1)))},
            {left.valueOf<int16_t>(first), left.valueOf<int16_t>(first + 1)}};
    };
    TransnumberCalls calls;
    calls.a = left.valueOf<int16_t>(0);
    calls.b = left.valueOf<int16_t>(1);
    calls.second = click(2);
    calls.third = click(4);
    calls.fourth = click(6);
    OstrumJudged judgedCalls = ::judgeTransnumber(calls);
    judged.shows = std::move(judgedCalls.shows);
    judged.findings = std::move(judgedCalls.findings);
    return judged;
}

// ---- Tests 6 and 7: yArray and zArray ---------------------------------------------------

constexpr const CallDescription& yArrayCall = ostrumCalls.call("yArray");
constexpr const CallDescription& zArrayCall = ostrumCalls.call("zArray");

// Test 6: the count through a 16-bit temporary, and the array by reference: the address of
// the variable that holds the address of its descriptor. Elements 2, 4, ..., 20.
void checkYArray(void* address, Call& call)
{
    const auto routine = reinterpret_cast<decltype(&::yArray)>(address);
    int16_t* count = placeValue<int16_t>(call, yArrayCall.argument("count"));
    const ArrayArgument array = placeArray(call, yArrayCall.argument("array"));
    call.run([&] { routine(count, array.variable); });
}

SharedPlan yArrayPlan()
{
    PlanOf plan;
    plan.clicks(1, 1, [&] {
        plan.value<int16_t>(yArrayCall.argument("count"));
        plan.array(yArrayCall.argument("array"));
    });
    return plan.plan;
}

SharedJudgement judgeYArrayCalls(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const PiecesLeft left(layout, bytes);
    SharedJudgement judged;
    for (std::size_t call = 0; call < std::min<std::size_t>(returned, 2); ++call)
        for (const Finding& finding : arrayFindings(left, call * 4 + 1, yArrayCall.argument("array")))
            judged.findings.push_back(finding);
    if (returned >= 1)
        judged.shows = "Label3 reads " + quoted(korvikYArrayShows());
    return judged;
}

// The Variant that passes the array: tagged VT_BYREF | VT_ARRAY | VT_VARIANT, holding the
// address of the array variable.
VARIANT wrappedArray()
{
    VARIANT wrapped{};
    wrapped.value.bits = 0;
    wrapped.kind = VT_BYREF | VT_ARRAY | VT_VARIANT;
    return wrapped;
}

// Test 7: a Variant whose value is the address of the array variable. Elements 1 to 10.
void checkZArray(void* address, Call& call)
{
    const auto routine = reinterpret_cast<decltype(&::zArray)>(address);
    const ArrayArgument array = placeArray(call, zArrayCall.argument("array"));
    VARIANT wrapped = wrappedArray();
    wrapped.value.arrayRef = array.variable;
    VARIANT* variant = call.value(pieceNameOf(zArrayCall.argument("array")), wrapped);
    call.run([&] { routine(variant); });
}

SharedPlan zArrayPlan()
{
    PlanOf plan;
    plan.clicks(1, 1, [&] {
        const std::size_t elements = plan.array(zArrayCall.argument("array"));
        const std::size_t variant = plan.value(zArrayCall.argument("array"), wrappedArray());
        plan.plan.pieces[variant].pointers.push_back({offsetof(VARIANT, value), elements + 2});
    });
    return plan.plan;
}

SharedJudgement judgeZArrayCalls(const ArenaLayout& layout, const std::byte* bytes, std::size_t returned)
{
    const PiecesLeft left(layout, bytes);
    const ArgumentDescription& array = zArrayCall.argument("array");
    const Argument named{std::string(array.name), positionOf(array)};
    SharedJudgement judged;
    for (std::size_t call = 0; call < std::min<std::size_t>(returned, 2); ++call) {
        const std::size_t first = call * 4;
        const VARIANT variant = left.valueOf<VARIANT>(first + 3);
        if (variant.kind != wrappedArray().kind)
            judged.findings.push_back({FindingKind::TagChanged, named});
        else if (reinterpret_cast<std::uintptr_t>(variant.value.arrayRef) != routineAddressOf(left.slot(first + 2)))
            judged.findings.push_back({FindingKind::DescriptorChanged, named, {std::string("the address of its array variable")}});
        for (const Finding& finding : arrayFindings(left, first, array))
            judged.findings.push_back(finding);
    }
    if (returned >= 1)
        judged.shows = "Label4 reads " + quoted(korvikZArrayShows());
    return judged;
}

const SharedCalls charaShared{charaPlan, judgeCharaCalls};
const SharedCalls xArrayShared{xArrayPlan, judgeXArrayCalls};
const SharedCalls squareShared{squarePlan, judgeSquareCalls};
const SharedCalls transnumberShared{transnumberPlan, judgeTransnumberCalls};
const SharedCalls yArrayShared{yArrayPlan, judgeYArrayCalls};
const SharedCalls zArrayShared{zArrayPlan, judgeZArrayCalls};

} // namespace

const Contract ostrumContract{
    "Ostrum",
    "Ostrum",
    "Korvik",
    {{"chara", checkChara, nullptr, nullptr, &charaShared},
     {"xArray", checkXArray, nullptr, nullptr, &xArrayShared},
     {"square", checkSquare, nullptr, nullptr, &squareShared},
     {"transnumber", checkTransnumber, nullptr, nullptr, &transnumberShared},
     {"yArray", checkYArray, nullptr, nullptr, &yArrayShared},
     {"zArray", checkZArray, nullptr, nullptr, &zArrayShared}},
};
