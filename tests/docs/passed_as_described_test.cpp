// Each program's window passes what its contract's call descriptions say
// (calls/call_descriptions.h), from which routine-check places its arguments and the pages
// name their regions. Every routine of the contract is called through the real window beside a
// recording double (tools/pages/doubles/), and each argument's recorded regions are compared
// with the kind, the way of passing and the value described. Built once per program, whose
// title and window (korvik::Form1, ...) PROGRAM_TITLE and PROGRAM_WINDOW name.
#include "form1.h"
#include "pages_test.h"

#include <cstring>
#include <set>
#include <string>

namespace {

class PassedAsDescribed : public PagesTest<PROGRAM_WINDOW> {
protected:
    PassedAsDescribed() : PagesTest(PROGRAM_TITLE) {}
};

template <typename T>
T valueIn(const RecordedRegion& region)
{
    T value{};
    std::memcpy(&value, region.bytes, std::min<std::size_t>(sizeof value, region.size));
    return value;
}

// Walks the regions of one recording in the order kept, argument by argument.
class RecordedRegions {
public:
    explicit RecordedRegions(const Recording& recording) : recording_(recording) {}

    // The next region, expected to be reached through `through` with `layout`; null when there
    // is none.
    const RecordedRegion* next(const std::string& through, ValueKind layout)
    {
        if (next_ >= std::min(recording_.regionCount, RECORDING_REGIONS)) {
            ADD_FAILURE() << "no region recorded for " << through;
            return nullptr;
        }
        const RecordedRegion& region = recording_.regions[next_++];
        EXPECT_EQ(region.reachedThrough, through);
        EXPECT_EQ(region.layout, layout) << through;
        EXPECT_NE(region.size, 0u) << through << " too large to be kept";
        return &region;
    }

    int left() const { return recording_.regionCount - next_; }

private:
    const Recording& recording_;
    int next_ = 0;
};

// The elements as the program holds them: from the element passed to the last of the array.
void expectElements(const RecordedRegion& region, const ArrayContents& array)
{
    const std::size_t count = static_cast<std::size_t>(arrayLength - (array.passedIndex - arrayFirstIndex));
    ASSERT_EQ(region.size, count * sizeof(VARIANT)) << array.name;
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(std::string(array.name) + "(" + std::to_string(array.passedIndex + static_cast<int>(i)) + ")");
        VARIANT element;
        std::memcpy(&element, region.bytes + i * sizeof element, sizeof element);
        if (array.empty) {
            EXPECT_EQ(element.kind, VT_EMPTY);
        } else {
            const int index = array.passedIndex - arrayFirstIndex + static_cast<int>(i);
            EXPECT_EQ(element.kind, VT_I2);
            EXPECT_EQ(element.value.i2, array.first + array.step * index);
        }
    }
}

// The variable that holds the address of the array's descriptor, the descriptor of a fixed
// array of index 1 to 10, and its elements, each pointing at the next; the variable's region.
const RecordedRegion* expectArray(RecordedRegions& regions, const std::string& variableThrough,
                                  const ArrayContents& array)
{
    const RecordedRegion* variable = regions.next(variableThrough, VALUE_DESCRIPTOR_ADDRESS);
    const RecordedRegion* descriptor = regions.next("*" + variableThrough, VALUE_DESCRIPTOR);
    const RecordedRegion* elements = regions.next("(*" + variableThrough + ")->data", VALUE_VARIANTS);
    if (!variable || !descriptor || !elements)
        return variable;
    EXPECT_EQ(valueIn<const void*>(*variable), descriptor->address);
    const auto kept = valueIn<SAFEARRAY>(*descriptor);
    EXPECT_EQ(kept.dimensions, 1);
    EXPECT_EQ(kept.bounds[0].lowerBound, arrayFirstIndex);
    EXPECT_EQ(kept.bounds[0].elementCount, static_cast<uint32_t>(arrayLength));
    EXPECT_EQ(kept.data, elements->address);
    expectElements(*elements, array);
    return variable;
}

// A number of its kind, or a text's characters and their terminating zero, nothing more.
void expectValue(const RecordedRegion& region, const ArgumentDescription& argument)
{
    switch (argument.kind) {
    case VALUE_INT16: EXPECT_EQ(valueIn<int16_t>(region), argument.number); break;
    case VALUE_INT32: EXPECT_EQ(valueIn<int32_t>(region), argument.number); break;
    case VALUE_REAL32: EXPECT_EQ(valueIn<float>(region), argument.number); break;
    case VALUE_REAL64: EXPECT_EQ(valueIn<double>(region), argument.number); break;
    case VALUE_TEXT:
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(region.bytes), region.size),
                  std::string(argument.text) + '\0');
        break;
    default: ADD_FAILURE() << "a value of this kind is not passed alone"; break;
    }
}

void expectArgument(RecordedRegions& regions, const ArgumentDescription& argument)
{
    const std::string name(argument.name);
    SCOPED_TRACE(name);
    switch (argument.passing) {
    case Passing::OwnAddress:
    case Passing::Temporary:
    case Passing::TextCopy:
        if (const RecordedRegion* region = regions.next(name, argument.kind))
            expectValue(*region, argument);
        break;
    case Passing::ArrayElement:
        if (const RecordedRegion* region = regions.next(name, VALUE_VARIANTS))
            expectElements(*region, argument.array);
        break;
    case Passing::ArrayByReference: expectArray(regions, name, argument.array); break;
    case Passing::TaggedVariant:
        if (const RecordedRegion* region = regions.next(name, VALUE_VARIANT)) {
            const auto wrapped = valueIn<VARIANT>(*region);
            EXPECT_EQ(wrapped.kind, VT_BYREF | VT_ARRAY | VT_VARIANT);
            const RecordedRegion* variable = expectArray(regions, name + "->value.arrayRef", argument.array);
            if (variable) {
                EXPECT_EQ(static_cast<const void*>(wrapped.value.arrayRef), variable->address);
            }
        }
        break;
    }
}

// Every argument in order, then the result the program reads, and nothing more.
void expectAsDescribed(const Recording& recording, const CallDescription& described)
{
    RecordedRegions regions(recording);
    for (const ArgumentDescription& argument : described.arguments)
        expectArgument(regions, argument);
    if (described.result != VALUE_NONE) {
        const RecordedRegion* result = regions.next("returned", described.result);
        if (result) {
            EXPECT_EQ(result->address, nullptr) << "a result lies in no storage of the caller's";
        }
    }
    EXPECT_EQ(regions.left(), 0) << "regions recorded beyond the described arguments";
}

} // namespace

TEST_F(PassedAsDescribed, EveryRoutineIsPassedWhatItsDescriptionSays)
{
    const ContractCalls* contract = contractCallsOf(PROGRAM_TITLE);
    ASSERT_NE(contract, nullptr);
    std::set<std::string> called;
    for (const RecordedCall& call : recordCalls(form)) {
        // Korvik's test 4 calls the window's own method Sample, no routine of Ostrum.
        const CallDescription* described = contract->find(call.recording.routine);
        if (!described)
            continue;
        SCOPED_TRACE(call.id + ": " + call.recording.routine);
        EXPECT_EQ(call.routine, described->routine);
        called.insert(call.recording.routine);
        expectAsDescribed(call.recording, *described);
    }
    for (const CallDescription& described : contract->calls)
        EXPECT_TRUE(called.contains(std::string(described.routine)))
            << described.routine << " was not called through the window";
}
