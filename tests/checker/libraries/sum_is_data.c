/* Exports data under the routine's name. */
#include <stdint.h>

__attribute__((visibility("default"))) int16_t sumdll[8] = {1, 2, 3};
