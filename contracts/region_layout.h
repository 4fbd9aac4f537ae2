/* region_layout.h: how the bytes of a region of memory a routine was given are laid out, as
   a recording keeps it (recording.h) and a listing shows it (listing.h). Plain C, so that a
   recording library written in C can name the layouts too. */
#ifndef REGION_LAYOUT_H
#define REGION_LAYOUT_H

typedef enum RegionLayout {
    REGION_INT16,      /* a 16-bit integer */
    REGION_INT32,      /* a 32-bit integer */
    REGION_REAL32,     /* a 32-bit real */
    REGION_REAL64,     /* a 64-bit real */
    REGION_TEXT,       /* 8-bit characters and their terminating zero */
    REGION_ADDRESS,    /* a variable that holds the address of an array's descriptor */
    REGION_VARIANT,    /* one VARIANT */
    REGION_DESCRIPTOR, /* one SAFEARRAY descriptor */
    REGION_VARIANTS    /* consecutive VARIANT elements */
} RegionLayout;

#endif /* REGION_LAYOUT_H */
