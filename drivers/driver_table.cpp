#include "drivers/driver_table.h"

DriverTableData DriverTable;

static void CopyField(char (&field)[kDriverFieldCapacity], const char* text)
{
    lstrcpynA(field, text, kDriverFieldCapacity);
}

void EnumerateDrivers()
{
    CopyField(DriverTable.entries[0].valueName, "Software (MICROSOFT)");
    CopyField(DriverTable.entries[0].dllName, "OpenGL32.dll");
    DriverTable.driverCount = 1;
}

void FillDriverList(HWND driverList)
{
    for (int row = 0; row < DriverTable.driverCount; ++row) {
        char line[4096];
        wsprintfA(line, "%s: %s", DriverTable.entries[row].valueName, DriverTable.entries[row].dllName);
        SendMessageA(driverList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    SendMessageA(driverList, LB_SETCURSEL, 0, 0);
}

void SwitchDriver(int)
{
}
