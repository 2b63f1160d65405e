// The whole report as text and as JSON.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "compare/report_compare.h"
#include "compare/report_members.h"
#include "compare/report_reader.h"
#include "document/report_document.h"
#include "tests/native/concluded_report.h"

namespace {

const char* const kGl[] = {"", "GL_ARB_a", "GL_EXT_b"};
const char* const kLines[] = {"Software (MICROSOFT): OpenGL32.dll", "~Vendor: v.dll"};
const char* const kNames[] = {"Software (MICROSOFT)", "~Vendor"};
const char* const kDlls[] = {"OpenGL32.dll", "v.dll"};

ReportData SmallReport()
{
    ReportData report = {};
    report.summary = "Vendor: V\nRenderer: R \"x\"\nVersion: 1.1";
    report.vendor = "V";
    report.renderer = "R \"x\"";
    report.version = nullptr;
    report.pixelFormat = 7;
    report.samples = 0;
    report.glExtensions = {kGl, 3};
    report.wglExtensions = {nullptr, 0};
    report.driverKey = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers";
    report.driverLines = {kLines, 2};
    report.driverValueNames = {kNames, 2};
    report.driverDllNames = {kDlls, 2};
    report.selectedDriver = 0;
    return report;
}

TEST(ReportText, ListsEverythingInOrderWithCrLfLineEnds)
{
    TextBuffer out;
    WriteReportText(ConcludedReport(SmallReport()).data, out);
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(std::string(out.Text()),
              "Vendor: V\r\n"
              "Renderer: R \"x\"\r\n"
              "Version: 1.1\r\n"
              "Pixel format: 7, samples: none\r\n"
              "Acceleration: unknown: the view's pixel format could not be described\r\n"
              "Shading language: none\r\n"
              "Core profile: none\r\n"
              "Driver DLL: none loaded (OpenGL32.dll renders itself)\r\n"
              "Extension strings: GL 0 bytes, WGL 0 bytes\r\n"
              "OpenGL extensions (3):\r\n"
              "  \r\n"
              "  GL_ARB_a\r\n"
              "  GL_EXT_b\r\n"
              "WGL extensions (0):\r\n"
              "Limits (0):\r\n"
              "OpenGL drivers (HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers):\r\n"
              "* Software (MICROSOFT): OpenGL32.dll\r\n"
              "  ~Vendor: v.dll\r\n");
}

TEST(ReportText, MarksTheSelectedDriverAndGivesTheSampleCount)
{
    ReportData report = SmallReport();
    report.samples = 4;
    report.selectedDriver = 1;
    TextBuffer out;
    WriteReportText(ConcludedReport(report).data, out);
    const std::string text = out.Text();
    EXPECT_NE(text.find("Pixel format: 7, samples: 4\r\n"), std::string::npos);
    EXPECT_NE(text.find("  Software (MICROSOFT): OpenGL32.dll\r\n* ~Vendor: v.dll\r\n"), std::string::npos);
}

TEST(ReportJson, HoldsTheSameFacts)
{
    TextBuffer out;
    WriteReportJson(ConcludedReport(SmallReport()).data, out);
    EXPECT_EQ(std::string(out.Text()),
              "{\"schemaVersion\":\"1.1\",\"vendor\":\"V\",\"renderer\":\"R \\\"x\\\"\",\"version\":\"\","
              "\"pixelFormat\":{\"index\":7,\"samples\":null},"
              "\"system\":null,\"remoteSession\":false,\"display\":null,"
              "\"glExtensions\":[\"\",\"GL_ARB_a\",\"GL_EXT_b\"],\"wglExtensions\":[],"
              "\"drivers\":{\"key\":\"HKEY_LOCAL_MACHINE\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\OpenGLdrivers\","
              "\"view32Key\":null,"
              "\"entries\":[{\"line\":\"Software (MICROSOFT): OpenGL32.dll\",\"valueName\":\"Software (MICROSOFT)\","
              "\"dllName\":\"OpenGL32.dll\",\"selected\":true},"
              "{\"line\":\"~Vendor: v.dll\",\"valueName\":\"~Vendor\",\"dllName\":\"v.dll\",\"selected\":false}]},"
              "\"acceleration\":{\"level\":\"unknown\",\"reason\":\"the view's pixel format could not be described\"},"
              "\"advice\":[],\"renderCheck\":null,\"drawRate\":null,"
              "\"shadingLanguage\":null,\"coreProfile\":null,\"esProfile\":null,\"videoMemory\":null,"
              "\"driverDlls\":[],\"extensionBytes\":{\"gl\":0,\"wgl\":0},"
              "\"limits\":[],\"subkeyDrivers\":[],\"displayAdapters\":[]}\n");
}

TEST(ReportJson, EscapesWhatJsonCannotHoldAsItIs)
{
    TextBuffer out;
    AppendJsonString(out, "a\"b\\c\nd\re\tf\x01g\x7f\xe9");
    EXPECT_STREQ(out.Text(), "\"a\\\"b\\\\c\\nd\\re\\tf\\u0001g\\u007f\\u00e9\"");
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A JSON reader for the tests: strict enough to fail on a missing comma, a
// raw control or non-ASCII byte, or trailing text; strings come back as UTF-16.
struct Json {
    char kind = 0;  // 'n'ull, 't'rue, 'f'alse, '0' number, '"' string, '[' or '{'
    double number = 0;
    std::u16string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const char* name) const { return members.at(name); }
    const Json& operator[](int i) const { return items.at(static_cast<size_t>(i)); }
};

bool ReadJson(const char*& p, Json& value);

bool ReadJsonString(const char*& p, std::u16string& out)
{
    static const std::string kSimple = "\"\\/bfnrt", kMeans = "\"\\/\b\f\n\r\t";
    for (++p; *p != '"'; ++p) {
        if (static_cast<unsigned char>(*p) < 0x20 || static_cast<unsigned char>(*p) >= 0x80)
            return false;
        if (*p != '\\') {
            out += static_cast<char16_t>(*p);
        } else if (*++p == 'u') {
            const std::string hex(p + 1, std::min<size_t>(4, std::strlen(p + 1)));
            if (hex.size() != 4 || hex.find_first_not_of("0123456789abcdef") != std::string::npos)
                return false;
            out += static_cast<char16_t>(std::strtoul(hex.c_str(), nullptr, 16));
            p += 4;
        } else if (*p == '\0' || kSimple.find(*p) == std::string::npos) {
            return false;
        } else {
            out += static_cast<char16_t>(kMeans[kSimple.find(*p)]);
        }
    }
    ++p;
    return true;
}

// The elements of an array or the members of an object, up to close.
bool ReadJsonItems(const char*& p, Json& value, char close)
{
    if (*++p == close)
        return ++p, true;
    for (;;) {
        Json* item = close == ']' ? &value.items.emplace_back() : nullptr;
        if (close == '}') {
            std::u16string name;
            if (*p != '"' || !ReadJsonString(p, name) || *p++ != ':')
                return false;
            item = &value.members[std::string(name.begin(), name.end())];
        }
        if (!ReadJson(p, *item))
            return false;
        if (*p == close)
            return ++p, true;
        if (*p++ != ',')
            return false;
    }
}

bool ReadJson(const char*& p, Json& value)
{
    value.kind = *p == '-' || (*p >= '0' && *p <= '9') ? '0' : *p;
    for (const char* word : {"null", "true", "false"}) {
        if (std::strncmp(p, word, std::strlen(word)) == 0)
            return p += std::strlen(word), true;
    }
    if (*p == '"')
        return ReadJsonString(p, value.text);
    if (*p == '[' || *p == '{')
        return ReadJsonItems(p, value, *p == '[' ? ']' : '}');
    char* end = nullptr;
    value.number = std::strtod(p, &end);
    const bool read = value.kind == '0' && end != p;
    p = end;
    return read;
}

// The writer puts no spaces between tokens, only a line feed at the end.
Json ParseJson(const std::string& text)
{
    Json value;
    const char* p = text.c_str();
    EXPECT_TRUE(ReadJson(p, value) && std::string(p) == "\n") << text;
    return value;
}

// Every new fact filled in, with text that needs escaping and converting.
const DriverDll kDriverDlls[] = {{"C:\\Windows\\System32\\vendor\xAEicd.dll", "10.18.13.5362", "registered"},
                                 {"C:\\x\\soft.dll", nullptr, "loaded modules"}};
const LimitValue kLimits[] = {{"GL_MAX_TEXTURE_SIZE", 1, {16384, 0}},
                              {"GL_MAX_VIEWPORT_DIMS", 2, {16384, 8192}}};
const SubkeyDriver kSubkeys[] = {{"VENDOR", "vendoricd32.dll"}};
const DisplayAdapter kAdapters[] = {
    {"Vendor\x99 Adapter", "vendor64.dll", "vendor32.dll", "31.0.15.3713", "6-12-2023"},
    {"", "other.dll", nullptr, nullptr, "1-1-2020"}};
const SystemFacts kSystem = {true, kPlatformWindowsNt, 10, 0, 19045, "Service Pack 1", true, "8.0 \"x\"",
                             "Linux", "6.1.0-13-amd64", false};
const DisplayFacts kDisplay = {1920, 1080, 32, 60, 96, "Wine \"Adapter\""};
const EsProfileFacts kEsProfile = {"3.2", "OpenGL ES 3.2 Mesa \"x\"", "OpenGL ES GLSL ES 3.20", nullptr};
const VideoMemoryFacts kVideoMemory = {8192, 7000, "GL_NVX_gpu_memory_info", 0x10de, 0x2484};
const PixelFormatRow kFormats[] = {
    {1, true, kFormatAccelerationFull, 32, 8, 24, 8, true, 0, 0},
    {7, true, kFormatAccelerationFull, 32, 8, 24, 8, true, 1, 4},
    {12, false, kFormatAccelerationGeneric, 24, 0, 32, 0, false, 0, 0},
    {104, false, kFormatAccelerationNone, 8, 0, 16, 0, false, 0, 0},
};

const DrawRateFacts kDrawRate = {true, nullptr, 4939, 1234.46, 0.8101, 111, 127, 4, false, 1};
const DrawRateFacts kNotMeasured = {false, "no pixel format to draw with", 0, 0, 0, 111, 127, 0, false, -1};

ReportData FullReport()
{
    ReportData report = SmallReport();
    report.renderer = "llvmpipe \"x\"";
    report.samples = 4;
    report.formatDescribed = true;
    report.formatFlags = 0x25;
    report.shadingLanguage = "4.50";
    report.coreProfile = "4.5 (Core Profile) Mesa 22.3.6";
    report.driverDlls = kDriverDlls;
    report.driverDllCount = 2;
    report.glExtensionBytes = 8192;
    report.wglExtensionBytes = 311;
    report.limits = kLimits;
    report.limitCount = 2;
    report.subkeyDrivers = kSubkeys;
    report.subkeyDriverCount = 1;
    report.displayAdapters = kAdapters;
    report.displayAdapterCount = 2;
    report.pixelFormats = kFormats;
    report.pixelFormatCount = 4;
    report.pixelFormatsAsked = true;
    report.system = &kSystem;
    report.remoteSession = true;
    report.display = &kDisplay;
    report.esProfile = &kEsProfile;
    report.videoMemory = &kVideoMemory;
    report.renderCheck = &kDrawnAndShown;
    report.drawRate = &kDrawRate;
    return report;
}

// The report and the pixel-format table after it, as the companion prints them.
void WriteReportAndTable(const ReportData& facts, TextBuffer& out)
{
    const ConcludedReport report(facts);
    WriteReportText(report.data, out);
    WritePixelFormatTable(report.data, out);
}

TEST(ReportText, PutsEveryFactInItsPlace)
{
    TextBuffer out;
    WriteReportAndTable(FullReport(), out);
    EXPECT_EQ(std::string(out.Text()),
              "Vendor: V\r\n"
              "Renderer: R \"x\"\r\n"
              "Version: 1.1\r\n"
              "Pixel format: 7, samples: 4\r\n"
              "System: Windows 10 (10.0.19045 Service Pack 1), 64-bit under Wine 8.0 \"x\" on Linux 6.1.0-13-amd64\r\n"
              "Remote session: yes\r\n"
              "Display: 1920x1080, 32 bits, 60 Hz, 96 dpi, Wine \"Adapter\"\r\n"
              "Acceleration: none: llvmpipe \"x\" renders in software through an installable driver\r\n"
              "Advice: this is a Remote Desktop session, where Windows often draws OpenGL in software: "
              "run glinspect at the computer itself to see its own driver\r\n"
              "Render check: drawn (2381 red, 1754 green, 1820 blue of 14097 pixels; expected 2390, 1760, 1811), "
              "edges blended; shown on screen\r\n"
              "Draw rate: 1234.5 frames/s, 0.810 ms a frame (111x127, 4 samples, swap interval 1)\r\n"
              "Shading language: 4.50\r\n"
              "Core profile: 4.5 (Core Profile) Mesa 22.3.6\r\n"
              "OpenGL ES profile: 3.2 (OpenGL ES 3.2 Mesa \"x\")\r\n"
              "Video memory: 8192 MB, 7000 MB free (GL_NVX_gpu_memory_info)\r\n"
              "Driver DLL: C:\\Windows\\System32\\vendor\xAEicd.dll (10.18.13.5362)\r\n"
              "Driver DLL: C:\\x\\soft.dll (unknown)\r\n"
              "Extension strings: GL 8192 bytes, WGL 311 bytes; longer than the 8192-byte buffers of some older programs\r\n"
              "OpenGL extensions (3):\r\n"
              "  \r\n"
              "  GL_ARB_a\r\n"
              "  GL_EXT_b\r\n"
              "WGL extensions (0):\r\n"
              "Limits (2):\r\n"
              "  GL_MAX_TEXTURE_SIZE 16384\r\n"
              "  GL_MAX_VIEWPORT_DIMS 16384 8192\r\n"
              "OpenGL drivers (HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers, "
              "its 32-bit view: HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers):\r\n"
              "* Software (MICROSOFT): OpenGL32.dll\r\n"
              "  ~Vendor: v.dll\r\n"
              "Registered as subkeys:\r\n"
              "  VENDOR: vendoricd32.dll\r\n"
              "Display adapters:\r\n"
              "  Vendor\x99 Adapter: vendor64.dll (32-bit: vendor32.dll) (driver 31.0.15.3713 of 6-12-2023)\r\n"
              "  : other.dll (driver of 1-1-2020)\r\n"
              "Pixel formats (4):\r\n"
              "  Index Window Accel   Colour Alpha Depth Stencil Double SampleBuffers Samples\r\n"
              "      1 yes    full        32     8    24       8 yes                0       0\r\n"
              "*     7 yes    full        32     8    24       8 yes                1       4\r\n"
              "     12 no     generic     24     0    32       0 no                 0       0\r\n"
              "    104 no     none         8     0    16       0 no                 0       0\r\n");
}

TEST(ReportText, WarnsOfLongExtensionStringsAndDropsTheSamplesColumnsItCannotFill)
{
    ReportData report = FullReport();
    report.glExtensionBytes = 4096;
    const PixelFormatRow described[] = {{7, true, kFormatAccelerationGeneric, 32, 0, 24, 8, true, -1, -1}};
    report.pixelFormats = described;
    report.pixelFormatCount = 1;
    TextBuffer out;
    WriteReportAndTable(report, out);
    const std::string text = out.Text();
    EXPECT_NE(text.find("GL 4096 bytes, WGL 311 bytes; longer than the 4096-byte buffers of some older programs\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Pixel formats (1):\r\n"
                        "  Index Window Accel   Colour Alpha Depth Stencil Double\r\n"
                        "*     7 yes    generic     32     0    24       8 yes\r\n"),
              std::string::npos);

    // One described row among queried ones keeps the others' samples.
    const PixelFormatRow mixed[] = {
        kFormats[0], {5, true, kFormatAccelerationGeneric, 32, 0, 24, 8, true, -1, -1}, kFormats[1]};
    report.pixelFormats = mixed;
    report.pixelFormatCount = 3;
    TextBuffer mixedText;
    WriteReportAndTable(report, mixedText);
    EXPECT_TRUE(EndsWith(mixedText.Text(),
                         "Pixel formats (3):\r\n"
                         "  Index Window Accel   Colour Alpha Depth Stencil Double SampleBuffers Samples\r\n"
                         "      1 yes    full        32     8    24       8 yes                0       0\r\n"
                         "      5 yes    generic     32     0    24       8 yes                -       -\r\n"
                         "*     7 yes    full        32     8    24       8 yes                1       4\r\n"))
        << mixedText.Text();

    report.pixelFormatCount = 0;
    TextBuffer none;
    WriteReportAndTable(report, none);
    EXPECT_TRUE(EndsWith(none.Text(), "  ~Vendor: v.dll\r\nRegistered as subkeys:\r\n  VENDOR: vendoricd32.dll\r\n"
                                      "Display adapters:\r\n  Vendor\x99 Adapter: vendor64.dll (32-bit: vendor32.dll)"
                                      " (driver 31.0.15.3713 of 6-12-2023)\r\n"
                                      "  : other.dll (driver of 1-1-2020)\r\nPixel formats (0):\r\n"));

    report.glExtensionBytes = 4095;
    report.pixelFormatsAsked = false;
    TextBuffer shorter;
    WriteReportAndTable(report, shorter);
    EXPECT_NE(std::string(shorter.Text()).find("WGL 311 bytes\r\n"), std::string::npos);
    EXPECT_EQ(std::string(shorter.Text()).find("Pixel formats"), std::string::npos);
}

// The Windows-1252 code page where it differs from Latin-1, in part.
int Cp1252ToUtf16(const char* text, int length, wchar_t* units, int capacity)
{
    if (length > capacity)
        return 0;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        units[i] = c == 0x80 ? 0x20AC : c == 0x99 ? 0x2122 : c;
    }
    return length;
}

