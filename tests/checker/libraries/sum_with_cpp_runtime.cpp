// A sound sumdll and a helper of the author's in C++, with the C++ runtime linked into the
// library (-static-libstdc++).
#include "pettrix.h"

#include <string>

extern "C" ROUTINE_EXPORT void helper(void)
{
}

extern "C" ROUTINE_EXPORT void ROUTINE_CALL sumdll(int16_t* a, int16_t* b, int16_t* c)
{
    const std::string sum = std::to_string(*a + *b);
    *c = static_cast<int16_t>(std::stoi(sum));
}
