// Korvik's binding of the routines of Ostrum (ostrum.h): each routine is bound by its exported
// name in the library "Ostrum" at its first call.
#pragma once

#include "ostrum.h"
#include "routine_binding.h"

namespace Ostrum {
inline Routine<decltype(::chara)> chara{"Ostrum", "chara"};
inline Routine<decltype(::xArray)> xArray{"Ostrum", "xArray"};
inline Routine<decltype(::square)> square{"Ostrum", "square"};
inline Routine<decltype(::transnumber)> transnumber{"Ostrum", "transnumber"};
inline Routine<decltype(::yArray)> yArray{"Ostrum", "yArray"};
inline Routine<decltype(::zArray)> zArray{"Ostrum", "zArray"};
} // namespace Ostrum
