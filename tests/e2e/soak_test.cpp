// A long session with the running program: thousands of drag steps and
// hundreds of full repaints of the dialog, after which it must still run,
// answer, and hold no more GDI objects and memory than after the first
// hundred steps.
#include <gtest/gtest.h>

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

#include "app/resources/resource_ids.h"
#include "app_driver.h"

namespace {

const int kDragSteps = 5000;
const int kRepaints = 200;
const int kBaselineSteps = 100;
// The memory counters may grow this much without a leak: the allocators
// under Mesa and Wine keep freed blocks and take pages in whole chunks, and
// the first thousands of frames still settle Mesa's caches. A leak of a
// small block per step (5,000 steps, 200 repaints) goes past it.
const SIZE_T kMemoryTolerance = 256 * 1024;

// One entry of Wine's GDI handle table (64-bit fields in the 32-bit
// process too); live objects have a type other than 0.
struct WineGdiHandleEntry {
    ULONGLONG object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    ULONGLONG userPointer;
};
static_assert(sizeof(WineGdiHandleEntry) == 24, "Wine's layout");
const size_t kGdiHandleCount = 0x10000;
// PEB::GdiSharedHandleTable in a 32-bit process.
const size_t kPebGdiTableOffset = 0x94;

// NOTE: Wine's GetGuiResources is a stub that returns 0 with
// ERROR_CALL_NOT_IMPLEMENTED. Its GDI handle table, though, sits in the
// process's memory, named by the PEB as on Windows, and another process can
// read it and count the live entries. -1 when that fails.
long WineGdiObjects(HANDLE process)
{
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0)
        return -1;
    DWORD table = 0;
    if (!ReadProcessMemory(process, static_cast<BYTE*>(static_cast<void*>(basic.PebBaseAddress)) +
                                        kPebGdiTableOffset,
                           &table, sizeof(table), nullptr) ||
        table == 0)
        return -1;
    std::vector<WineGdiHandleEntry> entries(kGdiHandleCount);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(table)),
                           entries.data(), entries.size() * sizeof(entries[0]), nullptr))
        return -1;
    long live = 0;
    for (const WineGdiHandleEntry& entry : entries)
        if (entry.type != 0)
            ++live;
    return live;
}

// GetGuiResources where it works, else Wine's handle table.
long GdiObjects(HANDLE process)
{
    const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS);
    if (counted != 0)
        return static_cast<long>(counted);
    return WineGdiObjects(process);
}

struct Memory {
    SIZE_T privateBytes;  // Wine: the process's anonymous resident memory (RssAnon)
    SIZE_T workingSet;    // Wine: VmRSS
};

Memory MemoryOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    Memory memory = {0, 0};
    if (K32GetProcessMemoryInfo(process, &counters, sizeof(counters))) {
        memory.privateBytes = counters.PagefileUsage;
        memory.workingSet = counters.WorkingSetSize;
    }
    return memory;
}

LPARAM Position(int x, int y)
{
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(x)) |
                               (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

bool Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &result) !=
           0;
}

// Erases and repaints the dialog with every control, and waits until the
// paints are done: a message sent once the update regions are empty is
// handled only after the last paint handler has returned.
bool RepaintDialog(HWND dialog, HWND view)
{
    if (!RedrawWindow(dialog, nullptr, nullptr,
                      RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN))
        return false;
    const bool painted = WaitUntil(
        [&] { return !GetUpdateRect(dialog, nullptr, FALSE) && !GetUpdateRect(view, nullptr, FALSE); },
        5000);
    return painted && Send(dialog, WM_NULL, 0, 0);
}

TEST(Soak, CountsGdiObjectsOfAProcess)
{
    // The counter the soak relies on sees objects come and go.
    const long before = GdiObjects(GetCurrentProcess());
    ASSERT_GT(before, 0);
    HBRUSH brushes[10];
    for (HBRUSH& brush : brushes)
        brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(GdiObjects(GetCurrentProcess()), before + 10);
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    EXPECT_EQ(GdiObjects(GetCurrentProcess()), before);
}

TEST(Soak, ThousandsOfDragStepsAndRepaintsLeaveNothingBehind)
{
    AppDriver app;
    ASSERT_TRUE(app.Start());
    HWND dialog = app.Dialog();
    HWND view = app.Control(IDC_VIEW);
    const DWORD start = GetTickCount();

    ASSERT_TRUE(Send(view, WM_LBUTTONDOWN, MK_LBUTTON, Position(20, 20)));
    long baselineGdi = -1;
    Memory baseline = {0, 0};
    int repaints = 0;
    int x = 20;
    for (int step = 1; step <= kDragSteps; ++step) {
        x += (step / 50) % 2 == 0 ? 3 : -3;
        ASSERT_TRUE(Send(view, WM_MOUSEMOVE, MK_LBUTTON, Position(x, 20 + step % 7)))
            << "drag step " << step;
        if (step % (kDragSteps / kRepaints) == 0) {
            ASSERT_TRUE(RepaintDialog(dialog, view)) << "repaint " << repaints + 1;
            ++repaints;
        }
        if (step == kBaselineSteps) {
            baselineGdi = GdiObjects(app.Process());
            baseline = MemoryOf(app.Process());
        }
    }
    ASSERT_TRUE(Send(view, WM_LBUTTONUP, 0, Position(x, 20)));
    EXPECT_EQ(repaints, kRepaints);

    EXPECT_EQ(WaitForSingleObject(app.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the program has ended";
    EXPECT_TRUE(Send(dialog, WM_NULL, 0, 0)) << "the dialog does not answer";

    const long endGdi = GdiObjects(app.Process());
    const Memory end = MemoryOf(app.Process());
    std::printf("soak: %d drag steps, %d repaints in %lu ms; GDI objects %ld -> %ld; "
                "private %lu -> %lu KB; working set %lu -> %lu KB\n",
                kDragSteps, repaints, GetTickCount() - start, baselineGdi, endGdi,
                static_cast<unsigned long>(baseline.privateBytes / 1024),
                static_cast<unsigned long>(end.privateBytes / 1024),
                static_cast<unsigned long>(baseline.workingSet / 1024),
                static_cast<unsigned long>(end.workingSet / 1024));
    ASSERT_GT(baselineGdi, 0) << "no GDI object count";
    EXPECT_LE(endGdi, baselineGdi);
    ASSERT_GT(baseline.privateBytes, 0u) << "no memory counters";
    EXPECT_LE(end.privateBytes, baseline.privateBytes + kMemoryTolerance);
    EXPECT_LE(end.workingSet, baseline.workingSet + kMemoryTolerance);

    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

}  // namespace
