// Tolvan's binding of Pettrix's routine (pettrix.h): `sumdll` is bound by its exported name in
// the library "Pettrix.dll" at the first click.
#pragma once

#include "pettrix.h"
#include "routine_binding.h"

namespace Pettrix {
inline Routine<decltype(::sumdll)> sumdll{"Pettrix.dll", "sumdll"};
} // namespace Pettrix
