// Calls every routine of the sample libraries beside this program, and Morvane's square, through
// the routine binding, and prints what each call left in the caller's storage, byte for byte,
// with Morvane's trace records. Built for Linux and for Windows: the two reports must be the
// same, but for the one line that names the trace's line end. Addresses are never printed.
#include "ostrum.h"
#include "pettrix.h"
#include "routine_binding.h"
#include "runtime_error.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>

namespace {

Routine<decltype(::chara)> chara{"Ostrum", "chara"};
Routine<decltype(::xArray)> xArray{"Ostrum", "xArray"};
Routine<decltype(::square)> ostrumSquare{"Ostrum", "square"};
Routine<decltype(::transnumber)> transnumber{"Ostrum", "transnumber"};
Routine<decltype(::yArray)> yArray{"Ostrum", "yArray"};
Routine<decltype(::zArray)> zArray{"Ostrum", "zArray"};
Routine<decltype(::sumdll)> sumdll{"Pettrix.dll", "sumdll"};
// Morvane's square, declared as morvane.h does; that header and ostrum.h name two routines square.
Routine<int32_t ROUTINE_CALL(double*, double*, double*)> morvaneSquare{"Morvane.dll", "square"};

template <typename T>
std::string hex(const T& object, std::size_t count = 1)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&object);
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < sizeof(T) * count; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

VARIANT variantOf(VARTYPE kind, int64_t bits)
{
    VARIANT value;
    std::memset(&value, 0xA5, sizeof value);
    value.kind = kind;
    value.value.bits = bits;
    return value;
}

template <typename Number>
int64_t bitsOf(Number number)
{
    VARIANT value{};
    std::memcpy(&value.value.bits, &number, sizeof number);
    return value.value.bits;
}

void reportChara()
{
    const struct {
        const char* textA;
        int32_t lengthA;
        const char* textB;
        int32_t lengthB;
    } rows[] = {
        {"woo hahahaha        ", 20, "                    ", 20},
        {"mixed Case z{`a@[", 17, "short", 5},
        {"\xe1\xff\x80zZaA\x7f", 8, "........", 8},
        {"trail  ", 7, "", 0},
        {"negative", -3, "lengths", -1},
    };
    for (const auto& row : rows) {
        char textA[32], textB[32];
        std::memset(textA, '#', sizeof textA);
        std::memset(textB, '#', sizeof textB);
        std::memcpy(textA, row.textA, std::strlen(row.textA) + 1);
        std::memcpy(textB, row.textB, std::strlen(row.textB) + 1);
        int32_t lengthA = row.lengthA, lengthB = row.lengthB;
        chara(textA, &lengthA, textB, &lengthB);
        std::printf("chara: %s %s %s %s\n", hex(textA).c_str(), hex(lengthA).c_str(), hex(textB).c_str(),
                    hex(lengthB).c_str());
    }
}

void reportXArray()
{
    const VARIANT x[10] = {
        variantOf(VT_I2, -7),           variantOf(VT_I4, 100000),   variantOf(VT_R4, bitsOf(2.5f)),
        variantOf(VT_R8, bitsOf(1.1)),  variantOf(VT_BSTR, 0x1234), variantOf(VT_EMPTY, 0),
        variantOf(VT_BOOL, -1),         variantOf(VT_I2, 32767),    variantOf(VT_R8, bitsOf(1e200)),
        variantOf(VT_R4, bitsOf(std::numeric_limits<float>::quiet_NaN())),
    };
    const VARIANT y[10] = {
        variantOf(VT_EMPTY, 0), variantOf(VT_I2, 3),    variantOf(VT_BSTR, 0x5678), variantOf(VT_R8, bitsOf(-0.0)),
        variantOf(VT_EMPTY, 0), variantOf(VT_ERROR, 0x80020004), variantOf(VT_EMPTY, 0), variantOf(VT_R4, 9),
        variantOf(VT_EMPTY, 0), variantOf(VT_I4, 0),
    };
    for (int16_t count : {0, 1, 4, 10, -1}) {
        VARIANT xs[10], ys[10];
        std::memcpy(xs, x, sizeof x);
        std::memcpy(ys, y, sizeof y);
        int16_t counted = count;
        xArray(&counted, xs, ys);
        std::printf("xArray %d: %s %s %s\n", count, hex(counted).c_str(), hex(xs).c_str(), hex(ys).c_str());
    }
}

