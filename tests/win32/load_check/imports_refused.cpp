// A program the load check must refuse twice over: COMCTL32 imported by
// ordinal (comctl32_by_ordinal.def), and a DLL outside the set that Windows
// 95 OSR2, 98 and NT 4.0 share (SHELL32).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

int main()
{
    InitCommonControls();
    HINSTANCE started = ShellExecuteA(nullptr, "open", "readme.txt", nullptr, nullptr, SW_HIDE);
    return reinterpret_cast<INT_PTR>(started) > 32 ? 0 : 1;
}
