/*
 * routine_abi.h: what crosses between a program of this set and a routine library.
 *
 * A routine library is written in plain C against this header alone. It declares the
 * tagged value (VARIANT), the array descriptor (SAFEARRAY), the counted text (BSTR), the
 * kind tags, and the two macros every exported routine carries:
 *
 *     ROUTINE_EXPORT int32_t ROUTINE_CALL square(double *n, double *x, double *y);
 *
 * and the library is built with ROUTINE_BUILDING_LIBRARY defined, so that ROUTINE_EXPORT
 * exports.
 *
 * On 32-bit Windows, the platform the programs were made for, the tagged value, the array
 * descriptor, the counted text and the kind tags are the platform's own (<oaidl.h>, with its
 * field names: vt, iVal, parray, cbElements, ...), so a file may include <windows.h> before or
 * after this header; the checks below hold the platform's layout to the one described here.
 * On 64-bit Windows the platform's VARIANT is 24 bytes, not the 16 that the programs pass, so
 * the declarations are this header's own there, and a file that includes a contract header
 * defines WIN32_LEAN_AND_MEAN before <windows.h>, which then leaves the OLE types out. A file
 * that uses this header's field names (kind, value.i2, elementSize, ...) on 32-bit Windows
 * too defines ROUTINE_ABI_OWN_TYPES before including it, under the same rule.
 *
 * Every argument is an address; the caller owns all storage before, during and after the
 * call, and a routine keeps no address once it has returned.
 */
#ifndef ROUTINE_ABI_H
#define ROUTINE_ABI_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64) && !defined(ROUTINE_ABI_OWN_TYPES)
#define ROUTINE_ABI_PLATFORM_TYPES 1
#include <oaidl.h>
#elif defined(_WIN32)
#if defined(__wtypes_h__) || defined(__oaidl_h__)
#error "routine_abi.h declares its own VARIANT, SAFEARRAY and BSTR here (64-bit Windows, or ROUTINE_ABI_OWN_TYPES), and <windows.h> declared the platform's: define WIN32_LEAN_AND_MEAN before including <windows.h>"
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Calling convention -------------------------------------------------------------- */

/* The routine removes its own arguments from the stack on 32-bit Windows (stdcall);
   everywhere else the platform has one C convention and the macro is empty. */
#if defined(_WIN32) && !defined(_WIN64)
#define ROUTINE_CALL __stdcall
#else
#define ROUTINE_CALL
#endif

/* Marks a routine that a library exports under its plain name. A routine library defines
   ROUTINE_BUILDING_LIBRARY while it is built (cc -DROUTINE_BUILDING_LIBRARY ...), and its
   routines become visible outside it. Anywhere else the mark is empty: a program that includes
   a contract header to declare the routines it calls binds them by name at run time, so it
   neither exports nor imports them. */
#if defined(ROUTINE_BUILDING_LIBRARY)
#if defined(_WIN32)
#define ROUTINE_EXPORT __declspec(dllexport)
#else
#define ROUTINE_EXPORT __attribute__((visibility("default")))
#endif
#else
#define ROUTINE_EXPORT
#endif

/* ---- The platform's declarations (Windows) ------------------------------------------ */

#if defined(ROUTINE_ABI_PLATFORM_TYPES)

/* VARTYPE, the VT_ tags, DISP_E_PARAMNOTFOUND, VARIANT_TRUE and VARIANT_FALSE, BSTR,
   SAFEARRAYBOUND, SAFEARRAY and VARIANT come from <oaidl.h>. */
typedef OLECHAR TEXTUNIT;

/* The number of UTF-16 code units of a text; a null BSTR is the empty text. */
static inline uint32_t BSTR_length(const TEXTUNIT *text)
{
    return text ? ((const uint32_t *)(const void *)text)[-1] / 2u : 0u;
}

enum {
    SAFEARRAY_FIXED_SIZE = FADF_FIXEDSIZE, /* may not be resized or released by a routine */
    SAFEARRAY_OF_VARIANTS = FADF_VARIANT   /* every element is a VARIANT */
};

