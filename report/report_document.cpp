#include "report/report_document.h"

#include <cstring>

#include "report/acceleration.h"

namespace {

const char kLineEnd[] = "\r\n";

void AppendLine(TextBuffer& out, const char* prefix, const char* text)
{
    out.Append(prefix);
    out.Append(text);
    out.Append(kLineEnd);
}

// "Heading (N):" and then the lines, indented.
void AppendList(TextBuffer& out, const char* heading, const LineList& list)
{
    AppendHeading(out, heading, list.count);
    for (int i = 0; i < list.count; ++i)
        AppendLine(out, "  ", list.lines[i]);
}

// "Extension strings: GL B bytes, WGL B bytes", with a warning when the GL
// string does not fit the fixed buffers older programs copy it into.
void AppendExtensionBytes(TextBuffer& out, const ReportData& report)
{
    out.Append("Extension strings: GL ");
    out.AppendNumber(static_cast<long>(report.glExtensionBytes));
    out.Append(" bytes, WGL ");
    out.AppendNumber(static_cast<long>(report.wglExtensionBytes));
    out.Append(" bytes");
    static const long kOldBuffers[] = {8192, 4096};
    for (long buffer : kOldBuffers) {
        if (report.glExtensionBytes >= static_cast<unsigned long>(buffer)) {
            out.Append("; longer than the ");
            out.AppendNumber(buffer);
            out.Append("-byte buffers of some older programs");
            break;
        }
    }
    out.Append(kLineEnd);
}

void AppendDriverDlls(TextBuffer& out, const ReportData& report)
{
    if (report.driverDllCount <= 0)
        AppendLine(out, "Driver DLL: ", "none loaded (OpenGL32.dll renders itself)");
    for (int i = 0; i < report.driverDllCount; ++i) {
        const DriverDll& dll = report.driverDlls[i];
        out.Append("Driver DLL: ");
        out.Append(dll.path);
        out.Append(" (");
        out.Append(dll.version != nullptr ? dll.version : "unknown");
        out.Append(")");
        out.Append(kLineEnd);
    }
}

void AppendLimits(TextBuffer& out, const ReportData& report)
{
    AppendHeading(out, "Limits", report.limitCount);
    for (int i = 0; i < report.limitCount; ++i) {
        const LimitValue& limit = report.limits[i];
        out.Append("  ");
        out.Append(limit.name);
        for (int v = 0; v < limit.valueCount && v < kMaxLimitValues; ++v) {
            out.AppendChar(' ');
            out.AppendNumber(limit.values[v]);
        }
        out.Append(kLineEnd);
    }
}

void AppendRegistrations(TextBuffer& out, const ReportData& report)
{
    if (report.subkeyDriverCount > 0)
        AppendLine(out, "", "Registered as subkeys:");
    for (int i = 0; i < report.subkeyDriverCount; ++i) {
        out.Append("  ");
        out.Append(report.subkeyDrivers[i].name);
        AppendLine(out, ": ", report.subkeyDrivers[i].dll);
    }
    if (report.displayAdapterCount > 0)
        AppendLine(out, "", "Display adapters:");
    for (int i = 0; i < report.displayAdapterCount; ++i) {
        const DisplayAdapter& adapter = report.displayAdapters[i];
        out.Append("  ");
        out.Append(adapter.description);
        out.Append(": ");
        out.Append(adapter.name);
        if (adapter.wowName != nullptr) {
            out.Append(" (32-bit: ");
            out.Append(adapter.wowName);
            out.AppendChar(')');
        }
        out.Append(kLineEnd);
    }
}

}  // namespace

void AppendHeading(TextBuffer& out, const char* heading, long count)
{
    out.Append(heading);
    out.Append(" (");
    out.AppendNumber(count);
    out.Append("):");
    out.Append(kLineEnd);
}

void WriteReportText(const ReportData& report, TextBuffer& out)
{
    const char* line = report.summary != nullptr ? report.summary : "";
    for (const char* p = line;; ++p) {
        if (*p == '\n' || *p == '\0') {
            out.Append(line, static_cast<std::size_t>(p - line));
            out.Append(kLineEnd);
            if (*p == '\0')
                break;
            line = p + 1;
        }
    }

    out.Append("Pixel format: ");
    out.AppendNumber(report.pixelFormat);
    out.Append(", samples: ");
    if (report.samples > 0)
        out.AppendNumber(report.samples);
    else
        out.Append("none");
    out.Append(kLineEnd);

    out.Append("Acceleration: ");
    AppendAcceleration(out, JudgeAcceleration(report.formatDescribed, report.formatFlags, report.renderer),
                       report.renderer);
    out.Append(kLineEnd);
    AppendLine(out, "Shading language: ", report.shadingLanguage != nullptr ? report.shadingLanguage : "none");
    AppendLine(out, "Core profile: ", report.coreProfile != nullptr ? report.coreProfile : "none");
    AppendDriverDlls(out, report);
    AppendExtensionBytes(out, report);

    AppendList(out, "OpenGL extensions", report.glExtensions);
    AppendList(out, "WGL extensions", report.wglExtensions);
    AppendLimits(out, report);

    out.Append("OpenGL drivers (");
    out.Append(report.driverKey);
    out.Append("):");
    out.Append(kLineEnd);
    for (int i = 0; i < report.driverLines.count; ++i)
        AppendLine(out, i == report.selectedDriver ? "* " : "  ", report.driverLines.lines[i]);
    AppendRegistrations(out, report);
}
