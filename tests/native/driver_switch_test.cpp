// Picking a line of the driver list rewrites the registrations in the store.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "drivers/driver_registrations.h"
#include "memory_driver_store.h"

namespace {

using Values = MemoryDriverStore::Values;
constexpr SwitchOutcome kWritten = SwitchOutcome::kWritten;
constexpr SwitchOutcome kRefused = SwitchOutcome::kRefused;
constexpr SwitchOutcome kUndoFailed = SwitchOutcome::kUndoFailed;

// The program's view of a store: the table read at start and the picks made
// on its lines afterwards.
class DriverSwitch : public ::testing::Test {
protected:
    void Start(Values values)
    {
        store_.values = std::move(values);
        ReadDriverTable(table_, store_);
    }
    // What the switch says became of it.
    SwitchOutcome Pick(int line)
    {
        const SwitchOutcome outcome = SwitchDriverRegistration(table_, store_, line);
        EXPECT_FALSE(store_.open) << "key left open";
        return outcome;
    }
    static Values Sorted(Values values)
    {
        std::sort(values.begin(), values.end());
        return values;
    }
    // The line a fresh start would select.
    int SelectionAfterRestart()
    {
        DriverTableData table;
        ReadDriverTable(table, store_);
        return InitialDriverSelection(table);
    }

    MemoryDriverStore store_;
    DriverTableData table_;
};

TEST_F(DriverSwitch, NoRegistrationWritesNothing)
{
    Start({});
    EXPECT_EQ(kWritten, Pick(0)) << "nothing to write is no failure";
    EXPECT_EQ(store_.writes + store_.deletes, 0);
    EXPECT_TRUE(store_.values.empty());
}

TEST_F(DriverSwitch, OneDriverRoundTripsTwice)
{
    Start({{"Vendor", "vendor.dll"}});
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(kWritten, Pick(0));
        EXPECT_EQ(store_.values, (Values{{"~Vendor", "vendor.dll"}}));
        EXPECT_EQ(SelectionAfterRestart(), 0);
        EXPECT_EQ(kWritten, Pick(1));
        EXPECT_EQ(store_.values, (Values{{"Vendor", "vendor.dll"}}));
        EXPECT_EQ(SelectionAfterRestart(), 1);
    }
}

