// listing.h: the listing of the bytes a routine was given, region by region, as the teaching
// pages (docs/passing/) show them and as a program that checks a routine library can print
// them before and after a call.
//
// A region is storage the routine can reach: a variable, a temporary, a text copy, a
// descriptor, array elements. Its listing names the expression that reaches it and the
// caller's name for it, then shows its bytes with their offsets, one field or element a line,
// with what each field holds:
//
//   count → nTemporary: int16_t, 2 bytes
//   +0    0a 00                                             10, a 16-bit integer
//
//   array → x: SAFEARRAY *, 8 bytes
//   +0    <address of x's descriptor>                       the address of the array's descriptor
//
// An address held in a region is never shown as a number, which differs from run to run, but
// as the place it points at among the regions listed with it ("<address of x(1)>"), or as
// "<an address outside the recorded storage>" when it points into none of them.
//
// Depends on routine_abi.h, value_kind.h and the C++ standard library alone (target byte_listing).
#pragma once

#include "value_kind.h"
#include "routine_abi.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One region as the caller knows it, with its bytes as they were when they were copied.
struct ListedRegion {
    // The C expression whose value is the region's address: "count", "*array",
    // "(*array)->data". Empty for a value a routine returned.
    std::string reachedThrough;
    // The caller's name for the region: "nTemporary", "x's descriptor". For elements
    // (VALUE_VARIANTS) it may be left empty: they are then called "x(1) to x(10)".
    std::string name;
    ValueKind layout = VALUE_INT16;
    // Where the region lay when its bytes were copied: what addresses held in the regions are
    // matched against. Null for a value returned in a register, which lies in no storage.
    const void* address = nullptr;
    // The region's bytes, as many as the region is long.
    std::vector<unsigned char> bytes;
    // For elements (VALUE_VARIANTS): the array's name and the index of the first element, so
    // that element k is called "x(firstIndex + k)".
    std::string arrayName = {};
    int firstIndex = 1;
};

// The listing of the regions, in the order given: for each, a line that names it and then its
// bytes, one field a line; a blank line between regions; every line ends with "\n". Bytes too
// few for the region's layout are listed as they are, sixteen to a line.
//
// Given `before`, the same regions as they were before a call, the listing marks what the call
// changed: a line whose bytes differ from those of the same region there (reached through the
// same expression) begins its explanation with "changed: ".
std::string listingOf(const std::vector<ListedRegion>& regions, const std::vector<ListedRegion>* before = nullptr);

// ---- The same regions drawn otherwise (the teaching pages' pictures) ----------------------

// One field of a region: one line of its listing.
struct ListedField {
    std::size_t offset;
    std::size_t size;
    std::string name;  // "dimensions", "x(1)", "value"; empty for a line of text
    std::string value; // as a picture shows it: "1", "0x0810", "VT_I2 2"
    std::string note;  // as the listing explains it: "dimensions: 1"
    bool holdsAddress = false;
    bool isPadding = false;
    const void* address = nullptr; // the address it holds
};
std::vector<ListedField> fieldsOf(const ListedRegion& region);

// "nTemporary", or "x(1) to x(10)" for elements without a name of their own.
std::string titleOf(const ListedRegion& region);

// A field's offset as the listing writes it: "+8".
std::string offsetText(std::size_t offset);

// The region's kind as a routine declares it: "int16_t", "VARIANT[10]".
std::string cTypeOf(const ListedRegion& region);

// Which region an address points into, and where in it; none when it points into none.
struct PlaceInRegions {
    std::size_t region;
    std::size_t offset;
};
std::optional<PlaceInRegions> placeOf(const void* address, const std::vector<ListedRegion>& regions);

// "01 00 10 08", with a second space after the eighth byte.
std::string hexBytes(const unsigned char* bytes, std::size_t count);

// The register that carries a routine's result of a real kind on this machine: "xmm0".
const char* realResultRegister();
