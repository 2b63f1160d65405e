#include "app/report_collect.h"

#include <cstdlib>

#include "drivers/driver_table.h"
#include "drivers/registry_driver_store.h"
#include "platform/wgl_binding.h"
#include "view/gl_view.h"
#include "view/multisample_probe.h"

static const char* GlString(GLenum name)
{
    return reinterpret_cast<const char*>(wgl.getString(name));
}

static LineList AsLineList(char** lines, int count)
{
    LineList list = {lines, count};
    return list;
}

CollectedReport::~CollectedReport()
{
    FreeLines(glLines_);
    FreeLines(wglLines_);
    FreeLines(driverLines_);
    std::free(summary_);
}

void CollectedReport::FreeLines(OwnedLines& owned)
{
    for (int i = 0; i < owned.count; ++i)
        std::free(owned.lines[i]);
    std::free(owned.lines);
    owned.lines = nullptr;
    owned.count = 0;
}

bool CollectedReport::ReadList(HWND list, OwnedLines& owned)
{
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count <= 0)
        return true;
    owned.lines = static_cast<char**>(std::calloc(static_cast<size_t>(count), sizeof(char*)));
    if (owned.lines == nullptr)
        return false;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        char* line = static_cast<char*>(std::malloc(static_cast<size_t>(length < 0 ? 0 : length) + 1));
        if (line == nullptr)
            return false;
        line[0] = '\0';
        if (length > 0)
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
        owned.lines[owned.count++] = line;
    }
    return true;
}

bool CollectedReport::Collect(const ReportControls& controls)
{
    const int summaryLength = GetWindowTextLengthA(controls.infoText);
    summary_ = static_cast<char*>(std::malloc(static_cast<size_t>(summaryLength) + 1));
    if (summary_ == nullptr)
        return false;
    summary_[0] = '\0';
    GetWindowTextA(controls.infoText, summary_, summaryLength + 1);

    if (!ReadList(controls.glExtensionList, glLines_) ||
        !ReadList(controls.wglExtensionList, wglLines_) ||
        !ReadList(controls.driverList, driverLines_))
        return false;

    BoundedText(driverKey_, sizeof driverKey_).Append("HKEY_LOCAL_MACHINE\\").Append(CurrentDriverKey());
    for (int row = 0; row < DriverTable.driverCount && row < kDriverRows; ++row) {
        valueNames_[row] = DriverTable.entries[row].valueName;
        dllNames_[row] = DriverTable.entries[row].dllName;
    }

    data_.summary = summary_;
    data_.vendor = GlString(GL_VENDOR);
    data_.renderer = GlString(GL_RENDERER);
    data_.version = GlString(GL_VERSION);
    data_.pixelFormat = glView.pixelFormat;
    // The probe's format is the view's only when the probe found one.
    data_.samples = multisampleSamples > 0 && glView.pixelFormat == multisampleFormat
                        ? multisampleSamples
                        : 0;
    data_.glExtensions = AsLineList(glLines_.lines, glLines_.count);
    data_.wglExtensions = AsLineList(wglLines_.lines, wglLines_.count);
    data_.driverKey = driverKey_;
    data_.driverLines = AsLineList(driverLines_.lines, driverLines_.count);
    const int rows = DriverTable.driverCount < kDriverRows ? DriverTable.driverCount : kDriverRows;
    data_.driverValueNames = LineList{valueNames_, rows};
    data_.driverDllNames = LineList{dllNames_, rows};
    data_.selectedDriver = static_cast<int>(SendMessageA(controls.driverList, LB_GETCURSEL, 0, 0));
    return true;
}
