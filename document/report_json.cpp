// The report as JSON: only the companion writes it, so it is a file of its own
// that the dialog's program does not link.
#include <cstdlib>
#include <cstring>

#include "document/acceleration.h"
#include "document/windows_name.h"
#include "document/report_document.h"

namespace {

// One UTF-16 unit (or byte) of a JSON string, escaped where it must be.
void AppendJsonUnit(TextBuffer& out, unsigned long unit)
{
    static const char kHex[] = "0123456789abcdef";
    if (unit == '"' || unit == '\\') {
        out.AppendChar('\\');
        out.AppendChar(static_cast<char>(unit));
    } else if (unit == '\n') {
        out.Append("\\n");
    } else if (unit == '\r') {
        out.Append("\\r");
    } else if (unit == '\t') {
        out.Append("\\t");
    } else if (unit < 0x20 || unit >= 0x7F) {
        const char escape[7] = {'\\', 'u', kHex[(unit >> 12) & 15], kHex[(unit >> 8) & 15],
                                kHex[(unit >> 4) & 15], kHex[unit & 15], '\0'};
        out.Append(escape);
    } else {
        out.AppendChar(static_cast<char>(unit));
    }
}

// The JSON writer: the converter every string goes through, and the comma
// before each member or element but the first.
class Json {
public:
    Json(TextBuffer& out, AnsiToUtf16 toUtf16) : out_(out), toUtf16_(toUtf16) {}

