#include "drivers/driver_facts.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>

#include "platform/fetch_function.h"

const char kDisplayClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}";

const char kDriverSourceRegistered[] = "registered";
const char kDriverSourceDisplayAdapter[] = "display adapter";
const char kDriverSourceLoadedModules[] = "loaded modules";

// The most bytes of one value's data that are read: a longer value is
// skipped as unreadable, so no value's size decides an allocation.
const DWORD kMaxValueBytes = 4096;

// The string value name of key, copied into pool: a REG_SZ, or the first
// string of a REG_MULTI_SZ. Null when missing, of another type, longer than
// kMaxValueBytes, or when memory ran out. The data is terminated here whether
// or not it was stored with its NUL.
static const char* ReadStringValue(HKEY key, const char* name, FactPool& pool)
{
    char data[kMaxValueBytes + 1];
    DWORD type = 0;
    DWORD length = kMaxValueBytes;
    // A longer value gives ERROR_MORE_DATA.
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &length) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_MULTI_SZ) || length > kMaxValueBytes)
        return nullptr;
    data[length] = '\0';
    return pool.Copy(data);
}

static bool IsEmpty(const char* text)
{
    return text == nullptr || text[0] == '\0';
}

bool ReadSubkeyDrivers(HKEY root, const char* keyPath, FactPool& pool,
                       FactArray<SubkeyDriver>& drivers)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    char name[MAX_PATH + 1];
    for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        HKEY subkey = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &subkey) != ERROR_SUCCESS)
            continue;
        SubkeyDriver driver = {nullptr, ReadStringValue(subkey, "Dll", pool)};
        RegCloseKey(subkey);
        if (IsEmpty(driver.dll))
            continue;
        driver.name = pool.Copy(name);
        if (driver.name != nullptr)
            drivers.Add(driver);
    }
    RegCloseKey(key);
    return drivers.Ok() && pool.Ok();
}

// A driver's version or date as a report line carries it: one longer than
// any real one ("10.18.13.5362", "6-12-2023") counts as missing.
static const char* ShortOrMissing(const char* text)
{
    const std::size_t kLongest = 63;
    return text != nullptr && std::strlen(text) <= kLongest ? text : nullptr;
}

// The adapters' class key holds at most this many numbered subkeys.
const int kDisplayAdapterKeys = 32;

bool ReadDisplayAdapters(HKEY root, const char* classKeyPath, FactPool& pool,
                         FactArray<DisplayAdapter>& adapters)
{
    HKEY classKey = nullptr;
    if (RegOpenKeyExA(root, classKeyPath, 0, KEY_READ, &classKey) != ERROR_SUCCESS)
        return true;
    for (int number = 0; number < kDisplayAdapterKeys; ++number) {
        char name[8];
        wsprintfA(name, "%04d", number);
        HKEY key = nullptr;
        if (RegOpenKeyExA(classKey, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DisplayAdapter adapter = {nullptr, ReadStringValue(key, "OpenGLDriverName", pool), nullptr,
                                  nullptr, nullptr};
        if (!IsEmpty(adapter.name)) {
            adapter.description = ReadStringValue(key, "DriverDesc", pool);
            if (adapter.description == nullptr)
                adapter.description = "";
            adapter.wowName = ReadStringValue(key, "OpenGLDriverNameWow", pool);
            adapter.driverVersion = ShortOrMissing(ReadStringValue(key, "DriverVersion", pool));
            adapter.driverDate = ShortOrMissing(ReadStringValue(key, "DriverDate", pool));
            adapters.Add(adapter);
        }
        RegCloseKey(key);
    }
    RegCloseKey(classKey);
    return adapters.Ok() && pool.Ok();
}

DriverDllScan::~DriverDllScan()
{
    if (versionLibrary_ != nullptr)
        FreeLibrary(versionLibrary_);
}

void DriverDllScan::CheckName(const char* name, const char* source)
{
    if (IsEmpty(name))
        return;
    HMODULE module = GetModuleHandleA(name);
    if (module != nullptr)
        Check(module, source);
}

HANDLE SnapshotModules(CreateSnapshotFunction createSnapshot)
{
    HANDLE snapshot = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kModuleSnapshotAttempts; ++attempt) {
        snapshot = createSnapshot(TH32CS_SNAPMODULE, 0);
        // NOTE: Windows documents ERROR_BAD_LENGTH as worth another try: a
        // module was being loaded or unloaded while the list was taken.
        if (snapshot != INVALID_HANDLE_VALUE || GetLastError() != ERROR_BAD_LENGTH)
            break;
    }
    return snapshot;
}

void DriverDllScan::CheckLoadedModules()
{
    typedef BOOL(WINAPI * ModuleWalkFunction)(HANDLE, MODULEENTRY32*);
    // NOTE: NT 4.0's KERNEL32 has no Tool Help functions.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    CreateSnapshotFunction createSnapshot =
        FetchFunction<CreateSnapshotFunction>(kernel, "CreateToolhelp32Snapshot");
    ModuleWalkFunction first = FetchFunction<ModuleWalkFunction>(kernel, "Module32First");
    ModuleWalkFunction next = FetchFunction<ModuleWalkFunction>(kernel, "Module32Next");
    if (createSnapshot == nullptr || first == nullptr || next == nullptr)
        return;
    HANDLE snapshot = SnapshotModules(createSnapshot);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = first(snapshot, &entry); more != FALSE; more = next(snapshot, &entry))
        Check(entry.hModule, kDriverSourceLoadedModules);
    CloseHandle(snapshot);
}

void DriverDllScan::Check(HMODULE module, const char* source)
{
    for (int i = 0; i < seen_.Count(); ++i) {
        if (seen_[i] == module)
            return;
    }
    if (GetProcAddress(module, "DrvSetContext") == nullptr)
        return;
    seen_.Add(module);
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    // NOTE: Windows XP leaves a path that fills the buffer unterminated.
    path[length <= MAX_PATH ? length : 0] = '\0';
    DriverDll driver = {pool_.Copy(path), nullptr, source};
    if (driver.path == nullptr)
        return;
    driver.version = FileVersion(driver.path);
    found_.Add(driver);
}

const char* DriverDllScan::FileVersion(const char* path)
{
    typedef DWORD(WINAPI * SizeFunction)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI * InfoFunction)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI * QueryFunction)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    if (!versionLibraryTried_) {
        versionLibraryTried_ = true;
        versionLibrary_ = LoadLibraryA("version.dll");
    }
    if (versionLibrary_ == nullptr)
        return nullptr;
    SizeFunction infoSize = FetchFunction<SizeFunction>(versionLibrary_, "GetFileVersionInfoSizeA");
    InfoFunction info = FetchFunction<InfoFunction>(versionLibrary_, "GetFileVersionInfoA");
    QueryFunction query = FetchFunction<QueryFunction>(versionLibrary_, "VerQueryValueA");
    if (infoSize == nullptr || info == nullptr || query == nullptr)
        return nullptr;

    DWORD handle = 0;
    const DWORD size = infoSize(path, &handle);
    if (size == 0)
        return nullptr;
    void* block = std::malloc(size);
    if (block == nullptr)
        return nullptr;
    const char* version = nullptr;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (info(path, 0, size, block) != FALSE &&
        query(block, "\\", reinterpret_cast<LPVOID*>(&fixed), &fixedLength) != FALSE &&
        fixed != nullptr && fixedLength >= sizeof(VS_FIXEDFILEINFO) &&
        fixed->dwSignature == 0xFEEF04BD) {
        char text[48];
        wsprintfA(text, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        version = pool_.Copy(text);
    }
    std::free(block);
    return version;
}