#else

/* ---- Kind tags ---------------------------------------------------------------------- */

typedef uint16_t VARTYPE;

enum {
    VT_EMPTY = 0,      /* no value yet */
    VT_I2 = 2,         /* 16-bit integer */
    VT_I4 = 3,         /* 32-bit integer */
    VT_R4 = 4,         /* 32-bit real */
    VT_R8 = 5,         /* 64-bit real */
    VT_BSTR = 8,       /* counted text */
    VT_ERROR = 10,     /* error code; DISP_E_PARAMNOTFOUND marks a missing argument */
    VT_BOOL = 11,      /* Boolean: true is -1, false is 0 */
    VT_VARIANT = 12,   /* a VARIANT, as the element kind of an array or the target of a reference */
    VT_ARRAY = 0x2000, /* added to a kind: an array of that kind */
    VT_BYREF = 0x4000  /* added to a kind: the address of a value held elsewhere */
};

/* <windows.h> may have defined it first, with the same value. */
#ifndef DISP_E_PARAMNOTFOUND
#define DISP_E_PARAMNOTFOUND ((int32_t)0x80020004)
#endif

#define VARIANT_TRUE ((int16_t)-1)
#define VARIANT_FALSE ((int16_t)0)

/* ---- Counted text ------------------------------------------------------------------- */

/* A BSTR points at the first of its UTF-16 code units. The 32-bit word just before them
   holds the length in bytes (twice the number of units), and a zero unit follows them.
   The text may itself hold zero units; only the length says where it ends. */
#ifdef __cplusplus
typedef char16_t TEXTUNIT;
#else
typedef uint16_t TEXTUNIT;
#endif
typedef TEXTUNIT *BSTR;

/* The number of UTF-16 code units of a text; a null BSTR is the empty text. */
static inline uint32_t BSTR_length(const TEXTUNIT *text)
{
    return text ? ((const uint32_t *)(const void *)text)[-1] / 2u : 0u;
}

/* ---- Array descriptor --------------------------------------------------------------- */

typedef struct SAFEARRAYBOUND {
    uint32_t elementCount;
    int32_t lowerBound;
} SAFEARRAYBOUND;

/* One descriptor per array. Element i (lowerBound <= i < lowerBound + elementCount) of a
   one-dimension array lies at data + (i - lowerBound) * elementSize. */
typedef struct SAFEARRAY {
    uint16_t dimensions;
    uint16_t features; /* SAFEARRAY_FIXED_SIZE, SAFEARRAY_OF_VARIANTS */
    uint32_t elementSize;
    uint32_t locks;
    void *data;
    SAFEARRAYBOUND bounds[1]; /* one per dimension; the arrays of this set have one */
} SAFEARRAY;

enum {
    SAFEARRAY_FIXED_SIZE = 0x0010, /* may not be resized or released by a routine */
    SAFEARRAY_OF_VARIANTS = 0x0800 /* every element is a VARIANT */
};

/* ---- Tagged value ------------------------------------------------------------------- */

/* Exactly 16 bytes on 32- and 64-bit builds: the kind tag, six bytes of padding, and an
   8-byte payload whose meaning the tag gives. */
typedef struct VARIANT {
    VARTYPE kind;
    uint16_t reserved[3];
    union {
        int16_t i2;                 /* VT_I2 */
        int32_t i4;                 /* VT_I4 */
        float r4;                   /* VT_R4 */
        double r8;                  /* VT_R8 */
        BSTR text;                  /* VT_BSTR */
        int32_t error;              /* VT_ERROR */
        int16_t boolean;            /* VT_BOOL */
        SAFEARRAY *array;           /* VT_ARRAY | kind */
        int16_t *i2Ref;             /* VT_BYREF | VT_I2 */
        int32_t *i4Ref;             /* VT_BYREF | VT_I4 */
        float *r4Ref;               /* VT_BYREF | VT_R4 */
        double *r8Ref;              /* VT_BYREF | VT_R8 */
        struct VARIANT *variantRef; /* VT_BYREF | VT_VARIANT */
        SAFEARRAY **arrayRef;       /* VT_BYREF | VT_ARRAY | kind: the variable that holds the array */
        void *ref;                  /* any VT_BYREF kind */
        int64_t bits;               /* all eight payload bytes at once */
    } value;
} VARIANT;

