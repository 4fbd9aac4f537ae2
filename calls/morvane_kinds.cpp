// Morvane's description agrees with morvane.h, or the build stops here.
#include "declared_kinds.h"
#include "morvane.h"

static_assert(kindsAsDeclared<decltype(::square)>(morvaneCalls.call("square")));
