/* Two routine libraries for the binding's test on Windows: Absent.dll, which is built into a
   folder of its own and so is not found, and NeedsAbsent.dll beside the test, which imports it.
   Built once with ABSENT_DLL defined (Absent.dll) and once without (NeedsAbsent.dll). */
#include "routine_abi.h"

#if defined(ABSENT_DLL)
ROUTINE_EXPORT int32_t ROUTINE_CALL absentRoutine(void)
{
    return 1;
}
#else
__declspec(dllimport) int32_t ROUTINE_CALL absentRoutine(void);

ROUTINE_EXPORT int32_t ROUTINE_CALL needsAbsent(void)
{
    return absentRoutine();
}
#endif
