#include "variant.h"

#include "conversions.h"
#include "counted_text.h"
#include "runtime_error.h"

namespace {

// All 16 bytes zero: a routine sees no stray bytes beside a value that fills only part of
// the payload (initialising the union zeroes only its first member).
VARIANT emptyValue() noexcept
{
    VARIANT v{};
    v.kind = VT_EMPTY;
    v.value.bits = 0;
    return v;
}

bool ownsText(const VARIANT& v)
{
    return v.kind == VT_BSTR;
}

// The value a reference points at, as a plain VARIANT of the target's kind.
VARIANT dereference(const VARIANT& v)
{
    if (!(v.kind & VT_BYREF))
        return v;
    if (v.kind == (VT_BYREF | VT_VARIANT))
        return dereference(*v.value.variantRef);
    VARIANT target = emptyValue();
    target.kind = static_cast<VARTYPE>(v.kind & ~VT_BYREF);
    switch (target.kind) {
    case VT_I2: target.value.i2 = *v.value.i2Ref; break;
    case VT_I4: target.value.i4 = *v.value.i4Ref; break;
    case VT_R4: target.value.r4 = *v.value.r4Ref; break;
    case VT_R8: target.value.r8 = *v.value.r8Ref; break;
    default: target.value.ref = *static_cast<void* const*>(v.value.ref); break; // a text or an array, not owned here
    }
    return target;
}

[[noreturn]] void typeMismatch(VARTYPE kind, const char* wanted)
{
    throw RuntimeError(ErrorCode::TypeMismatch,
                       "a Variant of kind " + std::to_string(kind) + " does not convert to " + wanted);
}

} // namespace

Variant::Variant() noexcept : raw_(emptyValue()) {}

Variant::Variant(int16_t value) noexcept : raw_(emptyValue())
{
    raw_.kind = VT_I2;
    raw_.value.i2 = value;
}

Variant::Variant(int32_t value) noexcept : raw_(emptyValue())
{
    raw_.kind = VT_I4;
    raw_.value.i4 = value;
}

Variant::Variant(float value) noexcept : raw_(emptyValue())
{
    raw_.kind = VT_R4;
    raw_.value.r4 = value;
}

Variant::Variant(double value) noexcept : raw_(emptyValue())
{
    raw_.kind = VT_R8;
    raw_.value.r8 = value;
}

Variant::Variant(std::u16string_view text) : raw_(emptyValue())
{
    raw_.value.text = allocText(text);
    raw_.kind = VT_BSTR;
}

Variant::Variant(const std::u16string& text) : Variant(std::u16string_view(text)) {}

Variant::Variant(const char16_t* text) : Variant(std::u16string_view(text)) {}

Variant Variant::boolean(bool value) noexcept
{
    Variant v;
    v.raw_.kind = VT_BOOL;
    v.raw_.value.boolean = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::missing() noexcept
{
    Variant v;
    v.raw_.kind = VT_ERROR;
    v.raw_.value.error = DISP_E_PARAMNOTFOUND;
    return v;
}

static Variant referenceTo(VARTYPE kind, void* target) noexcept
{
    Variant v;
    v.raw()->kind = static_cast<VARTYPE>(VT_BYREF | kind);
    v.raw()->value.ref = target;
    return v;
}

Variant Variant::reference(int16_t* target) noexcept
{
    return referenceTo(VT_I2, target);
}
Variant Variant::reference(float* target) noexcept
{
    return referenceTo(VT_R4, target);
}
Variant Variant::reference(Variant* target) noexcept
{
    return referenceTo(VT_VARIANT, target->raw());
}

Variant Variant::arrayReference(SAFEARRAY** variable) noexcept
{
    return referenceTo(VT_ARRAY | VT_VARIANT, variable);
}

Variant::Variant(const Variant& other) : raw_(other.raw_)
{
    if (ownsText(other.raw_))
        raw_.value.text = allocText(viewText(other.raw_.value.text));
}

Variant::Variant(Variant&& other) noexcept : raw_(other.raw_)
{
    other.raw_ = emptyValue();
}

Variant& Variant::operator=(const Variant& other)
{
    if (this != &other)
        *this = Variant(other);
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        release();
        raw_ = other.raw_;
        other.raw_ = emptyValue();
    }
    return *this;
}

Variant::~Variant()
{
    release();
}

void Variant::release() noexcept
{
    if (ownsText(raw_))
        freeText(raw_.value.text);
    raw_ = emptyValue();
}

double Variant::toDouble() const
{
    const VARIANT v = dereference(raw_);
    switch (v.kind) {
    case VT_EMPTY: return 0;
    case VT_I2: return v.value.i2;
    case VT_I4: return v.value.i4;
    case VT_R4: return v.value.r4;
    case VT_R8: return v.value.r8;
    case VT_BOOL: return v.value.boolean;
    default: typeMismatch(v.kind, "a number");
    }
}

int16_t Variant::toInt16() const
{
    return ::toInt16(toDouble());
}

int32_t Variant::toInt32() const
{
    return ::toInt32(toDouble());
}

float Variant::toSingle() const
{
    return ::toSingle(toDouble());
}

std::u16string Variant::toText() const
{
    const VARIANT v = dereference(raw_);
    switch (v.kind) {
    case VT_EMPTY: return u"";
    case VT_I2: return textForJoining(v.value.i2);
    case VT_I4: return textForJoining(v.value.i4);
    case VT_R4: return textForJoining(v.value.r4);
    case VT_R8: return textForJoining(v.value.r8);
    case VT_BSTR: return std::u16string(viewText(v.value.text));
    case VT_BOOL: return v.value.boolean ? u"True" : u"False";
    default: typeMismatch(v.kind, "text");
    }
}
