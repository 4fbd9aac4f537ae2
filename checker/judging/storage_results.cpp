#include "storage_results.h"

#include <cstdio>
#include <string>

namespace {

// The kinds a Variant of the programs owns or follows: releasing or reading one that the
// program did not make would free or read memory that is not what the tag says.
bool ownsOrFollows(VARTYPE kind)
{
    return kind == VT_BSTR || (kind & VT_ARRAY) || (kind & VT_BYREF);
}

} // namespace

std::vector<Finding> descriptorChanges(const Argument& array, const SAFEARRAY& before, const SAFEARRAY& after)
{
    struct Field {
        const char* name;
        bool changed;
    };
    const Field fields[] = {
        {"its dimension count", before.dimensions != after.dimensions},
        {"its features", before.features != after.features},
        {"its element size", before.elementSize != after.elementSize},
        {"its lock count", before.locks != after.locks},
        {"the address of its elements", before.data != after.data},
        {"its element count", before.bounds[0].elementCount != after.bounds[0].elementCount},
        {"its lower bound", before.bounds[0].lowerBound != after.bounds[0].lowerBound},
    };
    std::vector<Finding> changes;
    for (const Field& field : fields)
        if (field.changed)
            changes.push_back({FindingKind::DescriptorChanged, array, {std::string(field.name)}});
    return changes;
}

std::vector<Finding> unsafeElements(const Argument& array, const std::vector<VARIANT>& before,
                                    const std::vector<VARIANT>& after, int firstIndex)
{
    std::vector<Finding> unsafe;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        const bool changed = after[i].kind != before[i].kind || after[i].value.bits != before[i].value.bits;
        if (changed && ownsOrFollows(after[i].kind)) {
            char kind[8];
            std::snprintf(kind, sizeof kind, "0x%04X", after[i].kind);
            unsafe.push_back({FindingKind::ElementLeftUnsafe,
                              array,
                              {int64_t{firstIndex + static_cast<int>(i)}, std::string(kind)}});
        }
    }
    return unsafe;
}
