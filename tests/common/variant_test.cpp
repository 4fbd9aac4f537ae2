// The tagged value and the array descriptor: their bytes, what they own, and their bounds.
#include "counted_text.h"
#include "runtime_error.h"
#include "variant.h"
#include "variant_array.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <vector>

namespace {

TEST(VariantLayout, IsTheSixteenByteTaggedValue)
{
    Variant v = int16_t{-2};
    const auto* bytes = reinterpret_cast<const unsigned char*>(&v);
    EXPECT_EQ(sizeof v, 16u);
    EXPECT_EQ(bytes[0], VT_I2); // tag, little-endian
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[8], 0xFE); // payload at byte 8
    EXPECT_EQ(bytes[9], 0xFF);
    EXPECT_EQ(static_cast<void*>(v.raw()), static_cast<void*>(&v));
}

TEST(VariantLayout, TagsOfEveryKind)
{
    int16_t i2 = 0;
    SAFEARRAY* array = nullptr;
    const std::pair<Variant, VARTYPE> cases[] = {
        {Variant(), 0},
        {Variant(int16_t{1}), 2},
        {Variant(int32_t{1}), 3},
        {Variant(1.0f), 4},
        {Variant(1.0), 5},
        {Variant(u"text"), 8},
        {Variant::missing(), 10},
        {Variant::boolean(true), 11},
        {Variant::reference(&i2), 0x4002},
        {Variant::arrayReference(&array), 0x600C},
    };
    for (const auto& [value, kind] : cases)
        EXPECT_EQ(value.kind(), kind);
    EXPECT_EQ(Variant::missing().raw()->value.error, static_cast<int32_t>(0x80020004));
    EXPECT_EQ(Variant::boolean(true).raw()->value.boolean, -1);
}

TEST(VariantText, IsCountedUtf16WithATerminator)
{
    const std::u16string withZero(u"ab\0c", 4);
    Variant v = withZero;
    const BSTR text = v.raw()->value.text;
    uint32_t byteLength = 0;
    std::memcpy(&byteLength, reinterpret_cast<const char*>(text) - 4, 4);
    EXPECT_EQ(byteLength, 8u);
    EXPECT_EQ(BSTR_length(text), 4u);
    EXPECT_EQ(text[4], u'\0');
    EXPECT_EQ(v.toText(), withZero);
}

TEST(VariantOwnership, CopiesOwnTheirTextAndOverwritingReleasesIt)
{
    Variant original = u"Woo";
    Variant copy = original;
    EXPECT_NE(copy.raw()->value.text, original.raw()->value.text);
    original = int16_t{5}; // the old text is released (the sanitizer build sees a leak otherwise)
    EXPECT_EQ(copy.toText(), u"Woo");
    EXPECT_EQ(original.kind(), VT_I2);

    Variant moved = std::move(copy);
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_EQ(moved.toText(), u"Woo");
    moved = moved; // self-assignment keeps the value
    EXPECT_EQ(moved.toText(), u"Woo");
}

TEST(VariantConversions, NumbersConvertByKind)
{
    EXPECT_EQ(Variant().toDouble(), 0);
    EXPECT_EQ(Variant().toText(), u"");
    EXPECT_EQ(Variant(int16_t{5}).toSingle(), 5.0f);
    EXPECT_EQ(Variant(2.5).toInt16(), 2);
    EXPECT_EQ(Variant(3.5f).toInt32(), 4);
    EXPECT_EQ(Variant(5.0f).toText(), u"5");
    EXPECT_EQ(Variant::boolean(true).toDouble(), -1);
    EXPECT_EQ(Variant::boolean(false).toText(), u"False");
    EXPECT_THROW(Variant(40000.0).toInt16(), RuntimeError);
    EXPECT_THROW(Variant(1e39).toSingle(), RuntimeError);
    EXPECT_THROW(Variant(u"12").toDouble(), RuntimeError);
    EXPECT_THROW(Variant::missing().toText(), RuntimeError);
}

TEST(VariantConversions, AReferenceConvertsWhatItRefersTo)
{
    float step = 14.285714f;
    Variant reference = Variant::reference(&step);
    EXPECT_EQ(reference.toSingle(), step);
    step = 100;
    EXPECT_EQ(reference.toText(), u"100");

    Variant target = int16_t{7};
    EXPECT_EQ(Variant::reference(&target).toInt16(), 7);
    target = u"held elsewhere";
    EXPECT_EQ(Variant::reference(&target).toText(), u"held elsewhere");

    // A reference to a text variable: the Variant reads the text through it, owning nothing.
    BSTR text = allocText(u"by reference");
    Variant textReference;
    textReference.raw()->kind = VT_BYREF | VT_BSTR;
    textReference.raw()->value.ref = &text;
    EXPECT_EQ(textReference.toText(), u"by reference");
    textReference = Variant();
    freeText(text);
}

