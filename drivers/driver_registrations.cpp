#include "drivers/driver_registrations.h"

#include <cstring>

static const char kSoftwareValueName[] = "Software (MICROSOFT)";
static const char kSoftwareDllName[] = "OpenGL32.dll";
static const char kLineSeparator[] = ": ";

const char* DriverKeyForPlatform(unsigned long platformId)
{
    if (platformId == kPlatformWin32Nt)
        return "Software\\Microsoft\\Windows NT\\CurrentVersion\\OpenGLdrivers";
    return "Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers";
}

// Appends text at line + length, never past capacity - 1 characters, and
// keeps the line terminated. Returns the new length.
static std::size_t AppendBounded(char* line, std::size_t capacity, std::size_t length,
                                 const char* text)
{
    while (*text != '\0' && length + 1 < capacity)
        line[length++] = *text++;
    line[length] = '\0';
    return length;
}

void ReadDriverTable(DriverTableData& table, DriverStore& store)
{
    std::memset(&table, 0, sizeof table);
    AppendBounded(table.entries[0].valueName, kDriverFieldCapacity, 0, kSoftwareValueName);
    AppendBounded(table.entries[0].dllName, kDriverFieldCapacity, 0, kSoftwareDllName);
    table.driverCount = 1;
    if (!store.Open())
        return;
    for (int row = 1; row < kDriverRows; ++row) {
        DriverEntry& entry = table.entries[row];
        if (!store.ReadValue(static_cast<unsigned>(row - 1), entry.valueName, kDriverReadCapacity,
                             entry.dllName, kDriverReadCapacity)) {
            // A failed read may have left part of a name or data behind.
            std::memset(&entry, 0, sizeof entry);
            break;
        }
        ++table.driverCount;
    }
    store.Close();
}

std::size_t BuildDriverLine(const DriverEntry& entry, char* line, std::size_t capacity)
{
    if (capacity == 0)
        return 0;
    std::size_t length = AppendBounded(line, capacity, 0, entry.valueName);
    length = AppendBounded(line, capacity, length, kLineSeparator);
    return AppendBounded(line, capacity, length, entry.dllName);
}

int InitialDriverSelection(const DriverTableData& table)
{
    if (table.driverCount <= 1 || table.entries[1].valueName[0] == '~')
        return 0;
    return 1;
}

// Rewrites one row's registration in its enabled form (the stored name with
// one leading "~" dropped) or its disabled form ("~" + the enabled form).
// The two forms always differ, so the delete never hits the value just
// written. A disabled name too long to be read back is not written at all:
// the registration would vanish from every later run's table; the row then
// stays enabled, and that counts as a failure. Returns whether the row now
// has the form asked for.
static bool RewriteRegistration(const DriverEntry& entry, DriverStore& store, bool enable)
{
    const char* enabledName = entry.valueName[0] == '~' ? entry.valueName + 1 : entry.valueName;
    char disabledName[kDriverFieldCapacity + 1];
    disabledName[0] = '~';
    const std::size_t disabledLength =
        AppendBounded(disabledName, sizeof disabledName, 1, enabledName);
    const bool disabledFits = disabledLength < kDriverReadCapacity;
    if (!enable && !disabledFits)
        return false;
    const char* newName = enable ? enabledName : disabledName;
    const char* oldName = enable ? disabledName : enabledName;
    return store.WriteString(newName, entry.dllName) && store.DeleteValue(oldName);
}

bool SwitchDriverRegistration(const DriverTableData& table, DriverStore& store, int row)
{
    const int count = table.driverCount < kDriverRows ? table.driverCount : kDriverRows;
    if (row < 0 || row >= count || count <= 1)
        return true;
    if (!store.Open())
        return false;
    bool written = true;
    if (row == 0) {
        // Every row is tried, whatever became of the one before.
        for (int registered = 1; registered < count; ++registered)
            written = RewriteRegistration(table.entries[registered], store, false) && written;
    } else {
        written = RewriteRegistration(table.entries[row], store, true);
    }
    store.Close();
    return written;
}
