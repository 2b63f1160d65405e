#include "document/report_document.h"

#include <cstring>

#include "document/acceleration.h"
#include "document/windows_name.h"

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

// " (driver VERSION of DATE)", with whichever of the two the adapter has.
void AppendDriverVersionAndDate(TextBuffer& out, const DisplayAdapter& adapter)
{
    if (adapter.driverVersion == nullptr && adapter.driverDate == nullptr)
        return;
    out.Append(" (driver");
    if (adapter.driverVersion != nullptr) {
        out.AppendChar(' ');
        out.Append(adapter.driverVersion);
    }
    if (adapter.driverDate != nullptr) {
        out.Append(" of ");
        out.Append(adapter.driverDate);
    }
    out.AppendChar(')');
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
        AppendDriverVersionAndDate(out, adapter);
        out.Append(kLineEnd);
    }
}

// "System: NAME (MAJOR.MINOR.BUILD SP), 64-bit under Wine V on HOST RELEASE",
// each part only where it is known.
void AppendSystem(TextBuffer& out, const SystemFacts& system)
{
    out.Append("System: ");
    out.Append(WindowsName(system.platform, system.major, system.minor, system.build, system.workstation));
    if (system.versionKnown) {
        out.Append(" (");
        out.AppendNumber(static_cast<long>(system.major));
        out.AppendChar('.');
        out.AppendNumber(static_cast<long>(system.minor));
        out.AppendChar('.');
        out.AppendNumber(static_cast<long>(system.build));
        if (system.servicePack != nullptr && system.servicePack[0] != '\0') {
            out.AppendChar(' ');
            out.Append(system.servicePack);
        }
        out.AppendChar(')');
    }
    if (system.is64BitWindows)
        out.Append(", 64-bit");
    if (system.wineVersion != nullptr) {
        out.Append(" under Wine ");
        out.Append(system.wineVersion);
        if (system.wineHostSystem != nullptr) {
            out.Append(" on ");
            out.Append(system.wineHostSystem);
            if (system.wineHostRelease != nullptr) {
                out.AppendChar(' ');
                out.Append(system.wineHostRelease);
            }
        }
    }
    out.Append(kLineEnd);
}

// "Display: WxH, B bits, R Hz, D dpi, ADAPTER", the rate and the adapter only
// where they are known.
void AppendDisplay(TextBuffer& out, const DisplayFacts& display)
{
    out.Append("Display: ");
    out.AppendNumber(display.width);
    out.AppendChar('x');
    out.AppendNumber(display.height);
    out.Append(", ");
    out.AppendNumber(display.bits);
    out.Append(" bits");
    if (display.refresh > 1) {
        out.Append(", ");
        out.AppendNumber(display.refresh);
        out.Append(" Hz");
    }
    out.Append(", ");
    out.AppendNumber(display.dpi);
    out.Append(" dpi");
    if (display.adapter != nullptr) {
        out.Append(", ");
        out.Append(display.adapter);
    }
    out.Append(kLineEnd);
}

// "OpenGL ES profile: VERSION (STRING)" or "OpenGL ES profile: none (WHY)".
void AppendEsProfile(TextBuffer& out, const EsProfileFacts& es)
{
    out.Append("OpenGL ES profile: ");
    out.Append(es.version != nullptr ? es.version : "none");
    out.Append(" (");
    out.Append(es.version != nullptr ? es.versionString : es.why);
    out.AppendChar(')');
    out.Append(kLineEnd);
}

// "Video memory: N MB[, F MB free] (SOURCE)".
void AppendVideoMemory(TextBuffer& out, const VideoMemoryFacts& memory)
{
    out.Append("Video memory: ");
    out.AppendNumber(memory.totalMB);
    out.Append(" MB");
    if (memory.freeMB >= 0) {
        out.Append(", ");
        out.AppendNumber(memory.freeMB);
        out.Append(" MB free");
    }
    out.Append(" (");
    out.Append(memory.source);
    out.AppendChar(')');
    out.Append(kLineEnd);
}

// format with each '\1' in it replaced by the next of numbers.
void AppendWithNumbers(TextBuffer& out, const char* format, const long* numbers)
{
    for (; *format != '\0'; ++format) {
        if (*format == '\1')
            out.AppendNumber(*numbers++);
        else
            out.AppendChar(*format);
    }
}

