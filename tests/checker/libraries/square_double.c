/* square returns a 64-bit real, where Korvik reads a 32-bit one. */
#include <stdint.h>

__attribute__((visibility("default"))) double square(float *x)
{
    return (double)*x * *x;
}
