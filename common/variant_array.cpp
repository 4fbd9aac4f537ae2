#include "variant_array.h"

#include "conversions.h"
#include "runtime_error.h"

#include <string>
#include <utility>

namespace {

// A new one-dimension array of `count` empty Variants, index lowerBound to lowerBound + count - 1.
SAFEARRAY* createArray(int32_t lowerBound, uint32_t count)
{
    auto* array = new SAFEARRAY{};
    array->dimensions = 1;
    array->features = SAFEARRAY_FIXED_SIZE | SAFEARRAY_OF_VARIANTS;
    array->elementSize = sizeof(Variant);
    array->locks = 0;
    array->data = new Variant[count];
    array->bounds[0] = {count, lowerBound};
    return array;
}

// Releases every element and then the descriptor; a null array is ignored.
void destroyArray(SAFEARRAY* array) noexcept
{
    if (!array)
        return;
    delete[] static_cast<Variant*>(array->data);
    delete array;
}

} // namespace

Variant& elementOf(SAFEARRAY* array, int32_t index)
{
    if (!array)
        throw RuntimeError(ErrorCode::SubscriptOutOfRange,
                           "index " + std::to_string(index) + " of a variable that holds no array");
    if (array->dimensions != 1)
        throw RuntimeError(ErrorCode::SubscriptOutOfRange,
                           "the array has " + std::to_string(array->dimensions) + " dimensions, not 1");
    const int64_t first = array->bounds[0].lowerBound;
    const int64_t last = first + array->bounds[0].elementCount - 1;
    if (index < first || index > last)
        throw RuntimeError(ErrorCode::SubscriptOutOfRange,
                           "index " + std::to_string(index) + " is outside " + std::to_string(first) + " to " +
                               std::to_string(last));
    return static_cast<Variant*>(array->data)[index - first];
}

VariantArray VariantArray::fixed(int32_t first, int32_t last)
{
    VariantArray array;
    array.descriptor_ = createArray(first, static_cast<uint32_t>(int64_t{last} - first + 1));
    return array;
}

VariantArray::VariantArray(VariantArray&& other) noexcept : descriptor_(std::exchange(other.descriptor_, nullptr)) {}

VariantArray& VariantArray::operator=(VariantArray&& other) noexcept
{
    if (this != &other) {
        destroyArray(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, nullptr);
    }
    return *this;
}

VariantArray::~VariantArray()
{
    destroyArray(descriptor_);
}

Variant& VariantArray::operator()(double index)
{
    if (lookUpWatcher_)
        lookUpWatcher_(*this, index);
    return elementOf(descriptor_, toInt32(index));
}
