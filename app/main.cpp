#include "app/main_dialog.h"
#include "app/resources/resource_ids.h"
#include "drivers/driver_table.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    EnumerateDrivers();
    appInstance = instance;
    dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr, MainDialogProc, 0);
    return 0;
}
