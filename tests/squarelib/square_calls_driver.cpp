// square_calls_driver.cpp: calls Morvane's `square` COUNT times in the current directory, for
// square_system_calls_test.sh to count the system calls they make. The calls lie between two
// look-ups of the names "square.calls.begin" and "square.calls.end", which mark them in a trace
// of the system calls.
// Usage: morvane_square_calls_driver COUNT
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "opened_library.h"
#include "routine_abi.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s COUNT\n", argv[0]);
        return 2;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    OpenedLibrary morvane(MORVANE_LIBRARY);
    auto *square = morvane.function<int32_t ROUTINE_CALL(double *, double *, double *)>("square");
    if (!square) {
        std::fprintf(stderr, "%s\n", morvane.failure().c_str());
        return 1;
    }

    double n = 1, x = 3, y = 0;
    access("square.calls.begin", F_OK);
    for (long call = 0; call < count; ++call)
        square(&n, &x, &y);
    access("square.calls.end", F_OK);
    return y == 9.0 ? 0 : 1;
}