// "Render check: RESULT[: WHAT DIFFERS] (R red, G green, B blue of N pixels;
// expected R', G', B')[, edges blended][; SCREEN][; off screen in a TARGET]",
// the counts only when a picture was read.
void AppendRenderCheck(TextBuffer& out, const RenderCheckFacts& check)
{
    // Held in the tables themselves: no pointer, so no relocation, per name.
    static const char kResults[][12] = {"not checked", "drawn", "drawn wrong", "not drawn"};
    static const char kScreens[][24] = {"", "; shown on screen", "; not shown on screen: ", "; screen not checked: "};
    static const char kTargets[][19] = {"", "framebuffer object", "pbuffer", "bitmap"};
    out.Append("Render check: ");
    out.Append(kResults[check.result]);
    if (check.reason[0] != '\0') {
        out.Append(": ");
        out.Append(check.reason);
    }
    if (check.counted) {
        const long numbers[] = {check.counts.red,  check.counts.green, check.counts.blue,
                                static_cast<long>(check.width) * check.height,
                                check.expectedRed, check.expectedGreen, check.expectedBlue};
        AppendWithNumbers(out, " (\1 red, \1 green, \1 blue of \1 pixels; expected \1, \1, \1)", numbers);
    }
    if (check.edgesBlended >= 0)
        out.Append(check.edgesBlended != 0 ? ", edges blended" : ", edges not blended");
    out.Append(kScreens[check.screen]);
    if (check.screen > kScreenShown)
        out.Append(check.screenReason);
    if (check.target != kTargetWindow) {
        out.Append("; off screen in a ");
        out.Append(kTargets[check.target]);
    }
    out.Append(kLineEnd);
}

// "Draw rate: F frames/s, M ms a frame (WxH, S samples[, swap interval I])"
// and the note of one slow frame, or "Draw rate: not measured: WHY".
void AppendDrawRate(TextBuffer& out, const DrawRateFacts& rate)
{
    out.Append("Draw rate: ");
    if (!rate.measured) {
        AppendLine(out, "not measured: ", rate.why);
        return;
    }
    out.AppendDecimal(rate.framesPerSecond, 1);
    out.Append(" frames/s, ");
    out.AppendDecimal(rate.msPerFrame, 3);
    const long numbers[] = {rate.width, rate.height, rate.samples, rate.swapInterval};
    AppendWithNumbers(out, rate.swapInterval >= 0 ? " ms a frame (\1x\1, \1 samples, swap interval \1)"
                                                  : " ms a frame (\1x\1, \1 samples)",
                      numbers);
    if (rate.oneSlowFrame) {
        out.Append("; ");
        out.Append(kOneSlowFrameNote);
    }
    out.Append(kLineEnd);
}

}  // namespace

const char kOneSlowFrameNote[] = "one frame outlasted the 250 ms limit";

bool DriverKeyIsThirtyTwoBitView(const ReportData& report)
{
    return report.system != nullptr && report.system->is64BitWindows;
}

void AppendThirtyTwoBitViewKey(TextBuffer& out, const char* key)
{
    // NOTE: 64-bit Windows redirects a 32-bit program's HKLM\Software\X to
    // HKLM\Software\Wow6432Node\X.
    static const char kSoftware[] = "\\Software\\";
    const char* software = key != nullptr ? std::strstr(key, kSoftware) : nullptr;
    if (software == nullptr) {
        out.Append(key);
        return;
    }
    const char* rest = software + sizeof kSoftware - 1;
    out.Append(key, static_cast<std::size_t>(rest - key));
    out.Append("Wow6432Node\\");
    out.Append(rest);
}

void AppendHeading(TextBuffer& out, const char* heading, long count)
{
    out.Append(heading);
    out.Append(" (");
    out.AppendNumber(count);
    out.Append("):");
    out.Append(kLineEnd);
}

void WriteReportText(const ReportData& report, TextBuffer& out, ReportTextWriter afterCoreProfile)
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
    if (report.system != nullptr)
        AppendSystem(out, *report.system);
    if (report.remoteSession)
        AppendLine(out, "", "Remote session: yes");
    if (report.display != nullptr)
        AppendDisplay(out, *report.display);

    out.Append("Acceleration: ");
    AppendAcceleration(out, report.verdict, report.renderer);
    out.Append(kLineEnd);
    for (int i = 0; i < report.advice.count; ++i)
        AppendLine(out, "Advice: ", report.advice.lines[i]);
    if (report.renderCheck != nullptr)
        AppendRenderCheck(out, *report.renderCheck);
    if (report.drawRate != nullptr)
        AppendDrawRate(out, *report.drawRate);
    AppendLine(out, "Shading language: ", report.shadingLanguage != nullptr ? report.shadingLanguage : "none");
    AppendLine(out, "Core profile: ", report.coreProfile != nullptr ? report.coreProfile : "none");
    if (afterCoreProfile != nullptr)
        afterCoreProfile(report, out);
    if (report.esProfile != nullptr)
        AppendEsProfile(out, *report.esProfile);
    if (report.videoMemory != nullptr)
        AppendVideoMemory(out, *report.videoMemory);
    AppendDriverDlls(out, report);
    AppendExtensionBytes(out, report);

    AppendList(out, "OpenGL extensions", report.glExtensions);
    AppendList(out, "WGL extensions", report.wglExtensions);
    AppendLimits(out, report);

    out.Append("OpenGL drivers (");
    out.Append(report.driverKey);
    if (DriverKeyIsThirtyTwoBitView(report)) {
        out.Append(", its 32-bit view: ");
        AppendThirtyTwoBitViewKey(out, report.driverKey);
    }
    out.Append("):");
    out.Append(kLineEnd);
    for (int i = 0; i < report.driverLines.count; ++i)
        AppendLine(out, i == report.selectedDriver ? "* " : "  ", report.driverLines.lines[i]);
    AppendRegistrations(out, report);
}
