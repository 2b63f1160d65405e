// The registry store under Wine's real registry, on a scratch key of the
// current user: the read capacities at their limits, and data stored without
// a terminator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "drivers/driver_registrations.h"
#include "drivers/registry_driver_store.h"
#include "tests/support/value_changes_denied.h"

namespace {

const char kScratchKey[] = "Software\\glinspect-tests\\OpenGLdrivers";

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey); }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\glinspect-tests");
    }

    // Stores data under name with exactly byteCount bytes of it.
    static void Put(const std::string& name, const std::string& data, size_t byteCount)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kScratchKey, &key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>(byteCount)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void Put(const std::string& name, const std::string& data)
    {
        Put(name, data, data.size() + 1);
    }

    DriverTableData Read()
    {
        RegistryDriverStore store(HKEY_CURRENT_USER, kScratchKey);
        DriverTableData table;
        ReadDriverTable(table, store);
        return table;
    }
};

TEST_F(RegistryStore, OpeningCreatesTheMissingKey)
{
    EXPECT_EQ(Read().driverCount, 1);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryStore, NameOf1022CharactersIsReadAndOf1023IsNot)
{
    const std::string fits(kDriverReadCapacity - 1, 'n');
    Put(fits, "a.dll");
    DriverTableData table = Read();
    ASSERT_EQ(table.driverCount, 2);
    EXPECT_EQ(std::string(table.entries[1].valueName), fits);

    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
    Put(std::string(kDriverReadCapacity, 'n'), "a.dll");
    table = Read();
    EXPECT_EQ(table.driverCount, 1);
    EXPECT_EQ(table.entries[1].valueName[0], '\0');
}

TEST_F(RegistryStore, DataOf1023BytesWithItsNulIsReadAndOf1024IsNot)
{
    const std::string fits(kDriverReadCapacity - 1, 'd');
    Put("A", fits);
    DriverTableData table = Read();
    ASSERT_EQ(table.driverCount, 2);
    EXPECT_EQ(std::string(table.entries[1].dllName), fits);

    Put("A", std::string(kDriverReadCapacity, 'd'));
    table = Read();
    EXPECT_EQ(table.driverCount, 1);
    EXPECT_EQ(table.entries[1].dllName[0], '\0');
}

TEST_F(RegistryStore, DataWithoutTerminatorStaysTerminatedInTheTable)
{
    // NOTE: Wine's RegEnumValueA adds the missing NUL to string data and
    // counts it, so 1022 unterminated bytes are the most that fit here.
    const std::string data(kDriverReadCapacity - 1, 'd');
    Put("A", data, data.size());
    RegistryDriverStore store(HKEY_CURRENT_USER, kScratchKey);
    DriverTableData table;
    std::memset(&table, 'x', sizeof table);
    ReadDriverTable(table, store);
    ASSERT_EQ(table.driverCount, 2);
    EXPECT_EQ(std::string(table.entries[1].dllName), data);
}

TEST_F(RegistryStore, WrittenValueIsAStringWhoseLengthCountsTheNul)
{
    RegistryDriverStore store(HKEY_CURRENT_USER, kScratchKey);
    ASSERT_TRUE(store.Open());
    EXPECT_TRUE(store.WriteString("~Vendor", "vendor.dll"));
    EXPECT_TRUE(store.DeleteValue("~Vendor") && store.WriteString("Vendor", "vendor.dll"));
    EXPECT_TRUE(store.DeleteValue("~Vendor")) << "already gone is gone";
    store.Close();

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    BYTE data[64] = {};
    DWORD length = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, "Vendor", nullptr, &type, data, &length), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(length, sizeof "vendor.dll");
    EXPECT_STREQ(reinterpret_cast<char*>(data), "vendor.dll");
}

TEST_F(RegistryStore, ValueReadByNameIsAStringThatFits)
{
    Put("A", "a.dll");
    Put("Unterminated", "u.dll", 5);
    Put("Long", std::string(kDriverReadCapacity, 'd'));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kScratchKey, &key), ERROR_SUCCESS);
    const DWORD number = 1;
    RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);

    RegistryDriverStore store(HKEY_CURRENT_USER, kScratchKey);
    ASSERT_TRUE(store.Open());
    char data[kDriverFieldCapacity];
    std::memset(data, 'x', sizeof data);
    EXPECT_EQ(store.ReadString("a", data, kDriverReadCapacity), ValueLookup::kFound);
    EXPECT_STREQ(data, "a.dll");
    std::memset(data, 'x', sizeof data);
    EXPECT_EQ(store.ReadString("Unterminated", data, kDriverReadCapacity), ValueLookup::kFound);
    EXPECT_STREQ(data, "u.dll");
    EXPECT_EQ(store.ReadString("Missing", data, kDriverReadCapacity), ValueLookup::kMissing);
    EXPECT_EQ(store.ReadString("Long", data, kDriverReadCapacity), ValueLookup::kUnreadable);
    EXPECT_EQ(store.ReadString("Number", data, kDriverReadCapacity), ValueLookup::kUnreadable);
    store.Close();
}

}  // namespace

namespace {

TEST_F(RegistryStore, AReadOnlyStoreCreatesNothingAndWritesNothing)
{
    RegistryDriverStore missing(HKEY_CURRENT_USER, kScratchKey, RegistryDriverStore::kReadOnly);
    EXPECT_FALSE(missing.Open());
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_READ, &key), ERROR_SUCCESS);

    Put("VendorGL", "vendorgl.dll");
    RegistryDriverStore store(HKEY_CURRENT_USER, kScratchKey, RegistryDriverStore::kReadOnly);
    DriverTableData table;
    ReadDriverTable(table, store);
    EXPECT_EQ(table.driverCount, 2);
    EXPECT_STREQ(table.entries[1].valueName, "VendorGL");

    // Even a switch through it leaves the registration as it was.
    SwitchDriverRegistration(table, store, 0);
    EXPECT_EQ(Read().driverCount, 2);
    EXPECT_STREQ(Read().entries[1].valueName, "VendorGL");
}

TEST_F(RegistryStore, AKeyWithoutWriteAccessRefusesTheSwitch)
{
    Put("VendorGL", "vendorgl.dll");
    const DriverTableData table = Read();
    ValueChangesDenied denied(HKEY_CURRENT_USER, kScratchKey);
    ASSERT_TRUE(denied.Denied());

    RegistryDriverStore store(HKEY_CURRENT_USER, kScratchKey);
    ASSERT_TRUE(store.Open()) << "opened with the rights it has";
    EXPECT_FALSE(store.WriteString("~VendorGL", "vendorgl.dll"));
    EXPECT_FALSE(store.DeleteValue("VendorGL")) << "denied is not the same as not there";
    EXPECT_FALSE(store.DeleteValue("Missing"));
    store.Close();
    EXPECT_EQ(SwitchDriverRegistration(table, store, 0), SwitchOutcome::kRefused);
    EXPECT_STREQ(Read().entries[1].valueName, "VendorGL");

    ASSERT_TRUE(denied.Restore());
    EXPECT_EQ(SwitchDriverRegistration(table, store, 0), SwitchOutcome::kWritten);
    EXPECT_STREQ(Read().entries[1].valueName, "~VendorGL");
}

}  // namespace