    void Open(char bracket)
    {
        out_.AppendChar(bracket);
        first_ = true;
    }
    void Close(char bracket)
    {
        out_.AppendChar(bracket);
        first_ = false;
    }
    // A member's name, or the comma before an array element.
    void Name(const char* name)
    {
        if (!first_)
            out_.AppendChar(',');
        first_ = false;
        if (name != nullptr) {
            AppendJsonString(out_, name);
            out_.AppendChar(':');
        }
    }
    void String(const char* name, const char* value)
    {
        Name(name);
        AppendJsonString(out_, value, toUtf16_);
    }
    // A string, or null for a null pointer.
    void StringOrNull(const char* name, const char* value)
    {
        if (value == nullptr)
            Raw(name, "null");
        else
            String(name, value);
    }
    void Number(const char* name, long value)
    {
        Name(name);
        out_.AppendNumber(value);
    }
    void NumberOrNull(const char* name, long value)
    {
        if (value < 0)
            Raw(name, "null");
        else
            Number(name, value);
    }
    // Integer members, each name with its value.
    void Numbers(const char* const* names, const long* values, int count)
    {
        for (int i = 0; i < count; ++i)
            Number(names[i], values[i]);
    }
    void Decimal(const char* name, double value, int decimals)
    {
        Name(name);
        out_.AppendDecimal(value, decimals);
    }
    void Boolean(const char* name, bool value) { Raw(name, value ? "true" : "false"); }
    void Raw(const char* name, const char* text)
    {
        Name(name);
        out_.Append(text);
    }
    void StringArray(const char* name, const LineList& list)
    {
        Name(name);
        Open('[');
        for (int i = 0; i < list.count; ++i)
            String(nullptr, list.lines[i]);
        Close(']');
    }
    void OpenObject(const char* name)
    {
        Name(name);
        Open('{');
    }
    void OpenArray(const char* name)
    {
        Name(name);
        Open('[');
    }

private:
    TextBuffer& out_;
    AnsiToUtf16 toUtf16_;
    bool first_ = true;
};

const char* LineAt(const LineList& list, int i)
{
    return i < list.count ? list.lines[i] : "";
}

void WriteJsonDrivers(Json& json, const ReportData& report)
{
    json.OpenObject("drivers");
    json.String("key", report.driverKey);
    // Where the key really is: on a 64-bit Windows, its 32-bit view.
    if (DriverKeyIsThirtyTwoBitView(report)) {
        TextBuffer viewKey;
        AppendThirtyTwoBitViewKey(viewKey, report.driverKey);
        json.String("view32Key", viewKey.Text());
    } else {
        json.Raw("view32Key", "null");
    }
    json.OpenArray("entries");
    for (int i = 0; i < report.driverLines.count; ++i) {
        json.OpenObject(nullptr);
        json.String("line", report.driverLines.lines[i]);
        json.String("valueName", LineAt(report.driverValueNames, i));
        json.String("dllName", LineAt(report.driverDllNames, i));
        json.Boolean("selected", i == report.selectedDriver);
        json.Close('}');
    }
    json.Close(']');
    json.Close('}');
}

void WriteJsonEsProfile(Json& json, const EsProfileFacts* es)
{
    if (es == nullptr || es->version == nullptr) {
        json.Raw("esProfile", "null");
        return;
    }
    json.OpenObject("esProfile");
    json.String("version", es->version);
    json.String("versionString", es->versionString);
    json.StringOrNull("shadingLanguage", es->shadingLanguage);
    json.Close('}');
}

void WriteJsonVideoMemory(Json& json, const VideoMemoryFacts* memory)
{
    if (memory == nullptr) {
        json.Raw("videoMemory", "null");
        return;
    }
    json.OpenObject("videoMemory");
    json.Number("totalMB", memory->totalMB);
    json.NumberOrNull("freeMB", memory->freeMB);
    json.String("source", memory->source);
    json.NumberOrNull("vendorId", memory->vendorId);
    json.NumberOrNull("deviceId", memory->deviceId);
    json.Close('}');
}

const char* NullWhenEmpty(const char* text)
{
    return text[0] != '\0' ? text : nullptr;
}

const char* const kSizeNames[] = {"frames", "width", "height", "samples"};
const char* const kCountNames[] = {"background", "red", "green", "blue", "other"};

// A picture's pixels by class, or null when none was read.
void WriteJsonCounts(Json& json, bool counted, const PixelCounts& counts)
{
    if (!counted) {
        json.Raw("counts", "null");
        return;
    }
    const long values[] = {counts.background, counts.red, counts.green, counts.blue, counts.other};
    json.OpenObject("counts");
    json.Numbers(kCountNames, values, 5);
    json.Close('}');
}

void WriteJsonRenderCheck(Json& json, const RenderCheckFacts* check)
{
    static const char* const kResults[] = {"notChecked", "drawn", "drawnWrong", "notDrawn"};
    static const char* const kTargets[] = {"window", "framebufferObject", "pbuffer", "bitmap"};
    static const char* const kScreens[] = {"shown", "notShown", "notChecked"};
    if (check == nullptr) {
        json.Raw("renderCheck", "null");
        return;
    }
    json.OpenObject("renderCheck");
    json.String("result", kResults[check->result]);
    json.StringOrNull("reason", NullWhenEmpty(check->reason));
    const long size[] = {check->width, check->height, check->samples};
    json.Numbers(kSizeNames + 1, size, 3);
    const double angles[] = {check->angleX, check->angleY};
    json.OpenArray("angles");
    for (double angle : angles)
        json.Decimal(nullptr, angle, 3);
    json.Close(']');
    WriteJsonCounts(json, check->counted, check->counts);
    // The face pairs' names of the counts.
    const long expected[] = {check->expectedRed, check->expectedGreen, check->expectedBlue};
    json.OpenObject("expected");
    json.Numbers(kCountNames + 1, expected, 3);
    json.Close('}');
    json.Raw("edgesBlended", check->edgesBlended < 0 ? "null" : check->edgesBlended != 0 ? "true" : "false");
    json.String("target", kTargets[check->target]);
    if (check->screen == kScreenNone) {
        json.Raw("screen", "null");
    } else {
        json.OpenObject("screen");
        json.String("result", kScreens[check->screen - kScreenShown]);
        json.StringOrNull("reason", NullWhenEmpty(check->screenReason));
        WriteJsonCounts(json, check->screenCounted, check->screenCounts);
        json.Close('}');
    }
    json.Close('}');
}

void WriteJsonDrawRate(Json& json, const DrawRateFacts* rate)
{
    if (rate == nullptr) {
        json.Raw("drawRate", "null");
        return;
    }
    json.OpenObject("drawRate");
    if (rate->measured) {
        json.Decimal("framesPerSecond", rate->framesPerSecond, 1);
        json.Decimal("msPerFrame", rate->msPerFrame, 3);
    } else {
        json.Raw("framesPerSecond", "null");
        json.Raw("msPerFrame", "null");
    }
    const long size[] = {rate->frames, rate->width, rate->height, rate->samples};
    json.Numbers(kSizeNames, size, 4);
    json.NumberOrNull("swapInterval", rate->swapInterval);
    json.StringOrNull("note", !rate->measured   ? rate->why
                              : rate->oneSlowFrame ? kOneSlowFrameNote
                                                   : nullptr);
    json.Close('}');
}

void WriteJsonContextFacts(Json& json, const ReportData& report, ReportJsonWriter afterCoreProfile,
                           TextBuffer& out)
{
    TextBuffer reason;
    AppendAccelerationReason(reason, report.verdict, report.renderer);
    json.OpenObject("acceleration");
    json.String("level", AccelerationLevelName(report.verdict.level));
    json.String("reason", reason.Text());
    json.Close('}');
    json.StringArray("advice", report.advice);
    WriteJsonRenderCheck(json, report.renderCheck);
    WriteJsonDrawRate(json, report.drawRate);
    json.StringOrNull("shadingLanguage", report.shadingLanguage);
    json.StringOrNull("coreProfile", report.coreProfile);
    WriteJsonEsProfile(json, report.esProfile);
    WriteJsonVideoMemory(json, report.videoMemory);
    // What it writes comes after a member, and so starts with a comma.
    if (afterCoreProfile != nullptr)
        afterCoreProfile(report, out);

    json.OpenArray("driverDlls");
    for (int i = 0; i < report.driverDllCount; ++i) {
        json.OpenObject(nullptr);
        json.String("path", report.driverDlls[i].path);
        json.StringOrNull("version", report.driverDlls[i].version);
        json.String("source", report.driverDlls[i].source);
        json.Close('}');
    }
    json.Close(']');

    json.OpenObject("extensionBytes");
    json.Number("gl", static_cast<long>(report.glExtensionBytes));
    json.Number("wgl", static_cast<long>(report.wglExtensionBytes));
    json.Close('}');

    json.OpenArray("limits");
    for (int i = 0; i < report.limitCount; ++i) {
        const LimitValue& limit = report.limits[i];
        json.OpenObject(nullptr);
        json.String("name", limit.name);
        json.OpenArray("values");
        for (int v = 0; v < limit.valueCount && v < kMaxLimitValues; ++v)
            json.Number(nullptr, limit.values[v]);
        json.Close(']');
        json.Close('}');
    }
    json.Close(']');
}

void WriteJsonRegistrations(Json& json, const ReportData& report)
{
    json.OpenArray("subkeyDrivers");
    for (int i = 0; i < report.subkeyDriverCount; ++i) {
        json.OpenObject(nullptr);
        json.String("name", report.subkeyDrivers[i].name);
        json.String("dll", report.subkeyDrivers[i].dll);
        json.Close('}');
    }
    json.Close(']');
    json.OpenArray("displayAdapters");
    for (int i = 0; i < report.displayAdapterCount; ++i) {
        const DisplayAdapter& adapter = report.displayAdapters[i];
        json.OpenObject(nullptr);
        json.String("description", adapter.description);
        json.String("name", adapter.name);
        json.StringOrNull("wowName", adapter.wowName);
        json.StringOrNull("driverVersion", adapter.driverVersion);
        json.StringOrNull("driverDate", adapter.driverDate);
        json.Close('}');
    }
    json.Close(']');
}

// The system, null when it was not gathered; its numbers null when unknown.
void WriteJsonSystem(Json& json, const SystemFacts* system)
{
    if (system == nullptr) {
        json.Raw("system", "null");
        return;
    }
    json.OpenObject("system");
    json.String("name", WindowsName(system->platform, system->major, system->minor, system->build, system->workstation));
    const long unknown = -1;
    json.NumberOrNull("major", system->versionKnown ? static_cast<long>(system->major) : unknown);
    json.NumberOrNull("minor", system->versionKnown ? static_cast<long>(system->minor) : unknown);
    json.NumberOrNull("build", system->versionKnown ? static_cast<long>(system->build) : unknown);
    json.String("servicePack", system->servicePack);
    json.Boolean("is64BitWindows", system->is64BitWindows);
    if (system->wineVersion == nullptr) {
        json.Raw("wine", "null");
    } else {
        json.OpenObject("wine");
        json.String("version", system->wineVersion);
        json.StringOrNull("hostSystem", system->wineHostSystem);
        json.StringOrNull("hostRelease", system->wineHostRelease);
        json.Close('}');
    }
    json.Close('}');
}

void WriteJsonDisplay(Json& json, const DisplayFacts* display)
{
    if (display == nullptr) {
        json.Raw("display", "null");
        return;
    }
    json.OpenObject("display");
    json.Number("width", display->width);
    json.Number("height", display->height);
    json.Number("bits", display->bits);
    json.NumberOrNull("refresh", display->refresh > 1 ? display->refresh : -1);
    json.Number("dpi", display->dpi);
    json.StringOrNull("adapter", display->adapter);
    json.Close('}');
}

void WriteJsonPixelFormats(Json& json, const ReportData& report)
{
    json.OpenArray("pixelFormats");
    for (int i = 0; i < report.pixelFormatCount; ++i) {
        const PixelFormatRow& row = report.pixelFormats[i];
        json.OpenObject(nullptr);
        json.Number("index", row.index);
        json.Boolean("drawToWindow", row.drawToWindow);
        json.String("acceleration", FormatAccelerationName(row.acceleration));
        json.Number("colorBits", row.colorBits);
        json.Number("alphaBits", row.alphaBits);
        json.Number("depthBits", row.depthBits);
        json.Number("stencilBits", row.stencilBits);
        json.Boolean("doubleBuffered", row.doubleBuffered);
        json.NumberOrNull("sampleBuffers", row.sampleBuffers);
        json.NumberOrNull("samples", row.samples);
        json.Boolean("selected", row.index == report.pixelFormat);
        json.Close('}');
    }
    json.Close(']');
}

bool HasHighByte(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80)
            return true;
    }
    return false;
}

}  // namespace