TEST(ReportJson, CarriesEveryFactAndParsesBack)
{
    TextBuffer out;
    WriteReportJson(ConcludedReport(FullReport()).data, out, Cp1252ToUtf16);
    const std::string text = out.Text();
    ASSERT_EQ(text.back(), '\n');
    const Json json = ParseJson(text);
    EXPECT_EQ(json["renderer"].text, u"llvmpipe \"x\"");
    EXPECT_EQ(json["pixelFormat"]["samples"].number, 4);
    EXPECT_EQ(json["drivers"]["entries"][1]["selected"].kind, 'f');
    EXPECT_EQ(json["acceleration"]["level"].text, u"none");
    EXPECT_EQ(json["acceleration"]["reason"].text,
              u"llvmpipe \"x\" renders in software through an installable driver");
    EXPECT_EQ(json["shadingLanguage"].text, u"4.50");
    EXPECT_EQ(json["coreProfile"].text, u"4.5 (Core Profile) Mesa 22.3.6");
    EXPECT_EQ(json["esProfile"]["version"].text, u"3.2");
    EXPECT_EQ(json["esProfile"]["versionString"].text, u"OpenGL ES 3.2 Mesa \"x\"");
    EXPECT_EQ(json["esProfile"]["shadingLanguage"].text, u"OpenGL ES GLSL ES 3.20");
    EXPECT_EQ(json["videoMemory"]["totalMB"].number, 8192);
    EXPECT_EQ(json["videoMemory"]["freeMB"].number, 7000);
    EXPECT_EQ(json["videoMemory"]["source"].text, u"GL_NVX_gpu_memory_info");
    EXPECT_EQ(json["videoMemory"]["vendorId"].number, 0x10de);
    EXPECT_EQ(json["videoMemory"]["deviceId"].number, 0x2484);
    EXPECT_EQ(json.members.count("entryPoints"), 0u) << "only when asked for";
    EXPECT_EQ(json["driverDlls"][0]["path"].text, u"C:\\Windows\\System32\\vendor\u00aeicd.dll");
    EXPECT_EQ(json["driverDlls"][0]["version"].text, u"10.18.13.5362");
    EXPECT_EQ(json["driverDlls"][1]["version"].kind, 'n');
    EXPECT_EQ(json["driverDlls"][1]["source"].text, u"loaded modules");
    EXPECT_EQ(json["extensionBytes"]["gl"].number, 8192);
    EXPECT_EQ(json["extensionBytes"]["wgl"].number, 311);
    EXPECT_EQ(json["limits"][1]["name"].text, u"GL_MAX_VIEWPORT_DIMS");
    EXPECT_EQ(json["limits"][1]["values"].items.size(), 2u);
    EXPECT_EQ(json["limits"][1]["values"][1].number, 8192);
    EXPECT_EQ(json["limits"][0]["values"].items.size(), 1u);
    EXPECT_EQ(json["subkeyDrivers"][0]["dll"].text, u"vendoricd32.dll");
    EXPECT_EQ(json["displayAdapters"][0]["description"].text, u"Vendor\u2122 Adapter");
    EXPECT_EQ(json["displayAdapters"][0]["wowName"].text, u"vendor32.dll");
    EXPECT_EQ(json["displayAdapters"][1]["wowName"].kind, 'n');
    EXPECT_EQ(json["displayAdapters"][0]["driverVersion"].text, u"31.0.15.3713");
    EXPECT_EQ(json["displayAdapters"][0]["driverDate"].text, u"6-12-2023");
    EXPECT_EQ(json["displayAdapters"][1]["driverVersion"].kind, 'n');
    EXPECT_EQ(json["displayAdapters"][1]["driverDate"].text, u"1-1-2020");
    const Json& system = json["system"];
    EXPECT_EQ(system["name"].text, u"Windows 10");
    EXPECT_EQ(system["major"].number, 10);
    EXPECT_EQ(system["minor"].number, 0);
    EXPECT_EQ(system["build"].number, 19045);
    EXPECT_EQ(system["servicePack"].text, u"Service Pack 1");
    EXPECT_EQ(system["is64BitWindows"].kind, 't');
    EXPECT_EQ(system["wine"]["version"].text, u"8.0 \"x\"");
    EXPECT_EQ(system["wine"]["hostSystem"].text, u"Linux");
    EXPECT_EQ(system["wine"]["hostRelease"].text, u"6.1.0-13-amd64");
    EXPECT_EQ(json["remoteSession"].kind, 't');
    const Json& display = json["display"];
    EXPECT_EQ(display["width"].number, 1920);
    EXPECT_EQ(display["height"].number, 1080);
    EXPECT_EQ(display["bits"].number, 32);
    EXPECT_EQ(display["refresh"].number, 60);
    EXPECT_EQ(display["dpi"].number, 96);
    EXPECT_EQ(display["adapter"].text, u"Wine \"Adapter\"");
    // In a Remote Desktop session its own line alone.
    ASSERT_EQ(json["advice"].items.size(), 1u);
    EXPECT_EQ(json["advice"][0].text.substr(0, 33), u"this is a Remote Desktop session,");
    EXPECT_EQ(json["drivers"]["view32Key"].text,
              u"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers");
    ASSERT_EQ(json["pixelFormats"].items.size(), 4u);
    const Json& selected = json["pixelFormats"][1];
    EXPECT_EQ(selected["index"].number, 7);
    EXPECT_EQ(selected["selected"].kind, 't');
    EXPECT_EQ(json["pixelFormats"][0]["selected"].kind, 'f');
    EXPECT_EQ(json["pixelFormats"][2]["acceleration"].text, u"generic");
    EXPECT_EQ(selected["samples"].number, 4);
    EXPECT_EQ(json["pixelFormats"][2]["drawToWindow"].kind, 'f');
}

