// The driver facts a report adds, under Wine's real registry and loader:
// registrations read from keys the tests seed under the current user, and
// the loaded-driver scan over DLLs the test build makes.
#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drivers/driver_facts.h"
#include "tests/support/windows_path.h"

namespace {

const char kScratchRoot[] = "Software\\glinspect-tests";
const char kSubkeysKey[] = "Software\\glinspect-tests\\OpenGLdrivers";
const char kClassKey[] = "Software\\glinspect-tests\\Class";

class RegistryFacts : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(kScratchRoot); }
    void TearDown() override { DeleteTree(kScratchRoot); }

    // NOTE: RegDeleteKeyA deletes only keys without subkeys on NT.
    static void DeleteTree(const std::string& path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            return;
        char name[MAX_PATH + 1];
        std::vector<std::string> children;
        for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i)
            children.push_back(name);
        RegCloseKey(key);
        for (const std::string& child : children)
            DeleteTree(path + "\\" + child);
        RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    }

    // Stores exactly the given bytes as value name of the key at path.
    static void Put(const std::string& path, const char* name, DWORD type, const std::string& bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void PutString(const std::string& path, const char* name, const std::string& text)
    {
        Put(path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
    }

    static bool KeyExists(const char* path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
};

TEST_F(RegistryFacts, MissingKeysGiveNothingAndAreNotCreated)
{
    FactPool pool;
    FactArray<SubkeyDriver> drivers;
    FactArray<DisplayAdapter> adapters;
    EXPECT_TRUE(ReadSubkeyDrivers(HKEY_CURRENT_USER, kSubkeysKey, pool, drivers));
    EXPECT_TRUE(ReadDisplayAdapters(HKEY_CURRENT_USER, kClassKey, pool, adapters));
    EXPECT_EQ(drivers.Count(), 0);
    EXPECT_EQ(adapters.Count(), 0);
    EXPECT_FALSE(KeyExists(kScratchRoot));
}

TEST_F(RegistryFacts, SubkeysWithADllStringAreRead)
{
    const std::string base = kSubkeysKey;
    PutString(base, "ValueShaped", "flat.dll");  // a value, not a subkey: not this reader's
    PutString(base + "\\VendorGL", "Dll", "vendorgl.dll");
    Put(base + "\\Numbered", "Dll", REG_DWORD, std::string("\1\0\0\0", 4));
    PutString(base + "\\Empty", "Dll", "");
    PutString(base + "\\OtherValue", "Driver", "other.dll");
    Put(base + "\\Unterminated", "Dll", REG_SZ, "unterm.dll");
    PutString(base + "\\TooLong", "Dll", std::string(4096, 'd'));

    FactPool pool;
    FactArray<SubkeyDriver> drivers;
    ASSERT_TRUE(ReadSubkeyDrivers(HKEY_CURRENT_USER, kSubkeysKey, pool, drivers));
    std::vector<std::string> seen;
    for (int i = 0; i < drivers.Count(); ++i)
        seen.push_back(std::string(drivers[i].name) + ": " + drivers[i].dll);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"Unterminated: unterm.dll", "VendorGL: vendorgl.dll"}));
}

