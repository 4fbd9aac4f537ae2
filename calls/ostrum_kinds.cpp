// Ostrum's descriptions agree with ostrum.h, or the build stops here.
#include "declared_kinds.h"
#include "ostrum.h"

static_assert(kindsAsDeclared<decltype(::chara)>(ostrumCalls.call("chara")));
static_assert(kindsAsDeclared<decltype(::xArray)>(ostrumCalls.call("xArray")));
static_assert(kindsAsDeclared<decltype(::square)>(ostrumCalls.call("square")));
static_assert(kindsAsDeclared<decltype(::transnumber)>(ostrumCalls.call("transnumber")));
static_assert(kindsAsDeclared<decltype(::yArray)>(ostrumCalls.call("yArray")));
static_assert(kindsAsDeclared<decltype(::zArray)>(ostrumCalls.call("zArray")));
