// The name of a Windows release from the numbers GetVersionEx tells.
#pragma once

// "Windows 95" to "Windows 11" from the platform id (kPlatformWindows9x or
// kPlatformWindowsNt), the version and the build; "Windows" for numbers no
// release of the list has. Server editions carry the numbers of their client
// release and get its name, but for 5.2: Windows Server 2003, whose numbers
// Windows XP Professional x64 Edition shares, told apart by workstation.
const char* WindowsName(unsigned long platform, unsigned long major, unsigned long minor,
                        unsigned long build, bool workstation = false);