TEST_F(RegistryFacts, DisplayAdaptersFromTheNumberedSubkeysOnly)
{
    const std::string base = kClassKey;
    const std::string longDescription(2000, 'D');
    Put(base + "\\0000", "OpenGLDriverName", REG_MULTI_SZ, std::string("first.dll\0second.dll\0\0", 22));
    PutString(base + "\\0000", "DriverDesc", longDescription);
    PutString(base + "\\0000", "OpenGLDriverNameWow", "first32.dll");
    Put(base + "\\0001", "OpenGLDriverName", REG_BINARY, std::string("bin.dll\0", 8));
    PutString(base + "\\0001", "DriverDesc", "binary adapter");
    Put(base + "\\0002", "OpenGLDriverName", REG_SZ, "unterminated.dll");
    Put(base + "\\0002", "DriverDesc", REG_DWORD, std::string("\1\0\0\0", 4));
    Put(base + "\\0003", "OpenGLDriverName", REG_MULTI_SZ, std::string("\0\0", 2));
    // Values of up to 4096 bytes are read; a longer one is skipped as unreadable.
    const std::string longestName(4095, 'n');
    PutString(base + "\\0004", "OpenGLDriverName", longestName);
    PutString(base + "\\0004", "DriverDesc", std::string(4096, 'D'));
    PutString(base + "\\0005", "OpenGLDriverName", std::string(100000, 'n'));
    PutString(base + "\\0005", "DriverDesc", "Adapter Named Too Long");
    PutString(base + "\\0031", "OpenGLDriverName", "last.dll");
    PutString(base + "\\0031", "DriverDesc", "Last Adapter");
    PutString(base + "\\0032", "OpenGLDriverName", "beyond.dll");
    PutString(base + "\\Properties", "OpenGLDriverName", "named.dll");

    FactPool pool;
    FactArray<DisplayAdapter> adapters;
    ASSERT_TRUE(ReadDisplayAdapters(HKEY_CURRENT_USER, kClassKey, pool, adapters));
    ASSERT_EQ(adapters.Count(), 4);
    EXPECT_STREQ(adapters[0].name, "first.dll");
    EXPECT_EQ(std::string(adapters[0].description), longDescription);
    EXPECT_STREQ(adapters[0].wowName, "first32.dll");
    EXPECT_STREQ(adapters[1].name, "unterminated.dll");
    EXPECT_STREQ(adapters[1].description, "") << "a DriverDesc of another type counts as missing";
    EXPECT_EQ(adapters[1].wowName, nullptr);
    EXPECT_EQ(std::string(adapters[2].name), longestName);
    EXPECT_STREQ(adapters[2].description, "");
    EXPECT_STREQ(adapters[3].name, "last.dll");
    EXPECT_STREQ(adapters[3].description, "Last Adapter");
}

TEST_F(RegistryFacts, AnAdaptersDriverVersionAndDateOnlyWhenSound)
{
    const std::string base = kClassKey;
    PutString(base + "\\0000", "OpenGLDriverName", "a.dll");
    PutString(base + "\\0000", "DriverVersion", "31.0.15.3713");
    PutString(base + "\\0000", "DriverDate", "6-12-2023");
    PutString(base + "\\0001", "OpenGLDriverName", "b.dll");
    Put(base + "\\0001", "DriverVersion", REG_DWORD, std::string("\1\0\0\0", 4));
    PutString(base + "\\0001", "DriverDate", std::string(300, '1'));
    PutString(base + "\\0002", "OpenGLDriverName", "c.dll");
    PutString(base + "\\0002", "DriverDate", std::string(63, '2'));

    FactPool pool;
    FactArray<DisplayAdapter> adapters;
    ASSERT_TRUE(ReadDisplayAdapters(HKEY_CURRENT_USER, kClassKey, pool, adapters));
    ASSERT_EQ(adapters.Count(), 3);
    EXPECT_STREQ(adapters[0].driverVersion, "31.0.15.3713");
    EXPECT_STREQ(adapters[0].driverDate, "6-12-2023");
    EXPECT_EQ(adapters[1].driverVersion, nullptr);
    EXPECT_EQ(adapters[1].driverDate, nullptr);
    EXPECT_EQ(adapters[2].driverVersion, nullptr);
    EXPECT_EQ(std::string(adapters[2].driverDate), std::string(63, '2'));
}