TEST(ReportText, SaysWhyThereIsNoEsProfileAndLeavesOutWhatTheDriverDoesNotTell)
{
    ReportData facts = FullReport();
    const EsProfileFacts none = {nullptr, nullptr, nullptr, "no WGL_EXT_create_context_es2_profile"};
    const VideoMemoryFacts wine = {2048, -1, "WGL_WINE_query_renderer", -1, -1};
    facts.esProfile = &none;
    facts.videoMemory = &wine;
    const ConcludedReport report(facts);
    TextBuffer text, json;
    WriteReportText(report.data, text);
    WriteReportJson(report.data, json);
    EXPECT_NE(std::string(text.Text()).find("Core profile: 4.5 (Core Profile) Mesa 22.3.6\r\n"
                                            "OpenGL ES profile: none (no WGL_EXT_create_context_es2_profile)\r\n"
                                            "Video memory: 2048 MB (WGL_WINE_query_renderer)\r\n"
                                            "Driver DLL: "),
              std::string::npos)
        << text.Text();
    const Json parsed = ParseJson(json.Text());
    EXPECT_EQ(parsed["esProfile"].kind, 'n');
    EXPECT_EQ(parsed["videoMemory"]["freeMB"].kind, 'n');
    EXPECT_EQ(parsed["videoMemory"]["vendorId"].kind, 'n');
    EXPECT_EQ(parsed["videoMemory"]["deviceId"].kind, 'n');

    facts.videoMemory = nullptr;
    TextBuffer without;
    WriteReportText(ConcludedReport(facts).data, without);
    EXPECT_EQ(std::string(without.Text()).find("Video memory"), std::string::npos);
}