#endif /* ROUTINE_ABI_PLATFORM_TYPES */

/* ---- Layout checks ------------------------------------------------------------------ */

#ifdef __cplusplus
#define ROUTINE_ABI_ASSERT(condition, message) static_assert(condition, message)
#else
#define ROUTINE_ABI_ASSERT(condition, message) _Static_assert(condition, message)
#endif

#if defined(ROUTINE_ABI_PLATFORM_TYPES)
/* The platform's tags and layout are the ones the programs pass. */
ROUTINE_ABI_ASSERT(VT_EMPTY == 0 && VT_I2 == 2 && VT_I4 == 3 && VT_R4 == 4 && VT_R8 == 5, "the number kinds' tags");
ROUTINE_ABI_ASSERT(VT_BSTR == 8 && VT_ERROR == 10 && VT_BOOL == 11 && VT_VARIANT == 12, "the other kinds' tags");
ROUTINE_ABI_ASSERT(VT_ARRAY == 0x2000 && VT_BYREF == 0x4000, "the array and reference flags");
ROUTINE_ABI_ASSERT((uint32_t)DISP_E_PARAMNOTFOUND == 0x80020004u, "the missing argument's error code");
ROUTINE_ABI_ASSERT(VARIANT_TRUE == -1 && VARIANT_FALSE == 0, "true is -1");
ROUTINE_ABI_ASSERT(sizeof(VARTYPE) == 2, "a kind tag is 16 bits");
ROUTINE_ABI_ASSERT(sizeof(VARIANT) == 16, "a VARIANT is 16 bytes");
ROUTINE_ABI_ASSERT(offsetof(VARIANT, vt) == 0, "the kind tag starts the VARIANT");
ROUTINE_ABI_ASSERT(offsetof(VARIANT, llVal) == 8, "the payload starts at byte 8");
ROUTINE_ABI_ASSERT(sizeof(SAFEARRAYBOUND) == 8 && offsetof(SAFEARRAYBOUND, lLbound) == 4,
                   "a bound is the element count, then the lower bound");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, fFeatures) == 2, "features at byte 2");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, cbElements) == 4, "element size at byte 4");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, cLocks) == 8, "lock count at byte 8");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, pvData) == (sizeof(void *) == 8 ? 16 : 12),
                   "data pointer after the lock count, pointer-aligned");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, rgsabound) == (sizeof(void *) == 8 ? 24 : 16), "bounds after the data pointer");
ROUTINE_ABI_ASSERT(sizeof(SAFEARRAY) == (sizeof(void *) == 8 ? 32 : 24), "a one-dimension descriptor");
#else
ROUTINE_ABI_ASSERT(sizeof(VARIANT) == 16, "a VARIANT is 16 bytes");
ROUTINE_ABI_ASSERT(offsetof(VARIANT, value) == 8, "the payload starts at byte 8");
ROUTINE_ABI_ASSERT(sizeof(SAFEARRAYBOUND) == 8, "a bound is two 32-bit words");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, elementSize) == 4, "element size at byte 4");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, locks) == 8, "lock count at byte 8");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, data) == (sizeof(void *) == 8 ? 16 : 12),
                   "data pointer after the lock count, pointer-aligned");
ROUTINE_ABI_ASSERT(offsetof(SAFEARRAY, bounds) == (sizeof(void *) == 8 ? 24 : 16), "bounds after the data pointer");
ROUTINE_ABI_ASSERT(sizeof(SAFEARRAY) == (sizeof(void *) == 8 ? 32 : 24), "a one-dimension descriptor");

#endif
ROUTINE_ABI_ASSERT(sizeof(TEXTUNIT) == 2, "a text unit is 16 bits");

#ifdef __cplusplus
}
#endif

#endif /* ROUTINE_ABI_H */
