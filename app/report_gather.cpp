#include "app/report_gather.h"

#include <cstdlib>
#include <cstring>

#include "drivers/driver_facts.h"
#include "drivers/driver_table.h"
#include "drivers/registry_driver_store.h"
#include "platform/fetch_function.h"
#include "platform/gl_strings.h"
#include "platform/system_facts.h"
#include "view/context_facts.h"
#include "view/gl_view.h"
#include "view/multisample_probe.h"
#include "view/render_check.h"

namespace {

unsigned long TextBytes(const char* text)
{
    return text != nullptr ? static_cast<unsigned long>(std::strlen(text)) : 0;
}

LineList AsLineList(const FactArray<const char*>& lines)
{
    return LineList{lines.Items(), lines.Count()};
}

// SendMessageW, fetched at run time: Windows 95 has only a stub, and no
// list there keeps UTF-16 text.
typedef LRESULT(WINAPI* SendMessageWFunction)(HWND, UINT, WPARAM, LPARAM);

// A list line kept as UTF-16, in the system's code page.
const char* ReadWideListLine(SendMessageWFunction sendMessageW, HWND list, WPARAM index, FactPool& pool)
{
    const LRESULT length = sendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length <= 0)
        return pool.Copy("", 0);
    wchar_t* wide = static_cast<wchar_t*>(std::malloc((static_cast<std::size_t>(length) + 1) * sizeof(wchar_t)));
    if (wide == nullptr) {
        pool.MarkFailed();
        return nullptr;
    }
    LRESULT units = sendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide));
    const int wideUnits = static_cast<int>(units < 0 ? 0 : units > length ? length : units);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, wideUnits, nullptr, 0, nullptr, nullptr);
    char* line = pool.Allocate(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    if (line != nullptr && bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, wide, wideUnits, line, bytes, nullptr, nullptr);
    std::free(wide);
    return line;
}

const char* ReadAnsiListLine(HWND list, WPARAM index, FactPool& pool)
{
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    char* line = pool.Allocate(static_cast<std::size_t>(length < 0 ? 0 : length));
    if (line != nullptr && length > 0)
        SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line));
    return line;
}

// Every line of list, copied into pool. NOTE: a list of Common Controls 6,
// which the dialog's manifest brings, keeps its lines as UTF-16; asked with
// the 8-bit LB_GETTEXT, Wine 8 converts a line through a fixed stack buffer
// of 512 characters and overruns it on a longer one. Such a list is asked in
// UTF-16.
bool ReadList(HWND list, FactArray<const char*>& lines, FactPool& pool)
{
    const SendMessageWFunction sendMessageW =
        IsWindowUnicode(list) ? FetchFunction<SendMessageWFunction>(GetModuleHandleA("user32.dll"), "SendMessageW")
                              : nullptr;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const WPARAM index = static_cast<WPARAM>(i);
        const char* line = sendMessageW != nullptr ? ReadWideListLine(sendMessageW, list, index, pool)
                                                   : ReadAnsiListLine(list, index, pool);
        if (line == nullptr || !lines.Add(line))
            return false;
    }
    return true;
}

}  // namespace

bool GatheredReport::ReadControls(const ReportControls& controls)
{
    ReportData& data = records_.data;
    const int summaryLength = GetWindowTextLengthA(controls.infoText);
    char* summary = pool_.Allocate(static_cast<std::size_t>(summaryLength > 0 ? summaryLength : 0));
    if (summary == nullptr)
        return false;
    if (summaryLength > 0)
        GetWindowTextA(controls.infoText, summary, summaryLength + 1);
    data.summary = summary;

    if (!ReadList(controls.glExtensionList, glLines_, pool_) ||
        !ReadList(controls.wglExtensionList, wglLines_, pool_) ||
        !ReadList(controls.driverList, driverLines_, pool_))
        return false;
    data.glExtensions = AsLineList(glLines_);
    data.wglExtensions = AsLineList(wglLines_);
    data.driverLines = AsLineList(driverLines_);
    data.selectedDriver = static_cast<int>(SendMessageA(controls.driverList, LB_GETCURSEL, 0, 0));
    return true;
}

