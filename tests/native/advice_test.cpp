// The Windows name from its numbers, the System and Display lines' parts,
// and the advice that follows from a report's facts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/advice.h"
#include "document/windows_name.h"
#include "tests/native/concluded_report.h"

namespace {

TEST(WindowsName, NamesEachReleaseFromItsNumbersAndBuildBoundaries)
{
    const unsigned long k9x = kPlatformWindows9x, kNt = kPlatformWindowsNt;
    struct Row {
        unsigned long platform, major, minor, build;
        const char* name;
    } const rows[] = {
        {k9x, 4, 0, 950, "Windows 95"},
        {k9x, 4, 0, 1110, "Windows 95"},
        {k9x, 4, 0, 1111, "Windows 95 OSR2"},
        {k9x, 4, 0, 1212, "Windows 95 OSR2"},
        {k9x, 4, 10, 1998, "Windows 98"},
        {k9x, 4, 10, 2221, "Windows 98"},
        {k9x, 4, 10, 2222, "Windows 98 Second Edition"},
        {k9x, 4, 90, 3000, "Windows Me"},
        {kNt, 4, 0, 1381, "Windows NT 4.0"},
        {kNt, 5, 0, 2195, "Windows 2000"},
        {kNt, 5, 1, 2600, "Windows XP"},
        {kNt, 5, 2, 3790, "Windows Server 2003"},
        {kNt, 6, 0, 6002, "Windows Vista"},
        {kNt, 6, 1, 7601, "Windows 7"},
        {kNt, 6, 2, 9200, "Windows 8"},
        {kNt, 6, 3, 9600, "Windows 8.1"},
        {kNt, 10, 0, 19045, "Windows 10"},
        {kNt, 10, 0, 21999, "Windows 10"},
        {kNt, 10, 0, 22000, "Windows 11"},
        {kNt, 10, 0, 26100, "Windows 11"},
        // The same numbers in the other family, and numbers no release has.
        {kNt, 4, 10, 2222, "Windows"},
        {k9x, 5, 1, 2600, "Windows"},
        {kNt, 6, 4, 9841, "Windows"},
        {kNt, 11, 0, 30000, "Windows"},
        {0, 0, 0, 0, "Windows"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(WindowsName(row.platform, row.major, row.minor, row.build), row.name)
            << row.platform << " " << row.major << "." << row.minor << "." << row.build;
}

TEST(WindowsName, TellsXpProfessionalX64FromServer2003ByTheProductType)
{
    EXPECT_STREQ(WindowsName(kPlatformWindowsNt, 5, 2, 3790, true), "Windows XP Professional x64 Edition");
    EXPECT_STREQ(WindowsName(kPlatformWindowsNt, 5, 2, 3790, false), "Windows Server 2003");
    // Only 5.2 shares its numbers across editions with another name.
    EXPECT_STREQ(WindowsName(kPlatformWindowsNt, 5, 1, 2600, true), "Windows XP");
    EXPECT_STREQ(WindowsName(kPlatformWindowsNt, 10, 0, 19045, false), "Windows 10");
}

// The report's text lines.
std::vector<std::string> LinesOf(const ReportData& report)
{
    TextBuffer out;
    WriteReportText(ConcludedReport(report).data, out);
    std::vector<std::string> lines;
    std::string text = out.Text();
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> Matching(const ReportData& report, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : LinesOf(report)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    }
    return found;
}

const char* const kValueNames[] = {"Software (MICROSOFT)", "~Vendor", "Other", "~~Old"};
const char* const kDllNames[] = {"OpenGL32.dll", "vendor.dll", "other.dll", "old.dll"};

ReportData GenericReport()
{
    ReportData report = {};
    report.renderer = "GDI Generic";
    report.formatDescribed = true;
    report.formatFlags = kFormatFlagGeneric;
    report.driverValueNames = {kValueNames, 1};
    report.driverDllNames = {kDllNames, 1};
    return report;
}

std::vector<std::string> Advice(const ReportData& report)
{
    return Matching(report, "Advice: ");
}

const std::string kRemote =
    "Advice: this is a Remote Desktop session, where Windows often draws OpenGL in software: "
    "run glinspect at the computer itself to see its own driver";
const std::string kNoneRegistered =
    "Advice: no OpenGL driver from a display adapter's maker is registered: install the adapter's own driver";

TEST(Advice, NoDriverRegisteredAtAllUnderTheSoftwareRenderer)
{
    const ReportData report = GenericReport();
    EXPECT_EQ(Advice(report), std::vector<std::string>{kNoneRegistered});
    // Directly after the verdict.
    const std::vector<std::string> lines = LinesOf(report);
    EXPECT_EQ(lines[2], "Acceleration: none: the system's software renderer");
    EXPECT_EQ(lines[3], kNoneRegistered);
}

TEST(Advice, EachKindOfRegistrationCountsAsOne)
{
    const SubkeyDriver subkey = {"VENDOR", "sub.dll"};
    const DisplayAdapter adapter = {"A", "a.dll", nullptr, nullptr, nullptr};
    ReportData rows = GenericReport(), subkeys = GenericReport(), adapters = GenericReport();
    rows.driverValueNames.count = rows.driverDllNames.count = 2;
    subkeys.subkeyDrivers = &subkey;
    subkeys.subkeyDriverCount = 1;
    adapters.displayAdapters = &adapter;
    adapters.displayAdapterCount = 1;
    for (const ReportData* report : {&rows, &subkeys, &adapters}) {
        for (const std::string& line : Advice(*report))
            EXPECT_NE(line, kNoneRegistered);
    }
}

TEST(Advice, DisabledDriversAndMissingOrUnloadedDllsInTheirOrderEachOnce)
{
    const SubkeyDriver subkeys[] = {{"S", "Other.DLL"}, {"T", "sub.dll"}};
    const DisplayAdapter adapters[] = {{"A", "adapter64.dll", "adapter32.dll", nullptr, nullptr},
                                       {"B", "loaded.dll", nullptr, nullptr, nullptr},
                                       {"C", "unknown.dll", nullptr, nullptr, nullptr}};
    const DllPresence presence[] = {{"other.dll", false, false},
                                    {"sub.dll", true, false},
                                    {"adapter64.dll", false, false},
                                    {"loaded.dll", true, true}};
    ReportData report = GenericReport();
    report.driverValueNames.count = report.driverDllNames.count = 4;
    report.subkeyDrivers = subkeys;
    report.subkeyDriverCount = 2;
    report.displayAdapters = adapters;
    report.displayAdapterCount = 3;
    report.dllPresence = presence;
    report.dllPresenceCount = 4;
    EXPECT_EQ(Advice(report),
              (std::vector<std::string>{
                  "Advice: the driver Vendor is disabled: pick its line in the list to enable it, then start "
                  "the program again",
                  "Advice: the driver ~Old is disabled: pick its line in the list to enable it, then start "
                  "the program again",
                  "Advice: other.dll is registered but not found: reinstall the display driver",
                  "Advice: sub.dll is registered and present, but Windows did not load it for this display: "
                  "reinstall the display driver",
                  "Advice: adapter64.dll is registered but not found: reinstall the display driver",
                  "Advice: loaded.dll is loaded, but none of its pixel formats matched the view's request, so "
                  "Windows' own renderer draws: set the display to 32-bit colour, or update the display driver",
              }));
    // In a Remote Desktop session Windows draws in software on purpose: nothing to reinstall.
    report.remoteSession = true;
    EXPECT_EQ(Advice(report), std::vector<std::string>{kRemote});
    report.remoteSession = false;

    // A 32-bit program on 64-bit Windows: the adapter's 32-bit DLL is the one it loads.
    const char* names[kMaxEnabledDlls];
    const SystemFacts wow64 = {true, kPlatformWindowsNt, 10, 0, 19045, "", true, nullptr, nullptr, nullptr, false};
    report.system = &wow64;
    ASSERT_EQ(EnabledDllNames(report, names, kMaxEnabledDlls), 3);
    EXPECT_STREQ(names[0], "other.dll");
    EXPECT_STREQ(names[2], "adapter32.dll");
    EXPECT_EQ(EnabledDllNames(report, names, 2), 2);
}

TEST(Advice, OnA64BitWindowsAnAdapterWithoutA32BitDriverIsNamedAsSuchAndItsDllNotChecked)
{
    const DisplayAdapter adapters[] = {{"Vendor GPU", "vendor64.dll", nullptr, nullptr, nullptr},
                                       {"", "other64.dll", "", nullptr, nullptr}};
    // What the 32-bit program would find of a 64-bit DLL: nothing.
    const DllPresence presence[] = {{"vendor64.dll", false, false}, {"other64.dll", false, false}};
    const SystemFacts wow64 = {true, kPlatformWindowsNt, 10, 0, 19045, "", true, nullptr, nullptr, nullptr, true};
    ReportData report = GenericReport();
    report.system = &wow64;
    report.displayAdapters = adapters;
    report.displayAdapterCount = 2;
    report.dllPresence = presence;
    report.dllPresenceCount = 2;
    const char* names[kMaxEnabledDlls];
    EXPECT_EQ(EnabledDllNames(report, names, kMaxEnabledDlls), 0);
    EXPECT_EQ(Advice(report),
              (std::vector<std::string>{
                  "Advice: Vendor GPU registers only the 64-bit OpenGL driver vendor64.dll and no 32-bit one, so "
                  "32-bit programs draw in software: install the adapter maker's full driver package, which "
                  "brings the 32-bit driver",
                  "Advice: a display adapter registers only the 64-bit OpenGL driver other64.dll and no 32-bit "
                  "one, so 32-bit programs draw in software: install the adapter maker's full driver package, "
                  "which brings the 32-bit driver",
              }));
    // On a 32-bit Windows the same adapter's DLL is the one to check.
    report.system = nullptr;
    EXPECT_EQ(Advice(report)[0], "Advice: vendor64.dll is registered but not found: reinstall the display driver");
}

TEST(Advice, AnInstallableSoftwareRendererUnderWineAndElsewhere)
{
    ReportData report = GenericReport();
    report.formatFlags = 0;
    report.renderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
    EXPECT_EQ(Advice(report), std::vector<std::string>{
                                  "Advice: llvmpipe (LLVM 15.0.6, 256 bits) is a software renderer installed as "
                                  "the OpenGL driver: install the display adapter's own driver"});
    const SystemFacts wine = {true, kPlatformWindowsNt, 6, 1, 7601, "Service Pack 1", false, "8.0", nullptr, nullptr, false};
    report.system = &wine;
    EXPECT_EQ(Advice(report), std::vector<std::string>{"Advice: under Wine, OpenGL is the host's: install or "
                                                       "enable the host's GPU driver to leave llvmpipe (LLVM "
                                                       "15.0.6, 256 bits)"});
    report.remoteSession = true;
    EXPECT_EQ(Advice(report), std::vector<std::string>{kRemote});
}

TEST(Advice, NoneWhenFullAndOnlyTheRemoteSessionsWhenPartialOrUnknown)
{
    ReportData report = GenericReport();
    report.remoteSession = true;
    report.formatFlags = 0;
    report.renderer = "Vendor GPU";
    EXPECT_TRUE(Advice(report).empty());
    EXPECT_EQ(Matching(report, "Remote session: "), std::vector<std::string>{"Remote session: yes"});

    report.formatFlags = kFormatFlagGeneric | kFormatFlagGenericAccelerated;
    EXPECT_EQ(Advice(report), std::vector<std::string>{kRemote});
    report.formatDescribed = false;
    EXPECT_EQ(Advice(report), std::vector<std::string>{kRemote});
    report.remoteSession = false;
    EXPECT_TRUE(Advice(report).empty());
    EXPECT_TRUE(Matching(report, "Remote session: ").empty());
}

TEST(Advice, WhatTheRenderCheckFoundWrongAtAnyAccelerationAndAfterTheRemoteSessions)
{
    ReportData report = GenericReport();
    report.formatFlags = 0;
    report.renderer = "Vendor GPU";
    RenderCheckFacts check = kDrawnAndShown;
    report.renderCheck = &check;
    EXPECT_TRUE(Advice(report).empty());
    check = Unread(kRenderNotDrawn, "every pixel is the clear colour");
    EXPECT_EQ(Advice(report), std::vector<std::string>{"Advice: the driver drew nothing of the test picture: every "
                                                       "pixel is the clear colour; to compare, pick the software "
                                                       "line; update the display driver"});
    // Drawn wrong and not shown: the one line of the wrong picture.
    check = Unread(kRenderDrawnWrong, "");
    check.screen = kScreenNotShown;
    EXPECT_EQ(Advice(report),
              std::vector<std::string>{"Advice: the driver drew the test picture wrong; update the display driver"});
    check.result = kRenderDrawn;
    EXPECT_EQ(Advice(report), std::vector<std::string>{"Advice: the test picture does not reach the screen: update "
                                                       "the display driver, or turn off the desktop's visual effects"});
    const SystemFacts wine = {true, kPlatformWindowsNt, 6, 1, 7601, "", false, "7.0", nullptr, nullptr, false};
    report.system = &wine;
    report.remoteSession = true;
    report.formatFlags = kFormatFlagGeneric | kFormatFlagGenericAccelerated;
    const std::string underWine = "Advice: this Wine shows no OpenGL in child windows, so the test picture never "
                                  "reaches the screen: a newer Wine shows it";
    EXPECT_EQ(Advice(report), (std::vector<std::string>{kRemote, underWine}));
}

TEST(SystemAndDisplay, LeaveOutWhatIsNotKnown)
{
    ReportData report = GenericReport();
    const SystemFacts unknown = {false, 0, 0, 0, 0, "", false, "8.0", nullptr, nullptr, false};
    const SystemFacts noRelease = {true, kPlatformWindows9x, 4, 10, 2222, "", false, "8.0", "Linux", nullptr, false};
    const DisplayFacts display = {800, 600, 16, 0, 120, nullptr};
    report.system = &unknown;
    report.display = &display;
    EXPECT_EQ(Matching(report, "System: "), std::vector<std::string>{"System: Windows under Wine 8.0"});
    EXPECT_EQ(Matching(report, "Display: "), std::vector<std::string>{"Display: 800x600, 16 bits, 120 dpi"});
    report.system = &noRelease;
    EXPECT_EQ(Matching(report, "System: "),
              std::vector<std::string>{"System: Windows 98 Second Edition (4.10.2222) under Wine 8.0 on Linux"});

    const DisplayAdapter versionOnly = {"A", "a.dll", nullptr, "1.2", nullptr};
    report.displayAdapters = &versionOnly;
    report.displayAdapterCount = 1;
    EXPECT_EQ(Matching(report, "  A: "), std::vector<std::string>{"  A: a.dll (driver 1.2)"});

    TextBuffer json;
    WriteReportJson(ConcludedReport(report).data, json);
    report.system = &unknown;
    TextBuffer unknownJson;
    WriteReportJson(ConcludedReport(report).data, unknownJson);
    const std::string text = json.Text(), unknownText = unknownJson.Text();
    EXPECT_NE(text.find("\"system\":{\"name\":\"Windows 98 Second Edition\",\"major\":4,\"minor\":10,"
                        "\"build\":2222,\"servicePack\":\"\",\"is64BitWindows\":false,"
                        "\"wine\":{\"version\":\"8.0\",\"hostSystem\":\"Linux\",\"hostRelease\":null}},"
                        "\"remoteSession\":false,"
                        "\"display\":{\"width\":800,\"height\":600,\"bits\":16,\"refresh\":null,\"dpi\":120,"
                        "\"adapter\":null},"),
              std::string::npos)
        << text;
    EXPECT_NE(unknownText.find("\"system\":{\"name\":\"Windows\",\"major\":null,\"minor\":null,\"build\":null,"),
              std::string::npos)
        << unknownText;
    EXPECT_NE(text.find("\"driverVersion\":\"1.2\",\"driverDate\":null}"), std::string::npos) << text;
}

}  // namespace
