// The entry-point table the generator makes of a made-up registry
// (tests/native/registry), and the check of a driver's answers against it.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/entry_points.h"

extern const EntryPointTable kMadeUpEntryPoints;

namespace {

std::vector<std::string> CommandsOf(const EntryPointRegistry& registry, int group)
{
    std::vector<std::string> names;
    registry.ForEachCommand(group, [&](int command) { names.push_back(registry.Command(command)); });
    return names;
}

TEST(EntryPointTable, HoldsTheDesktopVersionsFromOnePointTwoAndTheExtensionsSorted)
{
    const EntryPointRegistry registry(kMadeUpEntryPoints);
    ASSERT_TRUE(registry.Ok());
    std::vector<std::string> groups;
    for (int group = 0; group < registry.GroupCount(); ++group)
        groups.push_back(registry.GroupName(group));
    // 1.0 and 1.1 are opengl32.dll's exports; OpenGL ES's feature and GL_OES_only are not desktop GL.
    EXPECT_EQ(groups, (std::vector<std::string>{"GL_VERSION_1_2", "GL_VERSION_2_0", "GL_VERSION_3_0",
                                                "GL_VERSION_3_2", "GL_ARB_empty", "GL_ARB_one", "GL_EXT_two",
                                                "WGL_ARB_three"}));
    EXPECT_EQ(registry.VersionCount(), 4);
    EXPECT_EQ(CommandsOf(registry, 2), (std::vector<std::string>{"glEpsilon", "glEpsilonMore", "glEtaCompat"}));
    EXPECT_EQ(CommandsOf(registry, registry.FindExtension("GL_ARB_one")),
              (std::vector<std::string>{"glBeta", "glOneARB"}));
    EXPECT_EQ(CommandsOf(registry, registry.FindExtension("GL_EXT_two")), std::vector<std::string>{"glTwoEXT"})
        << "not the OpenGL ES command";
    EXPECT_EQ(registry.GroupCommandCount(registry.FindExtension("GL_ARB_empty")), 0);
    EXPECT_EQ(registry.FindExtension("WGL_ARB_three"), 7);
    EXPECT_EQ(registry.FindExtension("GL_OES_only"), -1);
    EXPECT_EQ(registry.FindExtension("GL_VERSION_1_2"), -1) << "a version is no extension";

    std::map<std::string, std::pair<bool, bool>> flags;
    for (int i = 0; i < registry.CommandCount(); ++i)
        flags[registry.Command(i)] = {registry.IsOpenGlExport(i), registry.NotInCoreProfile(i)};
    EXPECT_EQ(flags.size(), 10u);
    EXPECT_EQ(flags["glBeta"], std::make_pair(true, false));
    EXPECT_EQ(flags["glGamma"], std::make_pair(false, true)) << "removed";
    EXPECT_EQ(flags["glEtaCompat"], std::make_pair(false, true)) << "for the compatibility profile only";
    EXPECT_EQ(flags["glZeta"], std::make_pair(false, false));
    EXPECT_EQ(flags.count("glOnlyEs") + flags.count("glOesOnly") + flags.count("wglMade"), 0u);
}

// A driver that lacks glEpsilon (NULL) and glOneARB (1), answers -1 for
// wglThreeARB and has the rest; and what it was asked.
std::vector<std::string> asked;
const void* FakeLookup(const char* name, bool openglExport)
{
    asked.push_back(std::string(openglExport ? "export " : "") + name);
    const std::string command = name;
    if (command == "glEpsilon")
        return nullptr;
    if (command == "glOneARB")
        return reinterpret_cast<const void*>(std::uintptr_t{1});
    if (command == "wglThreeARB")
        return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(-1));
    return &asked;
}

struct Missing {
    std::string of, command;
    long answer;
    bool operator==(const Missing& other) const
    {
        return of == other.of && command == other.command && answer == other.answer;
    }
};

