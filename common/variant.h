// Variant: the 16-byte tagged value, owned.
//
// A Variant *is* a VARIANT (routine_abi.h): same size, same layout, so its address, or the
// address of an array of them, is exactly what a routine library receives. It owns the text
// it holds and releases it when it is overwritten or destroyed. Like a local variable without
// a declared kind, it takes the kind of the last value stored into it. Arrays are held by
// VariantArray (variant_array.h); a Variant refers to one and never releases a descriptor.
#pragma once

#include "routine_abi.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

class Variant {
public:
    Variant() noexcept; // empty
    Variant(int16_t value) noexcept;
    Variant(int32_t value) noexcept;
    Variant(float value) noexcept;
    Variant(double value) noexcept;
    Variant(std::u16string_view text);
    Variant(const std::u16string& text);
    Variant(const char16_t* text);

    static Variant boolean(bool value) noexcept;
    static Variant missing() noexcept; // the missing argument: VT_ERROR, DISP_E_PARAMNOTFOUND

    // References to values held elsewhere (VT_BYREF); the Variant does not own the target.
    static Variant reference(int16_t* target) noexcept;
    static Variant reference(float* target) noexcept;
    static Variant reference(Variant* target) noexcept;
    // A reference to the variable that holds an array of Variants: tag 0x600C.
    static Variant arrayReference(SAFEARRAY** variable) noexcept;

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    VARTYPE kind() const { return raw_.kind; }
    bool isEmpty() const { return raw_.kind == VT_EMPTY; }

    // The VARIANT itself, for passing by address.
    VARIANT* raw() { return &raw_; }
    const VARIANT* raw() const { return &raw_; }

    // Conversions; a reference converts what it refers to. Empty converts to 0 and "".
    // Integer kinds round to nearest-even and raise Overflow outside their range; text,
    // arrays and error values do not convert to numbers (Type mismatch).
    int16_t toInt16() const;
    int32_t toInt32() const;
    float toSingle() const;
    double toDouble() const;
    // The value as it reads when joined to text.
    std::u16string toText() const;

private:
    void release() noexcept;
    VARIANT raw_;
};

static_assert(sizeof(Variant) == sizeof(VARIANT), "a Variant is exactly a VARIANT");
static_assert(std::is_standard_layout_v<Variant>, "a Variant can stand where a VARIANT does");