void GatheredReport::ReadContext(PixelFormatReader readPixelFormats, EntryPointChecker checkEntryPoints)
{
    ReportData& data = records_.data;
    data.vendor = GlString(GL_VENDOR);
    data.renderer = GlString(GL_RENDERER);
    data.version = GlString(GL_VERSION);
    data.pixelFormat = glView.pixelFormat;
    // The probe's format is the view's only when the probe found one.
    data.samples = multisampleSamples > 0 && glView.pixelFormat == multisampleFormat ? multisampleSamples : 0;
    data.formatDescribed = DescribeFormatFlags(glView.deviceContext, glView.pixelFormat, &data.formatFlags);
    data.shadingLanguage = pool_.Copy(QueryShadingLanguage());
    data.glExtensionBytes = TextBytes(GlString(GL_EXTENSIONS));
    data.wglExtensionBytes = TextBytes(QueryWglExtensions());
    data.limits = records_.limits;
    data.limitCount = ReadContextLimits(records_.limits);
    EntryPointGathering gathering = {false, &data, &pool_, &records_.entryPoints};
    if (checkEntryPoints != nullptr) {
        checkEntryPoints(&gathering);
        data.entryPoints = &records_.entryPoints;
        gathering.core = true;
    }
    data.coreProfile = ProbeContextProfiles(glView.deviceContext, glView.renderContext, pool_, records_.esProfile,
                                            checkEntryPoints, &gathering);
    data.esProfile = &records_.esProfile;
    data.videoMemory = ReadVideoMemory(records_.videoMemory) ? &records_.videoMemory : nullptr;
    if (readPixelFormats != nullptr) {
        records_.pixelFormatsFailed = !readPixelFormats(glView.deviceContext, pixelFormats_);
        data.pixelFormats = pixelFormats_.Items();
        data.pixelFormatCount = pixelFormats_.Count();
        data.pixelFormatsAsked = true;
    }
}

// The driver table's rows, the registrations of the other shapes, and the
// driver DLLs loaded in the process: the names the report knows first, then
// whatever else is loaded.
void GatheredReport::ReadDrivers()
{
    ReportData& data = records_.data;
    BoundedText(records_.driverKey, sizeof records_.driverKey).Append("HKEY_LOCAL_MACHINE\\").Append(CurrentDriverKey());
    data.driverKey = records_.driverKey;
    const int rows = DriverTable.driverCount < kDriverRows ? DriverTable.driverCount : kDriverRows;
    for (int row = 0; row < rows; ++row) {
        records_.valueNames[row] = DriverTable.entries[row].valueName;
        records_.dllNames[row] = DriverTable.entries[row].dllName;
    }
    data.driverValueNames = LineList{records_.valueNames, rows};
    data.driverDllNames = LineList{records_.dllNames, rows};

    ReadSubkeyDrivers(HKEY_LOCAL_MACHINE, CurrentDriverKey(), pool_, subkeyDrivers_);
    ReadDisplayAdapters(HKEY_LOCAL_MACHINE, kDisplayClassKey, pool_, displayAdapters_);
    data.subkeyDrivers = subkeyDrivers_.Items();
    data.subkeyDriverCount = subkeyDrivers_.Count();
    data.displayAdapters = displayAdapters_.Items();
    data.displayAdapterCount = displayAdapters_.Count();

    DriverDllScan scan(pool_, driverDlls_);
    for (int row = 1; row < rows; ++row)
        scan.CheckName(records_.dllNames[row], kDriverSourceRegistered);
    for (int i = 0; i < subkeyDrivers_.Count(); ++i)
        scan.CheckName(subkeyDrivers_[i].dll, kDriverSourceRegistered);
    for (int i = 0; i < displayAdapters_.Count(); ++i) {
        scan.CheckName(displayAdapters_[i].name, kDriverSourceDisplayAdapter);
        scan.CheckName(displayAdapters_[i].wowName, kDriverSourceDisplayAdapter);
    }
    scan.CheckLoadedModules();
    if (!scan.Ok())
        pool_.MarkFailed();
    data.driverDlls = driverDlls_.Items();
    data.driverDllCount = driverDlls_.Count();
}

// Where the report is made, and whether each DLL of an enabled registration
// is there and loaded; needs the registrations read.
void GatheredReport::ReadSystem()
{
    ReportData& data = records_.data;
    ReadSystemFacts(records_.system, pool_);
    data.system = &records_.system;
    data.remoteSession = IsRemoteSession();
    data.display = ReadDisplayFacts(records_.display, pool_) ? &records_.display : nullptr;

    const char* names[kMaxEnabledDlls];
    const int count = EnabledDllNames(data, names, kMaxEnabledDlls);
    for (int i = 0; i < count; ++i)
        dllPresence_.Add(CheckDllPresence(names[i]));
    data.dllPresence = dllPresence_.Items();
    data.dllPresenceCount = dllPresence_.Count();
}

bool GatheredReport::Ok() const
{
    return pool_.Ok() && glLines_.Ok() && wglLines_.Ok() && driverLines_.Ok() && driverDlls_.Ok() &&
           subkeyDrivers_.Ok() && displayAdapters_.Ok() && dllPresence_.Ok() && !records_.pixelFormatsFailed;
}

bool GatheredReport::Gather(const ReportControls& controls, PixelFormatReader readPixelFormats,
                            EntryPointChecker checkEntryPoints)
{
    ReportData& data = records_.data;
    if (!ReadControls(controls))
        return false;
    ReadContext(readPixelFormats, checkEntryPoints);
    CheckRender(controls.view, data.samples, records_.renderCheck, records_.drawRate);
    data.renderCheck = &records_.renderCheck;
    data.drawRate = &records_.drawRate;
    ReadDrivers();
    ReadSystem();
    return Ok() && ConcludeReport(data, conclusion_);
}
