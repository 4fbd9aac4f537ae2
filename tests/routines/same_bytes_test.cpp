// The sample libraries in Fortran and in C, called side by side with the same arguments: every
// byte the caller owns, and every result, comes back the same from both.
#include "opened_library.h"
#include "ostrum.h"
#include "pettrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// The bytes of an object, for comparing what the two languages left behind.
template <typename T>
std::vector<unsigned char> bytesOf(const T& object, size_t count = 1)
{
    const auto* first = reinterpret_cast<const unsigned char*>(&object);
    return {first, first + sizeof(T) * count};
}

class BothOstrums : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(fortran.failure(), "");
        ASSERT_EQ(c.failure(), "");
    }

    OpenedLibrary fortran{FORTRAN_OSTRUM};
    OpenedLibrary c{C_OSTRUM};
};

// A Variant of the given kind whose payload holds `bits`; the padding holds a pattern that a
// routine must leave alone.
VARIANT variantOf(VARTYPE kind, int64_t bits)
{
    VARIANT value;
    std::memset(&value, 0xA5, sizeof value);
    value.kind = kind;
    value.value.bits = bits;
    return value;
}

int64_t bitsOf(double number)
{
    VARIANT value{};
    value.value.r8 = number;
    return value.value.bits;
}

int64_t bitsOf(float number)
{
    VARIANT value{};
    value.value.r4 = number;
    return value.value.bits;
}

struct CharaRow {
    std::string textA;
    int32_t lengthA;
    std::string textB;
    int32_t lengthB;
};

const CharaRow charaRows[] = {
    {"woo hahahaha        ", 20, "                    ", 20},
    {"woo hahahaha", 12, "abcdefghijklmnopqrst", 20},
    {"mixed Case z{`a@[", 17, "short", 5},
    {"a", 1, "longer text b", 13},
    {"\xe1\xff\x80zZaA\x7f", 8, "........", 8},
    {"      ", 6, "xxxxxx", 6},
    {"trail  ", 7, "", 0},
    {"", 0, "unchanged", 9},
    {"negative", -3, "lengths", -1},
};

TEST_F(BothOstrums, CharaWritesTheSameTextAndLength)
{
    auto* inFortran = fortran.function<decltype(chara)>("chara");
    auto* inC = c.function<decltype(chara)>("chara");
    for (const CharaRow& row : charaRows) {
        SCOPED_TRACE(row.textA + " over " + row.textB);
        // Buffers of 32 bytes, room to spare; the bytes beyond each text hold a pattern.
        char textA[32], textB[2][32];
        std::memset(textA, '#', sizeof textA);
        std::memcpy(textA, row.textA.c_str(), row.textA.size() + 1);
        int32_t lengthA[2] = {row.lengthA, row.lengthA};
        int32_t lengthB[2] = {row.lengthB, row.lengthB};
        for (auto& text : textB) {
            std::memset(text, '#', sizeof text);
            std::memcpy(text, row.textB.c_str(), row.textB.size() + 1);
        }
        inFortran(textA, &lengthA[0], textB[0], &lengthB[0]);
        inC(textA, &lengthA[1], textB[1], &lengthB[1]);
        EXPECT_EQ(bytesOf(textB[0]), bytesOf(textB[1]));
        EXPECT_EQ(lengthA[0], lengthA[1]);
        EXPECT_EQ(lengthB[0], lengthB[1]);
    }
}

