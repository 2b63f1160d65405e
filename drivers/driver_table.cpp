#include "drivers/driver_table.h"

#include "drivers/registry_driver_store.h"

DriverTableData DriverTable;
int DriverLineInEffect = 0;

void EnumerateDrivers()
{
    RegistryDriverStore store(HKEY_LOCAL_MACHINE, CurrentDriverKey());
    ReadDriverTable(DriverTable, store);
}

void EnumerateDriversReadOnly()
{
    RegistryDriverStore store(HKEY_LOCAL_MACHINE, CurrentDriverKey(), RegistryDriverStore::kReadOnly);
    ReadDriverTable(DriverTable, store);
}

void FillDriverList(HWND driverList)
{
    for (int row = 0; row < DriverTable.driverCount; ++row) {
        char line[kDriverLineCapacity];
        BuildDriverLine(DriverTable.entries[row], line, sizeof line);
        SendMessageA(driverList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    DriverLineInEffect = InitialDriverSelection(DriverTable);
    // Set by program: the list sends no LBN_SELCHANGE, so nothing is switched.
    SendMessageA(driverList, LB_SETCURSEL, static_cast<WPARAM>(DriverLineInEffect), 0);
}

void RefillDriverList(HWND driverList)
{
    EnumerateDrivers();
    SendMessageA(driverList, LB_RESETCONTENT, 0, 0);
    FillDriverList(driverList);
}

SwitchOutcome SwitchDriver(int row)
{
    RegistryDriverStore store(HKEY_LOCAL_MACHINE, CurrentDriverKey());
    const SwitchOutcome outcome = SwitchDriverRegistration(DriverTable, store, row);
    if (outcome == SwitchOutcome::kWritten)
        DriverLineInEffect = row;
    return outcome;
}