std::string BaseName(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

class LoadedDrivers : public ::testing::Test {
protected:
    void SetUp() override
    {
        versionLoadedBefore_ = GetModuleHandleA("version.dll") != nullptr;
        for (const char* path : {GLINSPECT_TEST_DRIVER, GLINSPECT_TEST_DRIVER_UNVERSIONED,
                                 GLINSPECT_TEST_NOT_DRIVER}) {
            HMODULE module = LoadLibraryA(WindowsPath(path).c_str());
            ASSERT_NE(module, nullptr) << path;
            modules_.push_back(module);
        }
    }
    void TearDown() override
    {
        for (HMODULE module : modules_)
            FreeLibrary(module);
    }

    // The found row whose path names the DLL built from unixPath, or null.
    const DriverDll* Find(const char* unixPath)
    {
        for (int i = 0; i < found_.Count(); ++i) {
            if (lstrcmpiA(found_[i].path, WindowsPath(unixPath).c_str()) == 0)
                return &found_[i];
        }
        return nullptr;
    }

    bool versionLoadedBefore_ = false;
    std::vector<HMODULE> modules_;
    FactPool pool_;
    FactArray<DriverDll> found_;
};

TEST_F(LoadedDrivers, ADriverLoadedUnderAKnownNameIsFoundOnceWithItsVersion)
{
    {
        DriverDllScan scan(pool_, found_);
        scan.CheckName(BaseName(WindowsPath(GLINSPECT_TEST_DRIVER)).c_str(), kDriverSourceRegistered);
        scan.CheckName("no-such-driver.dll", kDriverSourceRegistered);
        scan.CheckName(BaseName(WindowsPath(GLINSPECT_TEST_NOT_DRIVER)).c_str(),
                       kDriverSourceDisplayAdapter);
        scan.CheckName(BaseName(WindowsPath(GLINSPECT_TEST_DRIVER)).c_str(),
                       kDriverSourceDisplayAdapter);
        EXPECT_TRUE(scan.Ok());
    }
    ASSERT_EQ(found_.Count(), 1);
    const DriverDll* driver = Find(GLINSPECT_TEST_DRIVER);
    ASSERT_NE(driver, nullptr) << found_[0].path;
    EXPECT_STREQ(driver->version, "3.14.159.2653");
    EXPECT_STREQ(driver->source, "registered") << "the first source that found it";
    if (!versionLoadedBefore_) {
        EXPECT_EQ(GetModuleHandleA("version.dll"), nullptr) << "VERSION.DLL is freed again";
    }
}

TEST_F(LoadedDrivers, TheModuleListFindsEveryDriverAndNothingElse)
{
    {
        DriverDllScan scan(pool_, found_);
        scan.CheckName(BaseName(WindowsPath(GLINSPECT_TEST_DRIVER)).c_str(), kDriverSourceRegistered);
        scan.CheckLoadedModules();
        EXPECT_TRUE(scan.Ok());
    }
    ASSERT_EQ(found_.Count(), 2) << "Wine's own modules export no DrvSetContext";
    const DriverDll* versioned = Find(GLINSPECT_TEST_DRIVER);
    const DriverDll* unversioned = Find(GLINSPECT_TEST_DRIVER_UNVERSIONED);
    ASSERT_NE(versioned, nullptr);
    ASSERT_NE(unversioned, nullptr);
    EXPECT_STREQ(versioned->source, "registered");
    EXPECT_STREQ(unversioned->source, "loaded modules");
    EXPECT_EQ(unversioned->version, nullptr) << "no version resource: unknown";
    EXPECT_EQ(Find(GLINSPECT_TEST_NOT_DRIVER), nullptr);
}

// A stand-in for CreateToolhelp32Snapshot that fails its first calls with the
// error given, then takes the real snapshot.
int snapshotFailures = 0;
DWORD snapshotError = ERROR_BAD_LENGTH;
int snapshotCalls = 0;

HANDLE WINAPI FlakySnapshot(DWORD flags, DWORD processId)
{
    if (snapshotCalls++ < snapshotFailures) {
        SetLastError(snapshotError);
        return INVALID_HANDLE_VALUE;
    }
    return CreateToolhelp32Snapshot(flags, processId);
}

TEST(ModuleSnapshot, IsAskedAgainOnlyWhileItFailsWithBadLength)
{
    const auto callsFor = [](int failures, DWORD error, bool* taken) {
        snapshotFailures = failures;
        snapshotError = error;
        snapshotCalls = 0;
        HANDLE snapshot = SnapshotModules(FlakySnapshot);
        *taken = snapshot != INVALID_HANDLE_VALUE;
        if (*taken)
            CloseHandle(snapshot);
        return snapshotCalls;
    };
    bool taken = false;
    EXPECT_EQ(callsFor(kModuleSnapshotAttempts - 1, ERROR_BAD_LENGTH, &taken), kModuleSnapshotAttempts);
    EXPECT_TRUE(taken);
    EXPECT_EQ(callsFor(kModuleSnapshotAttempts, ERROR_BAD_LENGTH, &taken), kModuleSnapshotAttempts);
    EXPECT_FALSE(taken) << "it gives up";
    EXPECT_EQ(callsFor(1, ERROR_ACCESS_DENIED, &taken), 1);
    EXPECT_FALSE(taken);
}

}  // namespace