TEST(ArrayDescriptor, DescribesOneDimensionOfVariants)
{
    VariantArray x = VariantArray::fixed(1, 10);
    const SAFEARRAY* d = x.descriptor();
    EXPECT_EQ(d->dimensions, 1);
    EXPECT_EQ(d->features, SAFEARRAY_FIXED_SIZE | SAFEARRAY_OF_VARIANTS);
    EXPECT_EQ(d->elementSize, 16u);
    EXPECT_EQ(d->bounds[0].elementCount, 10u);
    EXPECT_EQ(d->bounds[0].lowerBound, 1);
    EXPECT_EQ(*x.byReference(), d);
    for (int i = 1; i <= 10; ++i)
        EXPECT_TRUE(x(i).isEmpty()) << i;
}

TEST(ArrayDescriptor, ElementsLieSideBySideFromTheDataPointer)
{
    VariantArray x = VariantArray::fixed(1, 10);
    for (int16_t i = 1; i <= 10; ++i)
        x(i) = i;
    const auto* data = static_cast<const VARIANT*>(x.descriptor()->data);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(data[i].kind, VT_I2);
        EXPECT_EQ(data[i].value.i2, i + 1);
    }
    EXPECT_EQ(x(1).raw() + 1, x(2).raw());
}

TEST(ArrayDescriptor, IndicesOutsideTheBoundsAreSubscriptErrors)
{
    VariantArray x = VariantArray::fixed(1, 10);
    VariantArray none;
    const struct {
        const char* what;
        std::function<void()> access;
    } cases[] = {
        {"index 0", [&] { x(0); }},
        {"index 11", [&] { x(11); }},
        {"index -1", [&] { x(-1); }},
        {"real index 10.6, which rounds to 11", [&] { x(10.6); }},
        {"real index 0.5, which rounds to the even 0", [&] { x(0.5); }},
        {"a variable without an array", [&] { none(1); }},
    };
    for (const auto& c : cases) {
        try {
            c.access();
            ADD_FAILURE() << c.what << " raised nothing";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.code(), ErrorCode::SubscriptOutOfRange) << c.what;
        }
    }
    EXPECT_EQ(&x(10.5), &x(10));
    EXPECT_EQ(&x(1.5), &x(2));
}

TEST(ArrayDescriptor, ADescriptorOfTwoDimensionsIsRefused)
{
    VariantArray x = VariantArray::fixed(1, 2);
    x.descriptor()->dimensions = 2; // as a routine might leave it
    EXPECT_THROW(x(1), RuntimeError);
    x.descriptor()->dimensions = 1;
}

TEST(ArrayOwnership, ElementsAreReleasedWithTheArray)
{
    // Texts stored into elements are released when the array goes; the sanitizer build
    // reports any that are not.
    VariantArray x = VariantArray::fixed(1, 10);
    for (int i = 1; i <= 10; ++i)
        x(i) = u"element";
    VariantArray moved = std::move(x);
    EXPECT_EQ(x.descriptor(), nullptr);
    EXPECT_EQ(moved(10).toText(), u"element");
}

} // namespace

namespace {

struct SeenLookUp {
    VariantArray* array;
    double index;
    bool operator==(const SeenLookUp&) const = default;
};
std::vector<SeenLookUp> seenLookUps;

} // namespace

TEST(ArrayLookUpWatcher, SeesEveryLookUpWithItsArrayAndIndexUntilRemoved)
{
    VariantArray x = VariantArray::fixed(1, 10);
    VariantArray y = VariantArray::fixed(1, 10);
    seenLookUps.clear();
    VariantArray::watchLookUps([](VariantArray& array, double index) { seenLookUps.push_back({&array, index}); });
    x(3) = int16_t{1};
    y(2.5) = x(3);                     // a real index is seen as written, before it is rounded
    EXPECT_THROW(x(11), RuntimeError); // a look-up out of range is seen too
    VariantArray::watchLookUps(nullptr);
    x(4);
    const std::vector<SeenLookUp> expected{{&x, 3}, {&x, 3}, {&y, 2.5}, {&x, 11}};
    EXPECT_EQ(seenLookUps, expected); // an assignment's right side is looked up first
    EXPECT_EQ(y(2).toInt16(), 1);
}
