// library_start.cpp: Morvane's start-up on Windows. Apart from square.cpp, since the platform's
// headers declare their own VARIANT, SAFEARRAY and BSTR beside those of routine_abi.h.
#ifdef _WIN32
#include <windows.h>

// The library keeps nothing per thread, so it asks not to be told of threads that start and end.
BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(library);
    return TRUE;
}
#endif
