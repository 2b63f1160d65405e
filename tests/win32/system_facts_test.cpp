// The facts of where a report is made, read in this process under Wine and
// checked against what the test asks the system itself.
#include <gtest/gtest.h>

#include <string>

#include "platform/system_facts.h"
#include "platform/windows_headers.h"

namespace {

TEST(SystemFacts, TheVersionAndWineAsNtdllTellsThem)
{
    FactPool pool;
    SystemFacts system;
    ReadSystemFacts(system, pool);

    typedef LONG(WINAPI * RtlGetVersionFunction)(OSVERSIONINFOW*);
    typedef const char*(CDECL * WineVersionFunction)();
    typedef void(CDECL * WineHostFunction)(const char**, const char**);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto getVersion = reinterpret_cast<RtlGetVersionFunction>(GetProcAddress(ntdll, "RtlGetVersion"));
    const auto wineVersion = reinterpret_cast<WineVersionFunction>(GetProcAddress(ntdll, "wine_get_version"));
    const auto wineHost = reinterpret_cast<WineHostFunction>(GetProcAddress(ntdll, "wine_get_host_version"));
    ASSERT_TRUE(getVersion != nullptr && wineVersion != nullptr && wineHost != nullptr);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_EQ(getVersion(&version), 0);

    EXPECT_TRUE(system.versionKnown);
    EXPECT_EQ(system.platform, version.dwPlatformId);
    EXPECT_EQ(system.major, version.dwMajorVersion);
    EXPECT_EQ(system.minor, version.dwMinorVersion);
    EXPECT_EQ(system.build, version.dwBuildNumber & 0xFFFF);
    std::string servicePack(version.szCSDVersion, version.szCSDVersion + lstrlenW(version.szCSDVersion));
    servicePack.erase(0, servicePack.find_first_not_of(' '));
    servicePack.erase(servicePack.find_last_not_of(' ') + 1);
    EXPECT_EQ(system.servicePack, servicePack);
    EXPECT_FALSE(system.is64BitWindows) << "a 32-bit Wine prefix";

    const char* hostSystem = nullptr;
    const char* hostRelease = nullptr;
    wineHost(&hostSystem, &hostRelease);
    EXPECT_STREQ(system.wineVersion, wineVersion());
    EXPECT_STREQ(system.wineHostSystem, hostSystem);
    EXPECT_STREQ(system.wineHostRelease, hostRelease);
}

TEST(SystemFacts, ARegisteredDllIsFoundLoadedOrNeither)
{
    const DllPresence opengl = CheckDllPresence("opengl32.dll");
    EXPECT_TRUE(opengl.found && opengl.loaded) << "linked by this program";

    // Beside this program, where SearchPathA looks first; named without ".dll" as registrations may.
    const char kBeside[] = "glinspect_test_not_driver";
    ASSERT_EQ(GetModuleHandleA(kBeside), nullptr);
    const DllPresence beside = CheckDllPresence(kBeside);
    EXPECT_TRUE(beside.found);
    EXPECT_FALSE(beside.loaded);
    HMODULE module = LoadLibraryA(kBeside);
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(CheckDllPresence(kBeside).loaded);
    FreeLibrary(module);

    const DllPresence nowhere = CheckDllPresence("glinspect-nowhere.dll");
    EXPECT_FALSE(nowhere.found || nowhere.loaded);
    EXPECT_STREQ(nowhere.name, "glinspect-nowhere.dll");
}

TEST(SystemFacts, TheScreenAsGetDeviceCapsTellsIt)
{
    FactPool pool;
    DisplayFacts display;
    ASSERT_TRUE(ReadDisplayFacts(display, pool));
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(display.width, GetDeviceCaps(screen, HORZRES));
    EXPECT_EQ(display.height, GetDeviceCaps(screen, VERTRES));
    EXPECT_EQ(display.dpi, GetDeviceCaps(screen, LOGPIXELSX));
    const int refresh = GetDeviceCaps(screen, VREFRESH);
    EXPECT_EQ(display.refresh, refresh > 1 ? refresh : 0);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(display.adapter, nullptr) << "Wine names its primary display device";
}

}  // namespace