const MissingEntryPoint kMissing[] = {{"GL_VERSION_4_5", "glGetnTexImage", 0},
                                      {"GL_ARB_sync", "glFenceSync", 1},
                                      {"GL_VERSION_3_0 (core profile)", "glGetStringi", -1}};

TEST(ReportText, PutsTheEntryPointsAfterTheCoreProfileAndTheMissingOnesLast)
{
    ReportData facts = FullReport();
    const EntryPointFacts entryPoints = {"4.5", 713, 712, "4.5", 636, 635, 306, 1303, 1302, 16, kMissing, 3};
    facts.entryPoints = &entryPoints;
    const ConcludedReport report(facts);
    TextBuffer text;
    WriteReportText(report.data, text, WriteEntryPointLine);
    WritePixelFormatTable(report.data, text);
    WriteMissingEntryPoints(report.data, text);
    const std::string written = text.Text();
    EXPECT_NE(written.find("Core profile: 4.5 (Core Profile) Mesa 22.3.6\r\n"
                           "Entry points: 4.5 712 of 713, core 4.5 635 of 636; extensions 1302 of 1303 in 306 "
                           "extensions; 16 extensions the registry does not list; 3 missing\r\n"
                           "OpenGL ES profile: 3.2"),
              std::string::npos)
        << written;
    EXPECT_TRUE(EndsWith(written, "    104 no     none         8     0    16       0 no                 0       0\r\n"
                                  "Missing entry points (3):\r\n"
                                  "  GL_VERSION_4_5 glGetnTexImage\r\n"
                                  "  GL_ARB_sync glFenceSync (answered 1)\r\n"
                                  "  GL_VERSION_3_0 (core profile) glGetStringi (answered -1)\r\n"))
        << written;

    TextBuffer json;
    WriteReportJson(report.data, json, nullptr, WriteEntryPointsJson);
    ParseJson(json.Text());
    EXPECT_NE(std::string(json.Text()).find(
                  "\"videoMemory\":{\"totalMB\":8192,\"freeMB\":7000,\"source\":\"GL_NVX_gpu_memory_info\","
                  "\"vendorId\":4318,\"deviceId\":9348},"
                  "\"entryPoints\":{\"version\":\"4.5\",\"checked\":713,\"found\":712,"
                  "\"core\":{\"version\":\"4.5\",\"checked\":636,\"found\":635},"
                  "\"extensions\":306,\"extensionCommands\":1303,\"extensionFound\":1302,\"unknownExtensions\":16,"
                  "\"missing\":[{\"of\":\"GL_VERSION_4_5\",\"command\":\"glGetnTexImage\",\"answer\":null},"
                  "{\"of\":\"GL_ARB_sync\",\"command\":\"glFenceSync\",\"answer\":1},"
                  "{\"of\":\"GL_VERSION_3_0 (core profile)\",\"command\":\"glGetStringi\",\"answer\":-1}]},"
                  "\"driverDlls\":"),
              std::string::npos)
        << json.Text();

    // Nothing missing, no core context, every name known: the short line and an empty section.
    const EntryPointFacts whole = {"2.1", 100, 100, nullptr, 0, 0, 3, 20, 20, 0, nullptr, 0};
    facts.entryPoints = &whole;
    TextBuffer shortText, shortJson;
    WriteReportText(ConcludedReport(facts).data, shortText, WriteEntryPointLine);
    WriteMissingEntryPoints(facts, shortText);
    WriteReportJson(facts, shortJson, nullptr, WriteEntryPointsJson);
    EXPECT_NE(std::string(shortText.Text()).find("\r\nEntry points: 2.1 100 of 100; extensions 20 of 20 in 3 extensions\r\n"),
              std::string::npos);
    EXPECT_TRUE(EndsWith(shortText.Text(), "Missing entry points (0):\r\n"));
    EXPECT_EQ(ParseJson(shortJson.Text())["entryPoints"]["core"].kind, 'n');
    EXPECT_EQ(ParseJson(shortJson.Text())["entryPoints"]["missing"].items.size(), 0u);
}