TEST_F(DriverSwitch, DisabledDriverIsEnabledByItsLine)
{
    Start({{"~Vendor", "vendor.dll"}});
    Pick(1);
    EXPECT_EQ(store_.values, (Values{{"Vendor", "vendor.dll"}}));
    Pick(0);
    EXPECT_EQ(store_.values, (Values{{"~Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, PickingTheFormInEffectAgainKeepsOneValue)
{
    Start({{"~Vendor", "vendor.dll"}});
    EXPECT_EQ(kWritten, Pick(0)) << "the enabled form was not there to delete";
    EXPECT_EQ(store_.values, (Values{{"~Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, OnlyOneLeadingTildeIsTheDisabledMark)
{
    Start({{"~~Odd", "odd.dll"}});
    Pick(1);
    EXPECT_EQ(store_.values, (Values{{"~Odd", "odd.dll"}}));
    Pick(0);
    EXPECT_EQ(store_.values, (Values{{"~~Odd", "odd.dll"}}));
}

TEST_F(DriverSwitch, FailedWriteKeepsTheOldRegistrationAndSaysSo)
{
    Start({{"Vendor", "vendor.dll"}});
    store_.failWrites = true;
    EXPECT_EQ(kRefused, Pick(0));
    EXPECT_EQ(store_.writes, 1);
    EXPECT_EQ(store_.deletes, 0);
    EXPECT_EQ(store_.values, (Values{{"Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, FailedDeleteIsUndone)
{
    Start({{"Vendor", "vendor.dll"}});
    store_.refusedDeletes = {"Vendor"};
    EXPECT_EQ(kRefused, Pick(0));
    EXPECT_EQ(store_.values, (Values{{"Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, SecondRowRefusedUndoesTheFirstAndChangesNothing)
{
    Start({{"A", "a.dll"}, {"B", "b.dll"}});
    store_.refusedWrites = {"~B"};
    EXPECT_EQ(kRefused, Pick(0));
    EXPECT_EQ(Sorted(store_.values), (Values{{"A", "a.dll"}, {"B", "b.dll"}}))
        << "the registry keeps no order of its own";

    // A row already in its new form, and a new form written over an older
    // value of that name, come back as they were too.
    const Values before = {{"~A", "a.dll"}, {"B", "b.dll"}, {"C", "c.dll"}, {"~B", "old-b.dll"}};
    Start(before);
    store_.refusedWrites = {"~C"};
    EXPECT_EQ(kRefused, Pick(0));
    EXPECT_EQ(Sorted(store_.values), Sorted(before));
}

TEST_F(DriverSwitch, UndoThatFailsKeepsEveryRegistrationAndSaysSo)
{
    Start({{"A", "a.dll"}, {"B", "b.dll"}});
    store_.refusedWrites = {"~B", "A"};  // the switch fails at B, the undo at A
    EXPECT_EQ(kUndoFailed, Pick(0));
    EXPECT_EQ(Sorted(store_.values), (Values{{"B", "b.dll"}, {"~A", "a.dll"}}));

    Start({{"Vendor", "vendor.dll"}});
    store_.failDeletes = true;  // "Vendor" stays, and so does the "~Vendor" written
    EXPECT_EQ(kUndoFailed, Pick(0));
    EXPECT_EQ(store_.values, (Values{{"Vendor", "vendor.dll"}, {"~Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, PreviousFormThatCannotBeReadRefusesTheSwitch)
{
    Start({{"Vendor", "vendor.dll"}});
    store_.values.emplace_back("~Vendor", std::string(kDriverReadCapacity, 'd'));
    EXPECT_EQ(kRefused, Pick(0));
    EXPECT_EQ(store_.writes + store_.deletes, 0);
}

TEST_F(DriverSwitch, OneRowThatCannotBeDisabledRefusesTheWholeSwitch)
{
    const std::string tooLong(kDriverReadCapacity - 1, 'n');  // its "~" form would not fit
    Start({{"A", "a.dll"}, {tooLong, "long.dll"}, {"C", "c.dll"}});
    EXPECT_EQ(kRefused, Pick(0));
    EXPECT_EQ(store_.writes, 0);
    EXPECT_EQ(store_.values, (Values{{"A", "a.dll"}, {tooLong, "long.dll"}, {"C", "c.dll"}}));
}

TEST_F(DriverSwitch, KeyThatCannotBeOpenedIsNotWritten)
{
    Start({{"Vendor", "vendor.dll"}});
    store_.failOpen = true;
    EXPECT_EQ(kRefused, Pick(0));
    EXPECT_EQ(kRefused, Pick(1));
    EXPECT_EQ(store_.writes + store_.deletes + store_.closes, 1) << "only the start-up read closes";
    EXPECT_EQ(store_.values, (Values{{"Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, LinesOutsideTheTableChangeNothing)
{
    Start({{"Vendor", "vendor.dll"}});
    const int opensAtStart = store_.opens;
    EXPECT_EQ(kWritten, Pick(2));
    EXPECT_EQ(kWritten, Pick(kDriverRows));
    EXPECT_EQ(kWritten, Pick(-1));
    EXPECT_EQ(store_.opens, opensAtStart);
    EXPECT_EQ(store_.values, (Values{{"Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, ValueAddedByAnotherProgramIsLeftAlone)
{
    Start({{"Vendor", "vendor.dll"}});
    // Another program registers a driver that now enumerates first.
    store_.values.insert(store_.values.begin(), {"Other", "other.dll"});
    Pick(0);
    EXPECT_EQ(store_.values, (Values{{"Other", "other.dll"}, {"~Vendor", "vendor.dll"}}));
}

TEST_F(DriverSwitch, DataChangedSinceStartIsWhatTheSwitchKeeps)
{
    // A driver update rewrites the registration while the dialog is open.
    Start({{"A", "a.dll"}, {"~B", "b.dll"}});
    store_.values = {{"A", "a-new.dll"}, {"~B", "b-new.dll"}};
    EXPECT_EQ(kWritten, Pick(0));
    EXPECT_EQ(store_.values, (Values{{"~B", "b-new.dll"}, {"~A", "a-new.dll"}}));
    EXPECT_EQ(kWritten, Pick(2));
    EXPECT_EQ(store_.values, (Values{{"~A", "a-new.dll"}, {"B", "b-new.dll"}}));

    // Only when the registration is gone is the name read at start written.
    store_.values.clear();
    EXPECT_EQ(kWritten, Pick(1));
    EXPECT_EQ(store_.values, (Values{{"A", "a.dll"}}));
}

TEST_F(DriverSwitch, SoftwareLineDisablesEveryRegisteredRow)
{
    Start({{"A", "a.dll"}, {"~B", "b.dll"}, {"C", "c.dll"}});
    Pick(0);
    EXPECT_EQ(store_.values, (Values{{"~B", "b.dll"}, {"~A", "a.dll"}, {"~C", "c.dll"}}));
}

TEST_F(DriverSwitch, DriverLineEnablesThatRowAlone)
{
    Start({{"A", "a.dll"}, {"~B", "b.dll"}});
    Pick(2);
    EXPECT_EQ(store_.values, (Values{{"A", "a.dll"}, {"B", "b.dll"}}));
    Pick(0);
    Pick(1);
    EXPECT_EQ(store_.values, (Values{{"~B", "b.dll"}, {"A", "a.dll"}}));
}

TEST_F(DriverSwitch, ValuesBeyondTheThirdAreNeverTouched)
{
    Start({{"A", "a.dll"}, {"B", "b.dll"}, {"C", "c.dll"}, {"D", "d.dll"}, {"~E", "e.dll"}});
    Pick(0);
    EXPECT_EQ(store_.values, (Values{{"D", "d.dll"}, {"~E", "e.dll"}, {"~A", "a.dll"},
                                     {"~B", "b.dll"}, {"~C", "c.dll"}}));
    Pick(3);
    Pick(1);
    EXPECT_EQ(store_.values, (Values{{"D", "d.dll"}, {"~E", "e.dll"}, {"~B", "b.dll"},
                                     {"C", "c.dll"}, {"A", "a.dll"}}));
}

TEST_F(DriverSwitch, DisabledNameMustStayReadable)
{
    const std::string longest(kDriverReadCapacity - 1, 'n');  // its "~" form would not fit
    Start({{longest, "long.dll"}});
    EXPECT_EQ(kRefused, Pick(0)) << "the driver stays enabled";
    EXPECT_EQ(store_.values, (Values{{longest, "long.dll"}}));
    EXPECT_EQ(store_.writes, 0);

    const std::string shorter(kDriverReadCapacity - 2, 'n');
    Start({{shorter, "short.dll"}});
    Pick(0);
    EXPECT_EQ(store_.values, (Values{{"~" + shorter, "short.dll"}}));
    EXPECT_EQ(SelectionAfterRestart(), 0);
}

TEST_F(DriverSwitch, LongestDisabledNameCanBeEnabled)
{
    const std::string longest = "~" + std::string(kDriverReadCapacity - 2, 'n');
    Start({{longest, "long.dll"}});
    Pick(1);
    EXPECT_EQ(store_.values, (Values{{longest.substr(1), "long.dll"}}));
}

}  // namespace
