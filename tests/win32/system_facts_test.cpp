// Whether a registered DLL is there and loaded, as the advice needs it, under
// Wine's real loader. (The System and Display lines are checked end to end.)
#include <gtest/gtest.h>

#include "platform/system_facts.h"
#include "platform/windows_headers.h"

namespace {

TEST(SystemFacts, ARegisteredDllIsFoundLoadedOrNeither)
{
    const DllPresence opengl = CheckDllPresence("opengl32.dll");
    EXPECT_TRUE(opengl.found && opengl.loaded) << "linked by this program";

    // Beside this program, where SearchPathA looks first; named without ".dll" as registrations may.
    const char kBeside[] = "glinspect_test_not_driver";
    ASSERT_EQ(GetModuleHandleA(kBeside), nullptr);
    const DllPresence beside = CheckDllPresence(kBeside);
    EXPECT_TRUE(beside.found);
    EXPECT_FALSE(beside.loaded);
    HMODULE module = LoadLibraryA(kBeside);
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(CheckDllPresence(kBeside).loaded);
    FreeLibrary(module);

    const DllPresence nowhere = CheckDllPresence("glinspect-nowhere.dll");
    EXPECT_FALSE(nowhere.found || nowhere.loaded);
    EXPECT_STREQ(nowhere.name, "glinspect-nowhere.dll");
}

}  // namespace
