#include "app/main_dialog.h"

#include <commctrl.h>
#include <cstdlib>

#include "app/resources/resource_ids.h"
#include "app/startup.h"
#include "drivers/driver_table.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // NOTE: Windows XP loads the manifest's Common Controls 6, and with it the
    // controls' visual style, only for a program that imports COMCTL32.
    InitCommonControls();
    EnumerateDrivers();
    appInstance = instance;
    dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr, MainDialogProc, 0);
    return 0;
}

// The entry point the linker is given.
extern "C" void WinMainCRTStartup()
{
    __set_app_type(kGuiApp);
    RunStaticConstructors();
    std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT));
}