void AppendJsonString(TextBuffer& out, const char* text, AnsiToUtf16 toUtf16)
{
    if (text == nullptr)
        text = "";
    const std::size_t length = std::strlen(text);
    // Plain ASCII reads the same in every code page: no conversion needed.
    wchar_t* units = nullptr;
    int unitCount = 0;
    if (toUtf16 != nullptr && length < 0x10000000 && HasHighByte(text)) {
        units = static_cast<wchar_t*>(std::malloc(length * sizeof(wchar_t)));
        if (units != nullptr)
            unitCount = toUtf16(text, static_cast<int>(length), units, static_cast<int>(length));
    }
    out.AppendChar('"');
    if (unitCount > 0) {
        for (int i = 0; i < unitCount; ++i)
            AppendJsonUnit(out, static_cast<unsigned long>(units[i]) & 0xFFFF);
    } else {
        for (const char* p = text; *p != '\0'; ++p)
            AppendJsonUnit(out, static_cast<unsigned char>(*p));
    }
    out.AppendChar('"');
    std::free(units);
}

void WriteReportJson(const ReportData& report, TextBuffer& out, AnsiToUtf16 toUtf16,
                     ReportJsonWriter afterCoreProfile)
{
    Json json(out, toUtf16);
    json.Open('{');
    json.String("schemaVersion", kReportSchemaVersion);
    json.String("vendor", report.vendor);
    json.String("renderer", report.renderer);
    json.String("version", report.version);
    json.OpenObject("pixelFormat");
    json.Number("index", report.pixelFormat);
    if (report.samples > 0)
        json.Number("samples", report.samples);
    else
        json.Raw("samples", "null");
    json.Close('}');
    WriteJsonSystem(json, report.system);
    json.Boolean("remoteSession", report.remoteSession);
    WriteJsonDisplay(json, report.display);
    json.StringArray("glExtensions", report.glExtensions);
    json.StringArray("wglExtensions", report.wglExtensions);
    WriteJsonDrivers(json, report);
    WriteJsonContextFacts(json, report, afterCoreProfile, out);
    WriteJsonRegistrations(json, report);
    if (HasPixelFormatTable(report))
        WriteJsonPixelFormats(json, report);
    json.Close('}');
    out.AppendChar('\n');
}
