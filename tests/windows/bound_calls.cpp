// One call through each routine of a program's binding, compiled for Windows and never run:
// the routine types with their calling convention (stdcall on 32-bit Windows) and the
// binding's call through the bound address. One contract per compile, chosen by its macro,
// since Ostrum's square and Morvane's square are two routines of one name.
#include <cstdint>

#if defined(BOUND_OSTRUM)
#include "ostrum_binding.h"

float callEachOstrumRoutine(char* text, int32_t* length, int16_t* count, VARIANT* values, SAFEARRAY** array, float* x)
{
    Ostrum::chara(text, length, text, length);
    Ostrum::xArray(count, values, values);
    Ostrum::transnumber(count, count);
    Ostrum::yArray(count, array);
    Ostrum::zArray(values);
    return Ostrum::square(x);
}
#elif defined(BOUND_MORVANE)
#include "morvane_binding.h"

int32_t callSquare(double* n, double* x, double* y)
{
    return Morvane::square(n, x, y);
}
#elif defined(BOUND_PETTRIX)
#include "pettrix_binding.h"

void callSumdll(int16_t* a, int16_t* b, int16_t* c)
{
    Pettrix::sumdll(a, b, c);
}
#else
#error "name the contract: BOUND_OSTRUM, BOUND_MORVANE or BOUND_PETTRIX"
#endif