// Stands in for a double-byte code page: 0x82 0xA0 is one character, and 0xF0
// a character beyond the first plane.
int DoubleByteToUtf16(const char* text, int length, wchar_t* units, int capacity)
{
    int count = 0;
    for (int i = 0; i < length && count + 2 <= capacity; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0x82 && i + 1 < length) {
            units[count++] = 0x3042;
            ++i;
        } else if (c == 0xF0) {
            units[count++] = 0xD83D;
            units[count++] = 0xDE00;
        } else {
            units[count++] = c;
        }
    }
    return count;
}

int Refuses(const char*, int, wchar_t*, int)
{
    return 0;
}

// Every member below value is one the reader knows, of a type it allows.
void ExpectKnownMembers(const JsonDocument& report, int value, MemberPath& path)
{
    for (int i = 0; i < report.Count(value); ++i) {
        int child = report.Item(value, i);
        if (report.Kind(value) == kJsonArray) {
            path.PushItem();
        } else {
            std::size_t length = 0;
            const char* name = report.String(child, length);
            path.PushName(name, length);
            child = report.MemberValue(value, i);
        }
        const KnownMember* known = FindKnownMember(path);
        EXPECT_TRUE(known != nullptr && (known->types & JsonTypeOf(report, child)) != 0) << path.Text();
        ExpectKnownMembers(report, child, path);
        path.Pop();
    }
}

