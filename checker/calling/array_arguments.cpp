#include "array_arguments.h"

#include "call_descriptions.h"
#include "shown_texts.h"

#include <cmath>

std::vector<VARIANT> emptyVariants()
{
    VARIANT empty{};
    empty.kind = VT_EMPTY;
    empty.value.bits = 0;
    return std::vector<VARIANT>(arrayLength, empty);
}

std::vector<VARIANT> smallIntegers(int16_t first, int16_t step)
{
    std::vector<VARIANT> elements = emptyVariants();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        elements[i].kind = VT_I2;
        elements[i].value.i2 = static_cast<int16_t>(first + step * static_cast<int16_t>(i));
    }
    return elements;
}

ArrayArgument placeArray(Call& call, const std::string& name, const std::string& programName,
                         const std::vector<VARIANT>& initial, const PieceName& variable)
{
    ArrayArgument array{name, variable.position, initial, nullptr, nullptr, SAFEARRAY{}, nullptr};
    const std::string descriptorThrough = "*" + variable.reachedThrough;
    array.elements = call.elements(
        {"the elements of " + name, "(" + descriptorThrough + ")->data", "", programName, variable.position},
        array.initial);

    const SAFEARRAY descriptor = arrayDescriptor(array.elements);
    array.before = descriptor;
    array.descriptor = call.value(
        {"the descriptor of " + name, descriptorThrough, programName + "'s descriptor", {}, variable.position},
        descriptor);
    array.variable = call.value(variable, array.descriptor);
    return array;
}

SAFEARRAY arrayDescriptor(VARIANT* elements)
{
    SAFEARRAY descriptor{};
    descriptor.dimensions = 1;
    descriptor.features = SAFEARRAY_FIXED_SIZE | SAFEARRAY_OF_VARIANTS;
    descriptor.elementSize = sizeof(VARIANT);
    descriptor.locks = 0;
    descriptor.data = elements;
    descriptor.bounds[0] = {arrayLength, arrayFirstIndex};
    return descriptor;
}

std::optional<TagMismatch> tagMismatch(const VARIANT& element)
{
    if (element.kind == VT_R4) {
        const double wide = element.value.r8;
        const bool plausible = std::isnormal(wide) && std::fabs(wide) > 1e-30 && std::fabs(wide) < 1e30;
        if (plausible && static_cast<double>(element.value.r4) != wide)
            return TagMismatch{VT_R4, VT_R8, shortestText(wide)};
    }
    if (element.kind == VT_I2) {
        const int32_t wide = element.value.i4;
        if (wide > 65535 || wide < -32768)
            return TagMismatch{VT_I2, VT_I4, std::to_string(wide)};
    }
    return std::nullopt;
}

std::string kindNamed(VARTYPE kind)
{
    switch (kind) {
    case VT_I2: return "a 16-bit integer (VT_I2)";
    case VT_I4: return "a 32-bit integer (VT_I4)";
    case VT_R4: return "a 32-bit real (VT_R4)";
    case VT_R8: return "a 64-bit real (VT_R8)";
    default: return "the kind " + std::to_string(kind);
    }
}
