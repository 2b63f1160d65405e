#include "drivers/driver_registrations.h"

#include <cstring>

#include "document/text_buffer.h"

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
    std::memcpy(table.entries[0].valueName, kSoftwareValueName, sizeof kSoftwareValueName);
    std::memcpy(table.entries[0].dllName, kSoftwareDllName, sizeof kSoftwareDllName);
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

// One row's step of a switch: the name it writes and the name it deletes,
// what each held before, and how far the step got. The small members come
// first, where the code reaches them with short offsets.
struct RowSwitch {
    const char* newName;
    const char* oldName;
    const char* dllName;
    ValueLookup newBefore;
    ValueLookup oldBefore;
    bool written;
    bool deleted;
    char disabledName[kDriverFieldCapacity + 1];
    char newData[kDriverFieldCapacity];
    char oldData[kDriverFieldCapacity];
};

// The steps of the switch under way, off the stack: 12 KB there would put
// every local of the switch at a long offset, some 150 bytes of code more.
// The dialog switches from its one thread, one pick at a time.
static RowSwitch switchSteps[kDriverRows];

// Names one row's enabled form (the stored name with one leading "~"
// dropped) and its disabled form ("~" + the enabled form), and reads what
// both hold now. The two forms always differ, so the delete never hits the
// value just written. A disabled name too long to be read back is not
// written at all: the registration would vanish from every later run's
// table. False when the row cannot be switched or put back.
static bool PrepareRow(const DriverEntry& entry, DriverStore& store, bool enable, RowSwitch& step)
{
    const char* enabledName = entry.valueName[0] == '~' ? entry.valueName + 1 : entry.valueName;
    // Always room: a name is shorter than its field, one byte shorter than this.
    step.disabledName[0] = '~';
    std::strcpy(step.disabledName + 1, enabledName);
    if (!enable && std::strlen(step.disabledName) >= kDriverReadCapacity)
        return false;
    step.newName = enable ? enabledName : step.disabledName;
    step.oldName = enable ? step.disabledName : enabledName;
    step.dllName = entry.dllName;
    step.written = false;
    step.deleted = false;
    step.newBefore = store.ReadString(step.newName, step.newData, kDriverReadCapacity);
    step.oldBefore = store.ReadString(step.oldName, step.oldData, kDriverReadCapacity);
    // What the registration holds now, which a driver update may have
    // changed since the table was read; the table's name only when neither
    // form is there any more.
    if (step.oldBefore == ValueLookup::kFound)
        step.dllName = step.oldData;
    else if (step.newBefore == ValueLookup::kFound)
        step.dllName = step.newData;
    return step.newBefore != ValueLookup::kUnreadable && step.oldBefore != ValueLookup::kUnreadable;
}

static bool ApplyRow(DriverStore& store, RowSwitch& step)
{
    step.written = store.WriteString(step.newName, step.dllName);
    step.deleted = step.written && store.DeleteValue(step.oldName);
    return step.deleted;
}

// Puts back what the row's step changed: the deleted name first, then the
// written name to its old data, or away when the step created it.
static bool UndoRow(DriverStore& store, const RowSwitch& step)
{
    if (step.deleted && step.oldBefore == ValueLookup::kFound &&
        !store.WriteString(step.oldName, step.oldData))
        return false;
    if (!step.written)
        return true;
    if (step.newBefore == ValueLookup::kFound)
        return store.WriteString(step.newName, step.newData);
    return store.DeleteValue(step.newName);
}

SwitchOutcome SwitchDriverRegistration(const DriverTableData& table, DriverStore& store, int row)
{
    const int count = table.driverCount < kDriverRows ? table.driverCount : kDriverRows;
    if (row < 0 || row >= count || count <= 1)
        return SwitchOutcome::kWritten;
    const bool enable = row != 0;
    const int first = enable ? row : 1;
    const int last = enable ? row : count - 1;
    if (!store.Open())
        return SwitchOutcome::kRefused;
    RowSwitch* const steps = switchSteps;
    SwitchOutcome outcome = SwitchOutcome::kWritten;
    for (int r = first; r <= last && outcome == SwitchOutcome::kWritten; ++r) {
        if (!PrepareRow(table.entries[r], store, enable, steps[r]))
            outcome = SwitchOutcome::kRefused;
    }
    int failed = 0;
    for (int r = first; r <= last && outcome == SwitchOutcome::kWritten && failed == 0; ++r) {
        if (!ApplyRow(store, steps[r]))
            failed = r;
    }
    if (failed != 0) {
        // Every row is put back as far as it can be, whatever became of the
        // one after it.
        bool undone = true;
        for (int r = failed; r >= first; --r)
            undone = UndoRow(store, steps[r]) && undone;
        outcome = undone ? SwitchOutcome::kRefused : SwitchOutcome::kUndoFailed;
    }
    store.Close();
    return outcome;
}