TEST(ReportJson, ReadsBackAsAReportWhoseEveryMemberTheReaderKnows)
{
    for (const ReportData& facts : {SmallReport(), FullReport()}) {
        TextBuffer out;
        WriteReportJson(ConcludedReport(facts).data, out);
        JsonDocument report;
        TextBuffer error, differences;
        ASSERT_TRUE(ReadReportText("report.json", out.Text(), out.Length(), report, error)) << error.Text();
        MemberPath path;
        ExpectKnownMembers(report, 0, path);
        EXPECT_EQ(CompareReports(report, report, false, differences), 0);
    }
}


// The report's line that starts with prefix, its line end included.
std::string LineOf(const ReportData& facts, const char* prefix)
{
    TextBuffer out;
    WriteReportText(ConcludedReport(facts).data, out);
    const std::string text = out.Text();
    const size_t at = text.find(std::string("\n") + prefix);
    return at == std::string::npos ? "" : text.substr(at + 1, text.find('\n', at + 1) - at);
}

TEST(ReportText, WritesEachKindOfRenderCheckAndDrawRate)
{
    // FullReport's, drawn and shown, varied.
    ReportData facts = FullReport();
    RenderCheckFacts check = kDrawnAndShown;
    DrawRateFacts rate = kDrawRate;
    facts.renderCheck = &check;
    facts.drawRate = &rate;
    check.result = kRenderDrawnWrong;
    std::strcpy(check.reason, "no blue faces");
    check.edgesBlended = 0;
    check.screen = kScreenNotChecked;
    std::strcpy(check.screenReason, "another window covers part of the view");
    check.target = kTargetPbuffer;
    EXPECT_EQ(LineOf(facts, "Render check: "),
              "Render check: drawn wrong: no blue faces (2381 red, 1754 green, 1820 blue of 14097 pixels; expected "
              "2390, 1760, 1811), edges not blended; screen not checked: another window covers part of the view; "
              "off screen in a pbuffer\r\n");
    check = Unread(kRenderNotChecked, "the framebuffer object is incomplete");
    check.target = kTargetFramebufferObject;
    EXPECT_EQ(LineOf(facts, "Render check: "), "Render check: not checked: the framebuffer object is incomplete; "
                                               "off screen in a framebuffer object\r\n");

    rate = {true, nullptr, 1, 2.5, 400, 111, 127, 0, true, -1};
    EXPECT_EQ(LineOf(facts, "Draw rate: "), "Draw rate: 2.5 frames/s, 400.000 ms a frame (111x127, 0 samples); "
                                            "one frame outlasted the 250 ms limit\r\n");
    rate = kNotMeasured;
    EXPECT_EQ(LineOf(facts, "Draw rate: "), "Draw rate: not measured: no pixel format to draw with\r\n");
}

