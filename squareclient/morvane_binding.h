// Vandrel's binding of Morvane's routine (morvane.h): `square` is bound by its exported name in
// the library "Morvane.dll" at the first click.
#pragma once

#include "morvane.h"
#include "routine_binding.h"

namespace Morvane {
inline Routine<decltype(::square)> square{"Morvane.dll", "square"};
} // namespace Morvane
