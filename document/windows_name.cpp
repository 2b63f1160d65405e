#include "document/windows_name.h"

#include "document/report_facts.h"

namespace {

// A release from the first build of its version that carries its name.
struct Release {
    unsigned char platform;
    unsigned char major;
    unsigned char minor;
    bool workstationOnly;
    unsigned short firstBuild;
    const char* name;
};

// Ordered so that a later row of the same version starts at a later build.
const Release kReleases[] = {
    {kPlatformWindows9x, 4, 0, false, 0, "Windows 95"},
    {kPlatformWindows9x, 4, 0, false, 1111, "Windows 95 OSR2"},
    {kPlatformWindows9x, 4, 10, false, 0, "Windows 98"},
    {kPlatformWindows9x, 4, 10, false, 2222, "Windows 98 Second Edition"},
    {kPlatformWindows9x, 4, 90, false, 0, "Windows Me"},
    {kPlatformWindowsNt, 4, 0, false, 0, "Windows NT 4.0"},
    {kPlatformWindowsNt, 5, 0, false, 0, "Windows 2000"},
    {kPlatformWindowsNt, 5, 1, false, 0, "Windows XP"},
    {kPlatformWindowsNt, 5, 2, false, 0, "Windows Server 2003"},
    {kPlatformWindowsNt, 5, 2, true, 0, "Windows XP Professional x64 Edition"},
    {kPlatformWindowsNt, 6, 0, false, 0, "Windows Vista"},
    {kPlatformWindowsNt, 6, 1, false, 0, "Windows 7"},
    {kPlatformWindowsNt, 6, 2, false, 0, "Windows 8"},
    {kPlatformWindowsNt, 6, 3, false, 0, "Windows 8.1"},
    {kPlatformWindowsNt, 10, 0, false, 0, "Windows 10"},
    {kPlatformWindowsNt, 10, 0, false, 22000, "Windows 11"},
};

}  // namespace

const char* WindowsName(unsigned long platform, unsigned long major, unsigned long minor,
                        unsigned long build, bool workstation)
{
    const char* name = "Windows";
    for (const Release& release : kReleases) {
        if (release.platform == platform && release.major == major && release.minor == minor &&
            build >= release.firstBuild && (!release.workstationOnly || workstation))
            name = release.name;
    }
    return name;
}