TEST(ReportJson, CarriesTheRenderCheckAndTheDrawRateNullWhereTheyAreNot)
{
    ReportData facts = FullReport();
    RenderCheckFacts check = kDrawnAndShown;
    DrawRateFacts rate = kDrawRate;
    rate.oneSlowFrame = true;
    facts.renderCheck = &check;
    facts.drawRate = &rate;
    TextBuffer out;
    WriteReportJson(ConcludedReport(facts).data, out);
    // The members as FullReport gives them; ReadsBackAsAReport... sees the reader knows them.
    EXPECT_NE(std::string(out.Text()).find(
                  "\"renderCheck\":{\"result\":\"drawn\",\"reason\":null,\"width\":111,\"height\":127,"
                  "\"samples\":4,\"angles\":[45.000,-30.250],"
                  "\"counts\":{\"background\":8000,\"red\":2381,\"green\":1754,\"blue\":1820,\"other\":142},"
                  "\"expected\":{\"red\":2390,\"green\":1760,\"blue\":1811},\"edgesBlended\":true,"
                  "\"target\":\"window\",\"screen\":{\"result\":\"shown\",\"reason\":null,"
                  "\"counts\":{\"background\":8010,\"red\":2380,\"green\":1750,\"blue\":1815,\"other\":142}}},"
                  "\"drawRate\":{\"framesPerSecond\":1234.5,\"msPerFrame\":0.810,\"frames\":4939,"
                  "\"width\":111,\"height\":127,\"samples\":4,\"swapInterval\":1,"
                  "\"note\":\"one frame outlasted the 250 ms limit\"},"
                  "\"shadingLanguage\":"),
              std::string::npos)
        << out.Text();

    check = Unread(kRenderNotDrawn, "every pixel is the clear colour");
    check.target = kTargetBitmap;
    check.screen = kScreenNotChecked;
    rate = kNotMeasured;
    TextBuffer other;
    WriteReportJson(ConcludedReport(facts).data, other);
    const Json json = ParseJson(other.Text());
    EXPECT_EQ(json["renderCheck"]["result"].text, u"notDrawn");
    EXPECT_EQ(json["renderCheck"]["reason"].text, u"every pixel is the clear colour");
    EXPECT_EQ(std::string() + json["renderCheck"]["counts"].kind + json["renderCheck"]["edgesBlended"].kind +
                  json["renderCheck"]["screen"]["reason"].kind + json["renderCheck"]["screen"]["counts"].kind +
                  json["drawRate"]["framesPerSecond"].kind + json["drawRate"]["msPerFrame"].kind +
                  json["drawRate"]["swapInterval"].kind,
              "nnnnnnn");
    EXPECT_EQ(json["renderCheck"]["target"].text, u"bitmap");
    EXPECT_EQ(json["renderCheck"]["screen"]["result"].text, u"notChecked");
    EXPECT_EQ(json["drawRate"]["note"].text, u"no pixel format to draw with");
}

