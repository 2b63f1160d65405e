#include "report/advice.h"

#include <cstring>

#include "report/acceleration.h"

namespace {

bool SameIgnoringCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
        if (x == '\0')
            return true;
    }
}

bool IsDisabled(const char* valueName)
{
    return valueName != nullptr && valueName[0] == '~';
}

const char* RowText(const LineList& list, int row)
{
    return row < list.count && list.lines[row] != nullptr ? list.lines[row] : "";
}

// Collects names, skipping empty ones and those it has.
struct NameSet {
    const char** names;
    int capacity;
    int count;

    void Add(const char* name)
    {
        if (name == nullptr || name[0] == '\0' || count >= capacity)
            return;
        for (int i = 0; i < count; ++i) {
            if (SameIgnoringCase(names[i], name))
                return;
        }
        names[count++] = name;
    }
};

const DllPresence* FindPresence(const ReportData& report, const char* name)
{
    for (int i = 0; i < report.dllPresenceCount; ++i) {
        if (SameIgnoringCase(report.dllPresence[i].name, name))
            return &report.dllPresence[i];
    }
    return nullptr;
}

void AddLine(TextBuffer& lines, int& count, const char* a, const char* b = nullptr, const char* c = nullptr)
{
    lines.Append(a);
    lines.Append(b);
    lines.Append(c);
    lines.AppendChar('\0');
    ++count;
}

// The advice for the system's software renderer, which draws when no vendor
// driver takes the display.
void AdviseOnSoftwareFallback(const ReportData& report, TextBuffer& lines, int& count)
{
    // The rows are values of one key, whose names differ.
    const int rows = report.driverValueNames.count;
    for (int row = 1; row < rows; ++row) {
        const char* name = RowText(report.driverValueNames, row);
        if (IsDisabled(name))
            AddLine(lines, count, "the driver ", name + 1,
                    " is disabled: pick its line in the list to enable it, then start the program again");
    }
    if (rows <= 1 && report.subkeyDriverCount <= 0 && report.displayAdapterCount <= 0)
        AddLine(lines, count,
                "no OpenGL driver from a display adapter's maker is registered: install the adapter's own driver");

    const char* names[kMaxEnabledDlls];
    const int nameCount = EnabledDllNames(report, names, kMaxEnabledDlls);
    for (int i = 0; i < nameCount; ++i) {
        const DllPresence* presence = FindPresence(report, names[i]);
        if (presence == nullptr || presence->loaded)
            continue;
        AddLine(lines, count, names[i],
                presence->found ? " is registered and present, but Windows did not load it for this display"
                                : " is registered but not found",
                ": reinstall the display driver");
    }
}

}  // namespace

int EnabledDllNames(const ReportData& report, const char** names, int capacity)
{
    NameSet set = {names, capacity, 0};
    for (int row = 1; row < report.driverValueNames.count; ++row) {
        if (!IsDisabled(RowText(report.driverValueNames, row)))
            set.Add(RowText(report.driverDllNames, row));
    }
    for (int i = 0; i < report.subkeyDriverCount; ++i)
        set.Add(report.subkeyDrivers[i].dll);
    const bool wow = report.system != nullptr && report.system->is64BitWindows;
    for (int i = 0; i < report.displayAdapterCount; ++i) {
        const DisplayAdapter& adapter = report.displayAdapters[i];
        set.Add(wow && adapter.wowName != nullptr && adapter.wowName[0] != '\0' ? adapter.wowName
                                                                                : adapter.name);
    }
    return set.count;
}

int BuildAdvice(const ReportData& report, TextBuffer& lines)
{
    const AccelerationVerdict verdict =
        JudgeAcceleration(report.formatDescribed, report.formatFlags, report.renderer);
    int count = 0;
    if (std::strcmp(verdict.level, "full") == 0)
        return count;
    if (report.remoteSession)
        AddLine(lines, count,
                "this is a Remote Desktop session, where Windows often draws OpenGL in software: "
                "run glinspect at the computer itself to see its own driver");
    if (std::strcmp(verdict.level, "none") != 0)
        return count;
    if (!verdict.namesRenderer) {
        AdviseOnSoftwareFallback(report, lines, count);
    } else if (report.system != nullptr && report.system->wineVersion != nullptr) {
        AddLine(lines, count, "under Wine, OpenGL is the host's: install or enable the host's GPU driver to leave ",
                report.renderer);
    } else {
        AddLine(lines, count, report.renderer,
                " is a software renderer installed as the OpenGL driver: install the display adapter's own driver");
    }
    return count;
}
