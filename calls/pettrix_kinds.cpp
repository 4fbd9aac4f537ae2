// Pettrix's description agrees with pettrix.h, or the build stops here.
#include "declared_kinds.h"
#include "pettrix.h"

static_assert(kindsAsDeclared<decltype(::sumdll)>(pettrixCalls.call("sumdll")));
