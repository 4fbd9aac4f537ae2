// Morvane's square written in C++ without extern "C": exported under a decorated name.
#include <cstdint>

__attribute__((visibility("default"))) int32_t square(double *n, double *x, double *y)
{
    (void)n;
    *y = *x * *x;
    return 0;
}
