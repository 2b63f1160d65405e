#include "drivers/driver_registrations.h"

#include <cstring>

#include "report/text_buffer.h"

static const char kSoftwareValueName[] = "Software (MICROSOFT)";
static const char kSoftwareDllName[] = "OpenGL32.dll";
static const char kLineSeparator[] = ": ";

const char* DriverKeyForPlatform(unsigned long platformId)
{
    if (platformId == kPlatformWin32Nt)
        return "Software\\Microsoft\\Windows NT\\CurrentVersion\\OpenGLdrivers";
    return "Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers";
}

void ReadDriverTable(DriverTableData& table, DriverStore& store)
{
    std::memset(&table, 0, sizeof table);
    BoundedText(table.entries[0].valueName, kDriverFieldCapacity).Append(kSoftwareValueName);
    BoundedText(table.entries[0].dllName, kDriverFieldCapacity).Append(kSoftwareDllName);
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
    return BoundedText(line, capacity)
        .Append(entry.valueName)
        .Append(kLineSeparator)
        .Append(entry.dllName)
        .Length();
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
    const std::size_t disabledLength =
        BoundedText(disabledName, sizeof disabledName).Append("~").Append(enabledName).Length();
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
