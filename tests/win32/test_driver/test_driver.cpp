// A DLL for the loaded-driver scan: with GLINSPECT_DRIVER_ENTRY it exports the
// entry point that marks an installable client driver, else nothing of the kind.
#include <windows.h>

#ifdef GLINSPECT_DRIVER_ENTRY
extern "C" __declspec(dllexport) BOOL WINAPI DrvSetContext(HDC, HGLRC, void*)
{
    return FALSE;
}
#else
extern "C" __declspec(dllexport) int WINAPI NotADriver()
{
    return 0;
}
#endif
