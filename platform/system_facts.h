// Where a report is made: the Windows (and Wine) it runs on, a remote
// session, the screen, and whether the registered driver DLLs are there.
// Every call that Windows 95 or NT 4.0 lacks is fetched at run time.
#pragma once

#include "platform/fact_pool.h"
#include "document/report_facts.h"

// The version from ntdll's RtlGetVersion where it has one (true on Windows
// 8.1 and later, where GetVersionExA answers 6.2 without a manifest), else
// from GetVersionExA; IsWow64Process; Wine's version and host. The strings
// live in pool.
void ReadSystemFacts(SystemFacts& system, FactPool& pool);

// Whether GetSystemMetrics says this is a Remote Desktop session.
bool IsRemoteSession();

// The screen's size, depth, refresh rate and DPI, and the primary display
// device's DeviceString. False when there is no screen DC to ask.
bool ReadDisplayFacts(DisplayFacts& display, FactPool& pool);

// Whether SearchPathA finds name and whether it is loaded in the process.
DllPresence CheckDllPresence(const char* name);
