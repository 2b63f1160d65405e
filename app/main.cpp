#include "app/main_dialog.h"

#include <commctrl.h>
#include <cstdlib>

#include "app/resources/resource_ids.h"
#include "app/startup.h"
#include "drivers/driver_table.h"

// The entry point the linker is given: the program needs nothing of what
// WinMain would be handed but its instance.
extern "C" void WinMainCRTStartup()
{
    __set_app_type(kGuiApp);
    RunStaticConstructors();
    // NOTE: Windows XP loads the manifest's Common Controls 6, and with it the
    // controls' visual style, only for a program that imports COMCTL32.
    InitCommonControls();
    EnumerateDrivers();
    appInstance = GetModuleHandleA(nullptr);
    dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr, MainDialogProc, 0);
    std::exit(0);
}