void reportSquareAndTransnumber()
{
    for (float number : {0.0f, -0.0f, 5.0f, 1.1f, -2.5f, 3e19f, 1e-30f, std::numeric_limits<float>::max(),
                         std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::infinity()}) {
        float argument = number;
        const float result = ostrumSquare(&argument);
        std::printf("square: %s %s\n", hex(argument).c_str(), hex(result).c_str());
    }
    for (auto [a, b] : {std::pair<int16_t, int16_t>{15, 0}, {-32768, 32767}, {-1, -1}}) {
        transnumber(&a, &b);
        std::printf("transnumber: %s %s\n", hex(a).c_str(), hex(b).c_str());
    }
}

// The descriptor's fields but its data address, then the elements.
std::string arrayBytes(const SAFEARRAY& array, const VARIANT (&elements)[10])
{
    return hex(array.dimensions) + hex(array.features) + hex(array.elementSize) + hex(array.locks) + " " +
           hex(array.bounds[0]) + " " + hex(elements);
}

void reportYArrayAndZArray()
{
    for (int16_t count : {10, 3, -5, 32767}) {
        for (int spoiled = 0; spoiled < 3; ++spoiled) {
            VARIANT elements[10];
            for (int i = 0; i < 10; ++i)
                elements[i] = variantOf(VT_I2, 2 * (i + 1));
            SAFEARRAY array{};
            array.dimensions = 1;
            array.features = SAFEARRAY_FIXED_SIZE | SAFEARRAY_OF_VARIANTS;
            array.elementSize = sizeof(VARIANT);
            array.data = elements;
            array.bounds[0] = {10, 1};
            if (spoiled == 1)
                elements[4].kind = VT_I4;
            if (spoiled == 2)
                array.bounds[0].elementCount = 4;
            SAFEARRAY* holder = &array;
            int16_t counted = count;
            yArray(&counted, &holder);
            std::printf("yArray %d/%d: %s %s\n", count, spoiled, hex(counted).c_str(), arrayBytes(array, elements).c_str());

            VARIANT reference = variantOf(VT_BYREF | VT_ARRAY | VT_VARIANT, 0);
            reference.value.arrayRef = &holder;
            zArray(&reference);
            std::printf("zArray %d/%d: %s %s\n", count, spoiled, hex(reference.kind).c_str(),
                        arrayBytes(array, elements).c_str());
        }
    }
}

void reportSumdll()
{
    for (int16_t a : {10, -32768, 32767, -1, 0})
        for (int16_t b : {20, -1, 1, 32767}) {
            int16_t first = a, second = b, sum = 0;
            sumdll(&first, &second, &sum);
            std::printf("sumdll: %s %s %s\n", hex(first).c_str(), hex(second).c_str(), hex(sum).c_str());
        }
}

// Morvane's square for each edge case of its trace, in a fresh "square.dat" each time: y's
// bits and the two records. The line end is named once, for the first call.
void reportMorvane()
{
    const struct {
        double n, x;
    } cases[] = {{1, 3}, {1, 1.1}, {1, 2.5}, {1, -2.7}, {1, 0}, {1, 317}, {1, -10000}, {1.9, 3}, {-1.9, 3}};
    bool lineEndNamed = false;
    auto report = [&](const char* what, double n, double* x, double* y) {
        std::filesystem::remove("square.dat");
        const int32_t result = morvaneSquare(&n, x, y);
        std::ifstream file("square.dat", std::ios::binary);
        const std::string trace{std::istreambuf_iterator<char>(file), {}};
        std::string records, lineEnd;
        for (std::size_t at = 0; at < trace.size();) {
            const std::size_t end = trace.find('\n', at);
            std::string line = trace.substr(at, end == std::string::npos ? std::string::npos : end - at);
            const bool withReturn = !line.empty() && line.back() == '\r';
            if (withReturn)
                line.pop_back();
            lineEnd = end == std::string::npos ? "none" : withReturn ? "CR LF" : "LF";
            records += " [" + line + "]";
            at = end == std::string::npos ? trace.size() : end + 1;
        }
        std::printf("Morvane %s: %d %s %s%s\n", what, result, hex(*x).c_str(), hex(*y).c_str(), records.c_str());
        if (!lineEndNamed)
            std::printf("trace lines end in %s\n", lineEnd.c_str());
        lineEndNamed = true;
    };
    for (const auto& each : cases) {
        char what[64];
        std::snprintf(what, sizeof what, "n=%g x=%g", each.n, each.x);
        double x = each.x, y = -1;
        report(what, each.n, &x, &y);
    }
    // x and y at one address: the square replaces the input before record 2 is written.
    double xy = 5;
    report("x=y=5", 2, &xy, &xy);
}

} // namespace

int main()
{
    try {
        reportChara();
        reportXArray();
        reportSquareAndTransnumber();
        reportYArrayAndZArray();
        reportSumdll();
        reportMorvane();
    } catch (const RuntimeError& error) {
        std::printf("%s\n", error.what());
        return 1;
    }
    return 0;
}