TEST(ReportJson, WritesTheTextAsTheCodePageMeansIt)
{
    const char* text = "\x80 5\x99 \xe9";
    TextBuffer cp1252, latin1, refused, doubleByte;
    AppendJsonString(cp1252, text, Cp1252ToUtf16);
    AppendJsonString(latin1, text);
    AppendJsonString(refused, text, Refuses);
    AppendJsonString(doubleByte, "a\x82\xA0\"\xF0", DoubleByteToUtf16);
    EXPECT_STREQ(cp1252.Text(), "\"\\u20ac 5\\u2122 \\u00e9\"");
    EXPECT_STREQ(latin1.Text(), "\"\\u0080 5\\u0099 \\u00e9\"");
    EXPECT_STREQ(refused.Text(), latin1.Text());
    EXPECT_STREQ(doubleByte.Text(), "\"a\\u3042\\\"\\ud83d\\ude00\"");
}

TEST(TextBuffer, GrowsPastItsFirstBlockAndWritesNumbers)
{
    TextBuffer out;
    const std::string chunk(300, 'x');
    for (int i = 0; i < 20; ++i)
        out.Append(chunk.c_str());
    out.AppendNumber(-2147483647L - 1);
    out.AppendNumber(0);
    EXPECT_EQ(out.Length(), 6000u + 11u + 1u);
    EXPECT_EQ(std::string(out.Text()).substr(6000), "-21474836480");
    EXPECT_TRUE(out.Ok());

    // Rounded to the last place, every place written; what a long cannot hold is 0.
    TextBuffer decimals;
    for (const double value : {0.0004, 0.0005, 2.0, -30.2496, 1999999.9994, 1e300}) {
        decimals.AppendDecimal(value, 3);
        decimals.AppendChar(' ');
    }
    decimals.AppendDecimal(99.96, 1);
    EXPECT_STREQ(decimals.Text(), "0.000 0.001 2.000 -30.250 1999999.999 0.000 100.0");
}

}  // namespace
