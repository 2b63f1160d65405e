// The registered OpenGL drivers, their lines in the dialog, and the switch
// between a driver's enabled and disabled registration.
#pragma once

#include "drivers/driver_registrations.h"
#include "platform/windows_headers.h"

extern DriverTableData DriverTable;

// Reads the registrations into DriverTable; called once before any window exists.
void EnumerateDrivers();

// The same, for a reader that must change nothing: a missing key is not created.
void EnumerateDriversReadOnly();

// The list line whose registrations are in the registry: the one
// FillDriverList selected, then each line whose switch was written.
extern int DriverLineInEffect;

// One list line per table row, in row order, and the line in effect selected.
void FillDriverList(HWND driverList);

// Reads the registrations again and shows them in place of the list's lines,
// the line in effect selected as at start.
void RefillDriverList(HWND driverList);

// Rewrites the registration for the line the user picked. Unless it was
// written, the line in effect stays the one before.
SwitchOutcome SwitchDriver(int row);
