// What a report tells of the drivers beyond the dialog's list: registrations
// of the subkey shape, the display adapters' own registrations, and the
// installable client drivers loaded in the process. Everything here only
// reads: no key is created and no value written.
#pragma once

#include "platform/fact_pool.h"
#include "platform/windows_headers.h"
#include "document/report_facts.h"

// The display adapters' device class, under HKEY_LOCAL_MACHINE.
extern const char kDisplayClassKey[];

// How a loaded driver was found, as DriverDll::source says it.
extern const char kDriverSourceRegistered[];
extern const char kDriverSourceDisplayAdapter[];
extern const char kDriverSourceLoadedModules[];

// One SubkeyDriver per subkey of root\keyPath that holds a non-empty Dll
// string value, in registry order. A missing key gives none. False only when
// memory ran out.
bool ReadSubkeyDrivers(HKEY root, const char* keyPath, FactPool& pool,
                       FactArray<SubkeyDriver>& drivers);

// One DisplayAdapter per subkey 0000 to 0031 of root\classKeyPath whose
// OpenGLDriverName is a non-empty REG_SZ, or a REG_MULTI_SZ whose first string
// is not empty, with its DriverDesc, OpenGLDriverNameWow, DriverVersion and
// DriverDate. Values of any other type count as missing, and so do a version
// or date longer than 63 characters. False only when memory ran out.
bool ReadDisplayAdapters(HKEY root, const char* classKeyPath, FactPool& pool,
                         FactArray<DisplayAdapter>& adapters);

// CreateToolhelp32Snapshot, as fetched at run time.
typedef HANDLE(WINAPI* CreateSnapshotFunction)(DWORD flags, DWORD processId);
const int kModuleSnapshotAttempts = 5;

// A snapshot of the process's modules through createSnapshot, asked up to
// kModuleSnapshotAttempts times while it fails with ERROR_BAD_LENGTH;
// INVALID_HANDLE_VALUE when it still fails.
HANDLE SnapshotModules(CreateSnapshotFunction createSnapshot);

// Finds the loaded modules that export DrvSetContext, each once, with its
// path and file version, into found. The strings live in pool.
class DriverDllScan {
public:
    DriverDllScan(FactPool& pool, FactArray<DriverDll>& found) : pool_(pool), found_(found) {}
    ~DriverDllScan();
    DriverDllScan(const DriverDllScan&) = delete;
    DriverDllScan& operator=(const DriverDllScan&) = delete;

    // The module already loaded under name, when there is one. Loads nothing.
    void CheckName(const char* name, const char* source);
    // Every module of the process, where the system can list them
    // (CreateToolhelp32Snapshot: not on NT 4.0).
    void CheckLoadedModules();
    bool Ok() const { return found_.Ok() && seen_.Ok() && pool_.Ok(); }

private:
    void Check(HMODULE module, const char* source);
    // "a.b.c.d" from the file's version resource, in pool; null without one.
    const char* FileVersion(const char* path);

    FactPool& pool_;
    FactArray<DriverDll>& found_;
    FactArray<HMODULE> seen_;
    HMODULE versionLibrary_ = nullptr;
    bool versionLibraryTried_ = false;
};
