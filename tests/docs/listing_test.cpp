// The listing of named regions (listing.h) as a program that checks a routine library uses it:
// regions it builds itself, listed before and after a call.
#include "listing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <typename T>
std::vector<unsigned char> bytesOf(const T& value)
{
    std::vector<unsigned char> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// An array of three Variants as a routine reaches it by reference: the variable, the
// descriptor and the elements, each named as the caller knows it.
struct ArrayByReference {
    VARIANT elements[3] = {};
    SAFEARRAY descriptor = {};
    SAFEARRAY* variable = &descriptor;

    ArrayByReference()
    {
        descriptor.dimensions = 1;
        descriptor.elementSize = sizeof(VARIANT);
        descriptor.data = elements;
        descriptor.bounds[0] = {3, 1};
        elements[1].kind = VT_I2;
        elements[1].value.i2 = 7;
    }

    std::vector<ListedRegion> regions() const
    {
        return {
            {"array", "x", VALUE_DESCRIPTOR_ADDRESS, &variable, bytesOf(variable)},
            {"*array", "x's descriptor", VALUE_DESCRIPTOR, &descriptor, bytesOf(descriptor)},
            {"(*array)->data", "", VALUE_VARIANTS, elements, bytesOf(elements), "x", 1},
        };
    }
};

TEST(PageListing, NamesWhatEachAddressPointsAt)
{
    ArrayByReference array;
    std::vector<ListedRegion> regions = array.regions();
    const std::string listing = listingOf(regions);
    const struct {
        const char* what;
        const char* line;
    } expected[] = {
        {"the variable's region", "array → x: SAFEARRAY *, "},
        {"the variable points at the descriptor", "<address of x's descriptor>"},
        {"the descriptor's data points at the first element", "<address of x(1)>"},
        {"elements without a name of their own", "(*array)->data → x(1) to x(3): VARIANT[3], 48 bytes"},
        {"an element's value", "x(2): VT_I2, 7"},
    };
    for (const auto& e : expected)
        EXPECT_NE(listing.find(e.line), std::string::npos) << e.what << " in:\n" << listing;

    // An address that leads elsewhere than the regions given is said to, and never shown.
    int elsewhere = 0;
    regions[1].bytes = bytesOf(SAFEARRAY{1, 0, 16, 0, &elsewhere, {{3, 1}}});
    EXPECT_NE(listingOf(regions).find("<an address outside the recorded storage>"), std::string::npos);
    // One into the middle of a region is named by its offset there.
    regions[1].bytes = bytesOf(SAFEARRAY{1, 0, 16, 0, &array.descriptor.locks, {{3, 1}}});
    EXPECT_NE(listingOf(regions).find("<address of x's descriptor + 8>"), std::string::npos) << listingOf(regions);
}

TEST(PageListing, BeforeAndAfterACallDifferOnlyWhereTheBytesChanged)
{
    int16_t a = 15, b = 0;
    const auto regions = [&] {
        return std::vector<ListedRegion>{{"a", "numA", VALUE_INT16, &a, bytesOf(a)},
                                         {"b", "numB", VALUE_INT16, &b, bytesOf(b)}};
    };
    const std::string before = listingOf(regions());
    EXPECT_EQ(before,
              "a → numA: int16_t, 2 bytes\n"
              "+0    0f 00                                             15, a 16-bit integer\n"
              "\n"
              "b → numB: int16_t, 2 bytes\n"
              "+0    00 00                                             0, a 16-bit integer\n");
    std::swap(a, b);
    // The two lines of bytes exchange places; every other line stays.
    std::vector<std::string> expected;
    std::istringstream lines(before);
    for (std::string line; std::getline(lines, line);)
        expected.push_back(line);
    std::swap(expected[1], expected[4]);
    std::string after;
    for (const std::string& line : expected)
        after += line + "\n";
    EXPECT_EQ(listingOf(regions()), after);
}

// Listed against the regions before the call, the lines whose bytes the call changed say so,
// and no other line does: not an unchanged element, not the padding, not a region that was not
// there before (a result).
TEST(PageListing, MarksWhatTheCallChanged)
{
    ArrayByReference array;
    const std::vector<ListedRegion> before = array.regions();
    array.elements[2].kind = VT_R8;
    array.elements[2].value.r8 = 9;
    array.descriptor.locks = 1;
    std::vector<ListedRegion> after = array.regions();
    const float result = 3;
    after.push_back({"", "result", VALUE_REAL32, nullptr, bytesOf(result)});

    std::vector<std::string> marked;
    std::istringstream lines(listingOf(after, &before));
    for (std::string line; std::getline(lines, line);)
        if (line.find("changed: ") != std::string::npos)
            marked.push_back(line.substr(line.find("changed: ")));
    EXPECT_EQ(marked, (std::vector<std::string>{"changed: locks: 1", "changed: x(3): VT_R8, 9"}));
    EXPECT_EQ(listingOf(before, &before), listingOf(before)) << "nothing changed, nothing marked";
}

TEST(PageListing, ShowsWhatItIsGivenAndNoMore)
{
    const float result = 25;
    const char text[] = "Ab\x01";
    const struct {
        const char* what;
        ListedRegion region;
        const char* line;
    } cases[] = {
        {"a value returned, which lies in no storage",
         {"", "result", VALUE_REAL32, nullptr, bytesOf(result)},
         "returned in "},
        {"printable characters, others by their code, and the zero at the end",
         {"textA", "copyOfStrA", VALUE_TEXT, text, bytesOf(text)},
         "\"Ab\\x01\" and the terminating zero"},
        {"bytes too few for a descriptor, listed as they are",
         {"*array", "x's descriptor", VALUE_DESCRIPTOR, text, bytesOf(text)},
         "41 62 01 00                                       fewer bytes than SAFEARRAY holds"},
        {"elements with a part of one left over",
         {"x", "", VALUE_VARIANTS, text, bytesOf(text), "x", 1},
         "part of an element"},
    };
    for (const auto& c : cases)
        EXPECT_NE(listingOf({c.region}).find(c.line), std::string::npos) << c.what << " in:\n" << listingOf({c.region});
}

} // namespace