TEST_F(BothOstrums, XArrayWritesTheSameElements)
{
    auto* inFortran = fortran.function<decltype(xArray)>("xArray");
    auto* inC = c.function<decltype(xArray)>("xArray");
    const VARIANT x[] = {
        variantOf(VT_I2, -7),
        variantOf(VT_I4, 100000),
        variantOf(VT_R4, bitsOf(2.5f)),
        variantOf(VT_R8, bitsOf(1.1)),
        variantOf(VT_BSTR, 0x1234),
        variantOf(VT_EMPTY, 0),
        variantOf(VT_BOOL, -1),
        variantOf(VT_I2, 32767),
        variantOf(VT_R8, bitsOf(1e200)),
        variantOf(VT_R4, bitsOf(std::numeric_limits<float>::quiet_NaN())),
    };
    const VARIANT y[] = {
        variantOf(VT_EMPTY, 0),     variantOf(VT_I2, 3),
        variantOf(VT_BSTR, 0x5678), variantOf(VT_R8, bitsOf(-0.0)),
        variantOf(VT_EMPTY, 0),     variantOf(VT_ERROR, 0x80020004),
        variantOf(VT_EMPTY, 0),     variantOf(VT_R4, 9),
        variantOf(VT_EMPTY, 0),     variantOf(VT_I4, 0),
    };
    for (int16_t count : {0, 1, 4, 10, -1, -32768}) {
        SCOPED_TRACE("count " + std::to_string(count));
        VARIANT xs[2][10], ys[2][10];
        for (int side = 0; side < 2; ++side) {
            std::memcpy(xs[side], x, sizeof x);
            std::memcpy(ys[side], y, sizeof y);
        }
        int16_t counts[2] = {count, count};
        inFortran(&counts[0], xs[0], ys[0]);
        inC(&counts[1], xs[1], ys[1]);
        EXPECT_EQ(bytesOf(ys[0]), bytesOf(ys[1]));
        EXPECT_EQ(bytesOf(xs[0]), bytesOf(xs[1]));
        EXPECT_EQ(counts[0], counts[1]);
    }
}

