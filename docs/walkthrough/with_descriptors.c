/* Calls the chara of len_star.f90 and the xArray of assumed_shape.f90 as a Fortran caller
   would: each character(len=*) text and each x(:) array as the address of a C descriptor,
   CFI_cdesc_t, made with CFI_establish. Prints the bytes of each descriptor, and what the
   routines did. */
#include <ISO_Fortran_binding.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "routine_abi.h"

void chara(CFI_cdesc_t *textA, int32_t *lengthA, CFI_cdesc_t *textB, int32_t *lengthB);
void xArray(int16_t *count, CFI_cdesc_t *x, CFI_cdesc_t *y);

/* One field of a descriptor: its offset, its bytes in memory order, what they mean. */
static void showField(const void *descriptor, size_t offset, size_t size, const char *meaning)
{
    char bytes[64] = "";
    for (size_t i = 0; i < size; ++i)
        sprintf(bytes + strlen(bytes), "%s%02x", i == 0 ? "" : i == 8 ? "  " : " ",
                ((const unsigned char *)descriptor)[offset + i]);
    char at[16];
    sprintf(at, "+%zu", offset);
    printf("%-6s%-50s%s\n", at, bytes, meaning);
}

/* The descriptor field by field; an address is named, since it differs from run to run. */
static void showDescriptor(const char *name, const CFI_cdesc_t *d, const char *addressOf)
{
    char meaning[96];
    printf("%s: CFI_cdesc_t of rank %d, %zu bytes\n", name, d->rank,
           sizeof(CFI_cdesc_t) + d->rank * sizeof(CFI_dim_t));
    printf("%-6s%-50sbase_addr\n", "+0", addressOf);
    sprintf(meaning, "elem_len: %zu", d->elem_len);
    showField(d, offsetof(CFI_cdesc_t, elem_len), sizeof d->elem_len, meaning);
    sprintf(meaning, "version: %d", d->version);
    showField(d, offsetof(CFI_cdesc_t, version), sizeof d->version, meaning);
    sprintf(meaning, "rank: %d", d->rank);
    showField(d, offsetof(CFI_cdesc_t, rank), sizeof d->rank, meaning);
    sprintf(meaning, "attribute: %d, CFI_attribute_other", d->attribute);
    showField(d, offsetof(CFI_cdesc_t, attribute), sizeof d->attribute, meaning);
    sprintf(meaning, "type: 0x%04x, %s", (unsigned)d->type,
            d->type == CFI_type_char ? "CFI_type_char" : "CFI_type_struct");
    showField(d, offsetof(CFI_cdesc_t, type), sizeof d->type, meaning);
    for (int r = 0; r < d->rank; ++r) {
        const size_t dim = offsetof(CFI_cdesc_t, dim) + r * sizeof(CFI_dim_t);
        sprintf(meaning, "dim[%d].lower_bound: %td", r, d->dim[r].lower_bound);
        showField(d, dim + offsetof(CFI_dim_t, lower_bound), sizeof(CFI_index_t), meaning);
        sprintf(meaning, "dim[%d].extent: %td", r, d->dim[r].extent);
        showField(d, dim + offsetof(CFI_dim_t, extent), sizeof(CFI_index_t), meaning);
        sprintf(meaning, "dim[%d].sm: %td, bytes from one element to the next", r, d->dim[r].sm);
        showField(d, dim + offsetof(CFI_dim_t, sm), sizeof(CFI_index_t), meaning);
    }
    printf("\n");
}

int main(void)
{
    /* Test 1's texts, as Korvik holds them: 20 characters each, no terminator needed. */
    char textA[20], textB[20];
    memcpy(textA, "Woo HaHaHaHa        ", 20);
    memcpy(textB, "aaaa                ", 20);
    int32_t lengthA = 20, lengthB = 20;
    CFI_CDESC_T(0) descriptorA, descriptorB;
    CFI_establish((CFI_cdesc_t *)&descriptorA, textA, CFI_attribute_other, CFI_type_char, sizeof textA, 0, NULL);
    CFI_establish((CFI_cdesc_t *)&descriptorB, textB, CFI_attribute_other, CFI_type_char, sizeof textB, 0, NULL);
    showDescriptor("textA's descriptor", (CFI_cdesc_t *)&descriptorA, "<address of textA>");
    chara((CFI_cdesc_t *)&descriptorA, &lengthA, (CFI_cdesc_t *)&descriptorB, &lengthB);
    printf("after chara: textB = \"%.20s\", lengthA = %d\n\n", textB, (int)lengthA);

    /* Three Variants holding 64-bit reals, and three empty ones. */
    VARIANT x[3] = {{VT_R8, {0}, {.r8 = 1.5}}, {VT_R8, {0}, {.r8 = 2.5}}, {VT_R8, {0}, {.r8 = 3.5}}};
    VARIANT y[3] = {{VT_EMPTY, {0}, {0}}};
    int16_t count = 3;
    const CFI_index_t extent[1] = {3};
    CFI_CDESC_T(1) descriptorX, descriptorY;
    CFI_establish((CFI_cdesc_t *)&descriptorX, x, CFI_attribute_other, CFI_type_struct, sizeof(VARIANT), 1, extent);
    CFI_establish((CFI_cdesc_t *)&descriptorY, y, CFI_attribute_other, CFI_type_struct, sizeof(VARIANT), 1, extent);
    showDescriptor("x's descriptor", (CFI_cdesc_t *)&descriptorX, "<address of x[0]>");
    xArray(&count, (CFI_cdesc_t *)&descriptorX, (CFI_cdesc_t *)&descriptorY);
    printf("after xArray: y[0] = %g, y[1] = %g, y[2] = %g, each tagged %d (VT_R8)\n", y[0].value.r8, y[1].value.r8,
           y[2].value.r8, y[0].kind);
    return 0;
}
