// The registered OpenGL drivers, their lines in the dialog, and the switch
// between a driver's enabled and disabled registration.
#pragma once

#include "platform/windows_headers.h"

constexpr int kDriverFieldCapacity = 1024;
constexpr int kDriverRows = 4;

struct DriverEntry {
    char dllName[kDriverFieldCapacity];
    char valueName[kDriverFieldCapacity];
};

// Row 0 is the platform's software renderer; rows 1 to 3 hold registrations.
struct DriverTableData {
    DriverEntry entries[kDriverRows];
    int driverCount;
};

extern DriverTableData DriverTable;

// Reads the registrations into DriverTable; called once before any window exists.
void EnumerateDrivers();

// One list line per table row, in row order, and the line in effect selected.
void FillDriverList(HWND driverList);

// Rewrites the registration for the line the user picked.
void SwitchDriver(int row);
