#include "platform/system_facts.h"

#include "platform/fetch_function.h"

namespace {

// An export of a module the process has loaded already.
template <typename Function>
Function Fetch(const char* moduleName, const char* name)
{
    return FetchFunction<Function>(GetModuleHandleA(moduleName), name);
}

// A copy of text without its leading and trailing spaces.
const char* CopyTrimmed(const char* text, FactPool& pool)
{
    while (*text == ' ')
        ++text;
    const char* end = text;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != ' ')
            end = p + 1;
    }
    return pool.Copy(text, static_cast<std::size_t>(end - text));
}

// RtlGetVersion's answer in the ANSI record: the service pack is ASCII.
bool RtlVersion(OSVERSIONINFOEXA& info)
{
    typedef LONG(WINAPI * RtlGetVersionFunction)(OSVERSIONINFOEXW*);
    RtlGetVersionFunction getVersion = Fetch<RtlGetVersionFunction>("ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOEXW wide = {};
    wide.dwOSVersionInfoSize = sizeof wide;
    if (getVersion == nullptr || getVersion(&wide) != 0)
        return false;
    info.dwMajorVersion = wide.dwMajorVersion;
    info.dwMinorVersion = wide.dwMinorVersion;
    info.dwBuildNumber = wide.dwBuildNumber;
    info.dwPlatformId = wide.dwPlatformId;
    info.wProductType = wide.wProductType;
    int i = 0;
    for (; i + 1 < static_cast<int>(sizeof info.szCSDVersion) && wide.szCSDVersion[i] != 0; ++i)
        info.szCSDVersion[i] = wide.szCSDVersion[i] < 0x80 ? static_cast<char>(wide.szCSDVersion[i]) : '?';
    info.szCSDVersion[i] = '\0';
    return true;
}

// GetVersionExA's answer, with the product type where the system takes the
// longer record (NT 4.0 SP6, 2000 and later); 9x and older NT fill only the
// short one, and the product type stays 0.
bool AnsiVersion(OSVERSIONINFOEXA& info)
{
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != FALSE)
        return true;
    info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != FALSE;
}

}  // namespace

void ReadSystemFacts(SystemFacts& system, FactPool& pool)
{
    system = {};
    system.servicePack = "";
    OSVERSIONINFOEXA info = {};
    if (RtlVersion(info) || AnsiVersion(info)) {
        system.versionKnown = true;
        system.workstation = info.wProductType == VER_NT_WORKSTATION;
        system.platform = info.dwPlatformId;
        system.major = info.dwMajorVersion;
        system.minor = info.dwMinorVersion;
        // NOTE: on 95, 98 and Me the high word of the build holds the version.
        system.build = info.dwPlatformId == kPlatformWindows9x ? LOWORD(info.dwBuildNumber)
                                                                : info.dwBuildNumber;
        info.szCSDVersion[sizeof info.szCSDVersion - 1] = '\0';
        const char* servicePack = CopyTrimmed(info.szCSDVersion, pool);
        if (servicePack != nullptr)
            system.servicePack = servicePack;
    }

    typedef BOOL(WINAPI * IsWow64Function)(HANDLE, BOOL*);
    IsWow64Function isWow64 = Fetch<IsWow64Function>("kernel32.dll", "IsWow64Process");
    BOOL wow64 = FALSE;
    system.is64BitWindows = isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) != FALSE &&
                            wow64 != FALSE;

    typedef const char*(CDECL * WineVersionFunction)();
    typedef void(CDECL * WineHostFunction)(const char**, const char**);
    WineVersionFunction wineVersion = Fetch<WineVersionFunction>("ntdll.dll", "wine_get_version");
    if (wineVersion == nullptr)
        return;
    system.wineVersion = pool.Copy(wineVersion());
    WineHostFunction wineHost = Fetch<WineHostFunction>("ntdll.dll", "wine_get_host_version");
    const char* hostSystem = nullptr;
    const char* hostRelease = nullptr;
    if (wineHost != nullptr)
        wineHost(&hostSystem, &hostRelease);
    system.wineHostSystem = pool.Copy(hostSystem);
    system.wineHostRelease = pool.Copy(hostRelease);
}

bool IsRemoteSession()
{
    // NOTE: SM_REMOTESESSION came with Windows 2000's headers; older systems answer 0.
    const int kRemoteSession = 0x1000;
    return GetSystemMetrics(kRemoteSession) != 0;
}

bool ReadDisplayFacts(DisplayFacts& display, FactPool& pool)
{
    display = {};
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return false;
    display.width = GetDeviceCaps(screen, HORZRES);
    display.height = GetDeviceCaps(screen, VERTRES);
    display.bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    display.refresh = GetDeviceCaps(screen, VREFRESH);
    if (display.refresh <= 1)
        display.refresh = 0;
    display.dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);

    // NOTE: Windows 95 and NT 4.0 have no EnumDisplayDevicesA.
    typedef BOOL(WINAPI * EnumDevicesFunction)(LPCSTR, DWORD, DISPLAY_DEVICEA*, DWORD);
    EnumDevicesFunction enumDevices = Fetch<EnumDevicesFunction>("user32.dll", "EnumDisplayDevicesA");
    const DWORD kMostDevices = 32;
    for (DWORD i = 0; enumDevices != nullptr && i < kMostDevices; ++i) {
        DISPLAY_DEVICEA device = {};
        device.cb = sizeof device;
        if (enumDevices(nullptr, i, &device, 0) == FALSE)
            break;
        if ((device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) == 0)
            continue;
        device.DeviceString[sizeof device.DeviceString - 1] = '\0';
        if (device.DeviceString[0] != '\0')
            display.adapter = pool.Copy(device.DeviceString);
        break;
    }
    return true;
}

DllPresence CheckDllPresence(const char* name)
{
    char path[MAX_PATH + 1];
    char* file = nullptr;
    const DWORD length = SearchPathA(nullptr, name, ".dll", sizeof path, path, &file);
    DllPresence presence = {name, length > 0 && length < sizeof path, GetModuleHandleA(name) != nullptr};
    return presence;
}
