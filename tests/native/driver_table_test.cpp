// Reading the registrations into the driver table, its lines and the line
// selected at start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/driver_registrations.h"
#include "memory_driver_store.h"

namespace {

using Values = MemoryDriverStore::Values;

const char kSoftwareLine[] = "Software (MICROSOFT): OpenGL32.dll";

std::vector<std::string> Lines(const DriverTableData& table)
{
    std::vector<std::string> lines;
    for (int row = 0; row < table.driverCount; ++row) {
        char line[kDriverLineCapacity];
        BuildDriverLine(table.entries[row], line, sizeof line);
        lines.push_back(line);
    }
    return lines;
}

DriverTableData Read(MemoryDriverStore& store)
{
    DriverTableData table;
    std::memset(&table, 0x5a, sizeof table);  // whatever was there before
    ReadDriverTable(table, store);
    EXPECT_EQ(store.opens, store.closes + (store.failOpen ? 1 : 0));
    return table;
}

TEST(DriverTable, NoRegistrationGivesTheSoftwareLineSelected)
{
    MemoryDriverStore store;
    const DriverTableData table = Read(store);
    EXPECT_EQ(table.driverCount, 1);
    EXPECT_EQ(Lines(table), std::vector<std::string>{kSoftwareLine});
    EXPECT_EQ(InitialDriverSelection(table), 0);
    for (int row = 1; row < kDriverRows; ++row)
        EXPECT_EQ(table.entries[row].valueName[0], '\0');
}

TEST(DriverTable, EnabledDriverIsTheLineInEffect)
{
    MemoryDriverStore store(Values{{"Vendor GL", "vendorgl.dll"}});
    const DriverTableData table = Read(store);
    EXPECT_EQ(Lines(table), (std::vector<std::string>{kSoftwareLine, "Vendor GL: vendorgl.dll"}));
    EXPECT_EQ(InitialDriverSelection(table), 1);
}

TEST(DriverTable, DisabledDriverLeavesTheSoftwareLineInEffect)
{
    MemoryDriverStore store(Values{{"~Vendor GL", "vendorgl.dll"}});
    const DriverTableData table = Read(store);
    EXPECT_EQ(Lines(table), (std::vector<std::string>{kSoftwareLine, "~Vendor GL: vendorgl.dll"}));
    EXPECT_EQ(InitialDriverSelection(table), 0);
}

TEST(DriverTable, OnlyRowOneDecidesTheSelection)
{
    MemoryDriverStore store(Values{{"A", "a.dll"}, {"~B", "b.dll"}});
    EXPECT_EQ(InitialDriverSelection(Read(store)), 1);
    MemoryDriverStore other(Values{{"~A", "a.dll"}, {"B", "b.dll"}});
    EXPECT_EQ(InitialDriverSelection(Read(other)), 0);
}

TEST(DriverTable, ReadsAtMostThreeRegistrations)
{
    MemoryDriverStore store(Values{{"A", "a.dll"}, {"B", "b.dll"}, {"C", "c.dll"}, {"D", "d.dll"},
                             {"E", "e.dll"}});
    const DriverTableData table = Read(store);
    EXPECT_EQ(table.driverCount, kDriverRows);
    EXPECT_EQ(Lines(table), (std::vector<std::string>{kSoftwareLine, "A: a.dll", "B: b.dll",
                                                      "C: c.dll"}));
    EXPECT_EQ(store.reads, 3);
}

TEST(DriverTable, NameOrDataOfTheFullCapacityEndsTheReading)
{
    const std::string fits(kDriverReadCapacity - 1, 'n');  // 1022 + NUL = 1023
    const std::string tooLong(kDriverReadCapacity, 'n');   // 1023 + NUL = 1024

    MemoryDriverStore longName(Values{{"A", "a.dll"}, {fits, "f.dll"}, {tooLong, "x.dll"}});
    DriverTableData table = Read(longName);
    EXPECT_EQ(table.driverCount, 3);
    EXPECT_EQ(std::string(table.entries[2].valueName), fits);
    EXPECT_EQ(table.entries[3].valueName[0], '\0');

    MemoryDriverStore longData(Values{{"A", fits}, {"B", tooLong}, {"C", "c.dll"}});
    table = Read(longData);
    EXPECT_EQ(table.driverCount, 2);
    EXPECT_EQ(std::string(table.entries[1].dllName), fits);
    EXPECT_EQ(longData.reads, 2) << "nothing after the value that did not fit";
}

TEST(DriverTable, FailedReadKeepsTheRowsBeforeIt)
{
    MemoryDriverStore store(Values{{"A", "a.dll"}, {"B", "b.dll"}, {"C", "c.dll"}});
    store.failReadAt = 1;
    const DriverTableData table = Read(store);
    EXPECT_EQ(Lines(table), (std::vector<std::string>{kSoftwareLine, "A: a.dll"}));
    EXPECT_EQ(table.entries[2].valueName[0], '\0');
    EXPECT_EQ(table.entries[2].dllName[0], '\0');
}

TEST(DriverTable, KeyThatCannotBeOpenedGivesRowZeroOnly)
{
    MemoryDriverStore store(Values{{"A", "a.dll"}});
    store.failOpen = true;
    const DriverTableData table = Read(store);
    EXPECT_EQ(Lines(table), std::vector<std::string>{kSoftwareLine});
    EXPECT_EQ(InitialDriverSelection(table), 0);
    EXPECT_EQ(store.reads, 0);
}

TEST(DriverLine, LongestFieldsFitTheLineWhole)
{
    DriverEntry entry = {};
    const std::string name(kDriverReadCapacity - 1, 'n');
    const std::string dll(kDriverReadCapacity - 1, 'd');
    std::memcpy(entry.valueName, name.c_str(), name.size() + 1);
    std::memcpy(entry.dllName, dll.c_str(), dll.size() + 1);
    char line[kDriverLineCapacity];
    EXPECT_EQ(BuildDriverLine(entry, line, sizeof line), name.size() + 2 + dll.size());
    EXPECT_EQ(std::string(line), name + ": " + dll);
}

TEST(DriverLine, SmallBufferIsCutAndTerminated)
{
    DriverEntry entry = {};
    std::strcpy(entry.valueName, "Name");
    std::strcpy(entry.dllName, "x.dll");
    char line[8];
    std::memset(line, '#', sizeof line);
    EXPECT_EQ(BuildDriverLine(entry, line, 7), 6u);
    EXPECT_STREQ(line, "Name: ");
    EXPECT_EQ(line[7], '#') << "wrote past the capacity";
    EXPECT_EQ(BuildDriverLine(entry, line, 1), 0u);
    EXPECT_STREQ(line, "");
}

TEST(DriverKey, NtFamilyHasItsOwnKey)
{
    EXPECT_STREQ(DriverKeyForPlatform(2),
                 "Software\\Microsoft\\Windows NT\\CurrentVersion\\OpenGLdrivers");
    EXPECT_STREQ(DriverKeyForPlatform(1),
                 "Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers");
    EXPECT_STREQ(DriverKeyForPlatform(0), DriverKeyForPlatform(1));
}

}  // namespace
