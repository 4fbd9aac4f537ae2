/* value_kind.h: the kinds of value that cross in a call, one enum for every use: the kind an
   argument's address points at and the result a program reads (call_descriptions.h), and the
   kind of each region of bytes a routine was given, as a recording keeps it (recording.h) and a
   listing shows it (listing.h). Plain C, so that a recording library written in C can name the
   kinds too. */
#ifndef VALUE_KIND_H
#define VALUE_KIND_H

typedef enum ValueKind {
    VALUE_NONE,               /* for a routine's result: it returns nothing the program reads */
    VALUE_INT16,              /* int16_t, a 16-bit integer */
    VALUE_INT32,              /* int32_t, a 32-bit integer */
    VALUE_REAL32,             /* float, a 32-bit real */
    VALUE_REAL64,             /* double, a 64-bit real */
    VALUE_TEXT,               /* char: 8-bit characters and their terminating zero */
    VALUE_DESCRIPTOR_ADDRESS, /* SAFEARRAY *: a variable that holds the address of an array's descriptor */
    VALUE_VARIANT,            /* VARIANT: one tagged value */
    VALUE_DESCRIPTOR,         /* SAFEARRAY: one array descriptor */
    VALUE_VARIANTS            /* VARIANT[]: consecutive elements of an array */
} ValueKind;

#ifdef __cplusplus
#include "routine_abi.h"

#include <cstdint>
#include <type_traits>

/* The kind of a C type: kindOf<int16_t>() is VALUE_INT16; VALUE_NONE for a type of no kind. */
template <typename T>
constexpr ValueKind kindOf()
{
    if constexpr (std::is_same_v<T, int16_t>)
        return VALUE_INT16;
    else if constexpr (std::is_same_v<T, int32_t>)
        return VALUE_INT32;
    else if constexpr (std::is_same_v<T, float>)
        return VALUE_REAL32;
    else if constexpr (std::is_same_v<T, double>)
        return VALUE_REAL64;
    else if constexpr (std::is_same_v<T, char>)
        return VALUE_TEXT;
    else if constexpr (std::is_same_v<T, SAFEARRAY*>)
        return VALUE_DESCRIPTOR_ADDRESS;
    else if constexpr (std::is_same_v<T, VARIANT>)
        return VALUE_VARIANT;
    else if constexpr (std::is_same_v<T, SAFEARRAY>)
        return VALUE_DESCRIPTOR;
    else
        return VALUE_NONE;
}
#endif

#endif /* VALUE_KIND_H */