std::vector<Missing> MissingOf(const EntryPointFacts& facts)
{
    std::vector<Missing> missing;
    for (int i = 0; i < facts.missingCount; ++i)
        missing.push_back({facts.missing[i].of, facts.missing[i].command, facts.missing[i].answer});
    return missing;
}

TEST(EntryPointCheck, CountsWhatTheDriverGivesAndKeepsWhatItLacks)
{
    const EntryPointRegistry registry(kMadeUpEntryPoints);
    FactPool pool;
    EntryPointFacts facts = {};
    asked.clear();
    ASSERT_TRUE(CheckVersionEntryPoints(registry, FakeLookup, "3.0 Mesa 22.3.6", false, pool, facts));
    EXPECT_STREQ(facts.version, "3.0");
    EXPECT_EQ(asked, (std::vector<std::string>{"glGamma", "glDelta", "glEpsilon", "glEpsilonMore", "glEtaCompat"}));
    EXPECT_EQ(facts.checked, 5);
    EXPECT_EQ(facts.found, 4);

    const char* const gl[] = {"", "GL_ARB_one", "GL_EXT_two", "GL_unknown", "GL_ARB_empty"};
    const char* const wgl[] = {"WGL_ARB_three", "WGL_unknown"};
    asked.clear();
    ASSERT_TRUE(CheckExtensionEntryPoints(registry, FakeLookup, gl, 5, pool, facts));
    ASSERT_TRUE(CheckExtensionEntryPoints(registry, FakeLookup, wgl, 2, pool, facts));
    EXPECT_EQ(asked, (std::vector<std::string>{"export glBeta", "glOneARB", "glTwoEXT", "wglThreeARB"}))
        << "an OpenGL 1.1 command is asked of opengl32.dll's exports";
    EXPECT_EQ(facts.extensions, 4);
    EXPECT_EQ(facts.unknownExtensions, 2);
    EXPECT_EQ(facts.extensionCommands, 4);
    EXPECT_EQ(facts.extensionFound, 2);

    // The core profile's 3.2 without what it removed or keeps for the compatibility profile.
    asked.clear();
    ASSERT_TRUE(CheckVersionEntryPoints(registry, FakeLookup, "3.2.0 Core Profile", true, pool, facts));
    EXPECT_STREQ(facts.coreVersion, "3.2");
    EXPECT_EQ(asked, (std::vector<std::string>{"glDelta", "glEpsilon", "glEpsilonMore", "glZeta"}));
    EXPECT_EQ(facts.coreChecked, 4);
    EXPECT_EQ(facts.coreFound, 3);
    EXPECT_EQ(facts.checked, 5) << "the compatibility context's counts stay";

    EXPECT_EQ(MissingOf(facts), (std::vector<Missing>{{"GL_VERSION_3_0", "glEpsilon", 0},
                                                      {"GL_ARB_one", "glOneARB", 1},
                                                      {"WGL_ARB_three", "wglThreeARB", -1},
                                                      {"GL_VERSION_3_0 (core profile)", "glEpsilon", 0}}));
    EXPECT_TRUE(pool.Ok());
}

TEST(EntryPointCheck, ANewerVersionThanTheRegistryKnowsChecksEveryVersionAndMemoryRunningOutIsTold)
{
    const EntryPointRegistry registry(kMadeUpEntryPoints);
    FactPool pool;
    EntryPointFacts facts = {};
    asked.clear();
    ASSERT_TRUE(CheckVersionEntryPoints(registry, FakeLookup, "10.1", false, pool, facts));
    EXPECT_STREQ(facts.version, "10.1");
    EXPECT_EQ(facts.checked, 6);

    // glEpsilon is missing, and there is no room to keep it.
    LimitFactAllocations(0);
    EntryPointFacts none = {};
    EXPECT_FALSE(CheckVersionEntryPoints(registry, FakeLookup, "3.0", false, pool, none));
    LimitFactAllocations(-1);
}

}  // namespace
