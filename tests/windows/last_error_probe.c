/* A routine library for the binding's test on Windows: sets the system's last-error value. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "routine_abi.h"

ROUTINE_EXPORT void ROUTINE_CALL probeSetLastError(int32_t *value)
{
    SetLastError((DWORD)*value);
}
