// Arrays of Variants, described by a SAFEARRAY descriptor (routine_abi.h).
//
// A VariantArray is an array variable: it holds the address of its descriptor, or none when
// it holds no array. Passing the array by reference passes the address of that variable.
#pragma once

#include "routine_abi.h"
#include "variant.h"

#include <cstdint>

// Element `index` of an array of Variants. The array must exist, have exactly one dimension,
// and the index must lie in its bounds; otherwise Subscript out of range.
Variant& elementOf(SAFEARRAY* array, int32_t index);

class VariantArray {
public:
    VariantArray() noexcept = default; // holds no array
    // A fixed array, index `first` to `last`, every element empty.
    static VariantArray fixed(int32_t first, int32_t last);

    VariantArray(VariantArray&& other) noexcept;
    VariantArray& operator=(VariantArray&& other) noexcept;
    VariantArray(const VariantArray&) = delete;
    VariantArray& operator=(const VariantArray&) = delete;
    ~VariantArray();

    // x(i): the element at an index; a real index is first rounded to a 32-bit integer.
    Variant& operator()(int32_t index)
    {
        if (lookUpWatcher_)
            lookUpWatcher_(*this, index);
        return elementOf(descriptor_, index);
    }
    Variant& operator()(double index);

    // A watcher of element look-ups, for a tool that records what a program's arrays hold at
    // a moment of its run (the teaching pages see Korvik's arrays at the call of Sample so).
    // It is called before every look-up x(i), with the array and the index as written. None
    // is set unless a tool sets one; then a look-up only tests for it. Null removes it.
    using LookUpWatcher = void (*)(VariantArray& array, double index);
    static void watchLookUps(LookUpWatcher watcher) noexcept { lookUpWatcher_ = watcher; }

    // The address of this variable, which holds the address of the descriptor: what goes
    // to a routine that takes the array by reference.
    SAFEARRAY** byReference() { return &descriptor_; }
    SAFEARRAY* descriptor() const { return descriptor_; }

private:
    SAFEARRAY* descriptor_ = nullptr;
    static inline LookUpWatcher lookUpWatcher_ = nullptr;
};