TEST_F(BothOstrums, SquareAndTransnumberGiveTheSameBits)
{
    auto* squareInFortran = fortran.function<decltype(square)>("square");
    auto* squareInC = c.function<decltype(square)>("square");
    for (float number : {0.0f, -0.0f, 5.0f, 1.1f, -2.5f, 3e19f, 1e-30f, std::numeric_limits<float>::max(),
                         std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(number);
        float arguments[2] = {number, number};
        const float results[2] = {squareInFortran(&arguments[0]), squareInC(&arguments[1])};
        EXPECT_EQ(bytesOf(results[0]), bytesOf(results[1]));
        EXPECT_EQ(bytesOf(arguments[0]), bytesOf(arguments[1]));
    }

    auto* exchangeInFortran = fortran.function<decltype(transnumber)>("transnumber");
    auto* exchangeInC = c.function<decltype(transnumber)>("transnumber");
    for (auto [a, b] : {std::pair<int16_t, int16_t>{15, 0}, {-32768, 32767}, {-1, -1}}) {
        int16_t pairs[2][2] = {{a, b}, {a, b}};
        exchangeInFortran(&pairs[0][0], &pairs[0][1]);
        exchangeInC(&pairs[1][0], &pairs[1][1]);
        EXPECT_EQ(bytesOf(pairs[0]), bytesOf(pairs[1])) << a << ", " << b;
    }
}

// An array of ten Variants as the console makes one, with its descriptor; a row then spoils
// one part of it.
struct ArrayUnderTest {
    ArrayUnderTest()
    {
        for (int i = 0; i < 10; ++i)
            elements[i] = variantOf(VT_I2, 2 * (i + 1));
        descriptor.dimensions = 1;
        descriptor.features = SAFEARRAY_FIXED_SIZE | SAFEARRAY_OF_VARIANTS;
        descriptor.elementSize = sizeof(VARIANT);
        descriptor.locks = 0;
        descriptor.data = elements;
        descriptor.bounds[0] = {10, 1};
    }
    VARIANT elements[10];
    SAFEARRAY descriptor;
    SAFEARRAY* holder = &descriptor;
};

struct ArrayRow {
    const char* what;
    int16_t count;
    void (*spoil)(ArrayUnderTest&);
};

const ArrayRow arrayRows[] = {
    {"ten 16-bit integers", 10, [](ArrayUnderTest&) {}},
    {"a count beyond the elements", 32767, [](ArrayUnderTest&) {}},
    {"a count of 3", 3, [](ArrayUnderTest&) {}},
    {"a negative count", -5, [](ArrayUnderTest&) {}},
    {"a 32-bit integer at element 5", 10, [](ArrayUnderTest& a) { a.elements[4].kind = VT_I4; }},
    {"four elements counted", 10, [](ArrayUnderTest& a) { a.descriptor.bounds[0].elementCount = 4; }},
    {"a count above 2^31", 10, [](ArrayUnderTest& a) { a.descriptor.bounds[0].elementCount = 0x80000003u; }},
    {"two dimensions", 10, [](ArrayUnderTest& a) { a.descriptor.dimensions = 2; }},
    {"8-byte elements", 10, [](ArrayUnderTest& a) { a.descriptor.elementSize = 8; }},
    {"no descriptor", 10, [](ArrayUnderTest& a) { a.holder = nullptr; }},
};

TEST_F(BothOstrums, YArrayCountsTheSameAndZArrayChangesNothing)
{
    auto* yInFortran = fortran.function<decltype(yArray)>("yArray");
    auto* yInC = c.function<decltype(yArray)>("yArray");
    auto* zInFortran = fortran.function<decltype(zArray)>("zArray");
    auto* zInC = c.function<decltype(zArray)>("zArray");
    for (const ArrayRow& row : arrayRows) {
        SCOPED_TRACE(row.what);
        ArrayUnderTest arrays[2];
        for (ArrayUnderTest& array : arrays)
            row.spoil(array);
        int16_t counts[2] = {row.count, row.count};
        yInFortran(&counts[0], &arrays[0].holder);
        yInC(&counts[1], &arrays[1].holder);
        EXPECT_EQ(counts[0], counts[1]);
        // A library passed no variable at all: the null address instead of the holder's.
        counts[0] = counts[1] = row.count;
        yInFortran(&counts[0], nullptr);
        yInC(&counts[1], nullptr);
        EXPECT_EQ(counts[0], counts[1]);

        for (VARTYPE kind : {VARTYPE(VT_BYREF | VT_ARRAY | VT_VARIANT), VARTYPE(VT_ARRAY | VT_VARIANT)}) {
            VARIANT wrapped = variantOf(kind, 0);
            wrapped.value.arrayRef = &arrays[0].holder;
            const auto before = bytesOf(arrays[0]);
            const auto wrappedBefore = bytesOf(wrapped);
            zInFortran(&wrapped);
            EXPECT_EQ(bytesOf(arrays[0]), before);
            EXPECT_EQ(bytesOf(wrapped), wrappedBefore);
            zInC(&wrapped);
            EXPECT_EQ(bytesOf(arrays[0]), before);
        }
    }
}

TEST(BothPettrixes, SumdllStoresTheSameSumForEveryA)
{
    OpenedLibrary fortran{FORTRAN_PETTRIX};
    OpenedLibrary c{C_PETTRIX};
    ASSERT_EQ(fortran.failure(), "");
    ASSERT_EQ(c.failure(), "");
    auto* inFortran = fortran.function<decltype(sumdll)>("sumdll");
    auto* inC = c.function<decltype(sumdll)>("sumdll");

    int differences = 0;
    for (int32_t a = -32768; a <= 32767; ++a) {
        for (int16_t b : {-32768, -32767, -20000, -1, 0, 1, 2, 20000, 32766, 32767}) {
            int16_t as[2] = {int16_t(a), int16_t(a)};
            int16_t bs[2] = {b, b};
            int16_t cs[2] = {0, 0};
            inFortran(&as[0], &bs[0], &cs[0]);
            inC(&as[1], &bs[1], &cs[1]);
            if (cs[0] != cs[1] && ++differences <= 5)
                ADD_FAILURE() << a << " + " << b << ": Fortran " << cs[0] << ", C " << cs[1];
        }
    }
    EXPECT_EQ(differences, 0);
}

} // namespace
