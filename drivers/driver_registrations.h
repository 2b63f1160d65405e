// The driver table and the rules for its lines, its initial selection and
// the rewrite of a driver's registration, over any DriverStore.
#pragma once

#include <cstddef>

#include "drivers/driver_store.h"

constexpr int kDriverFieldCapacity = 1024;
constexpr int kDriverRows = 4;
// What one read may fill of a field: its last byte always stays NUL.
constexpr unsigned kDriverReadCapacity = kDriverFieldCapacity - 1;
constexpr std::size_t kDriverLineCapacity = 4096;

struct DriverEntry {
    char dllName[kDriverFieldCapacity];
    char valueName[kDriverFieldCapacity];
};

// Row 0 is the platform's software renderer; rows 1 to 3 hold registrations.
struct DriverTableData {
    DriverEntry entries[kDriverRows];
    int driverCount;
};

// The platform id GetVersionExA reports for the NT family.
constexpr unsigned long kPlatformWin32Nt = 2;

// The key under HKEY_LOCAL_MACHINE that holds the registrations.
const char* DriverKeyForPlatform(unsigned long platformId);

// Clears table, builds row 0 and reads the store's first registrations into
// rows 1 to 3, in store order. The first read that fails ends the reading;
// values beyond the third are not read.
void ReadDriverTable(DriverTableData& table, DriverStore& store);

// Writes "valueName: dllName" into line, cut to capacity - 1 characters and
// always terminated. Returns the length written.
std::size_t BuildDriverLine(const DriverEntry& entry, char* line, std::size_t capacity);

// The line in effect: 0 with no registration or when row 1 is disabled, else 1.
int InitialDriverSelection(const DriverTableData& table);

// Rewrites the registrations for the picked line. Line 0 disables every
// registered row; line k enables row k alone. Each row's new form is written
// first, and its other form is deleted by name only after that write
// succeeded. Out-of-range lines, a table without registrations or a store
// that cannot be opened change nothing.
// Returns whether the switch was written: false when the store could not be
// opened, a write or delete failed, or a row could not be disabled; true when
// every step succeeded or the line asks for no write at all (out of range, no
// registrations).
bool SwitchDriverRegistration(const DriverTableData& table, DriverStore& store, int row);
