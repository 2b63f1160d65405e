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

// What became of a switch.
enum class SwitchOutcome {
    // Every step was written, or the line asks for no write at all (out of
    // range, no registrations).
    kWritten,
    // Nothing was changed: the store could not be opened, a row's previous
    // form could not be read or its disabled name would not fit, or a write
    // or delete failed and every step before it was undone.
    kRefused,
    // A write failed and so did part of the undo: the store holds some rows
    // in their new form. Only the store read again tells which.
    kUndoFailed,
};

// Rewrites the registrations for the picked line, all or nothing. Line 0
// disables every registered row; line k enables row k alone. What each row's
// two names hold is read first; then each row's new form is written, and its
// other form is deleted by name only after that write succeeded. When a step
// fails, the steps already taken are undone, last first: a deleted name is
// written back before a name the switch created is deleted again, so an undo
// that fails part way never loses a registration.
SwitchOutcome SwitchDriverRegistration(const DriverTableData& table, DriverStore& store, int row);
