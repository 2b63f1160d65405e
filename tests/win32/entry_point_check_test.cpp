// The companion's entry-point check with the registry's own table, against a
// stand-in wglGetProcAddress: what it asks of the driver and what of
// opengl32.dll's exports.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/wgl_binding.h"
#include "view/entry_point_check.h"

namespace {

const char* version = nullptr;
std::set<std::string> askedOfDriver;

const GLubyte* WINAPI FakeGetString(GLenum name)
{
    return name == GL_VERSION ? reinterpret_cast<const GLubyte*>(version) : nullptr;
}

// Lacks glGetStringi and answers 1 for wglCreateContextAttribsARB.
PROC WINAPI FakeGetProcAddress(LPCSTR name)
{
    askedOfDriver.insert(name);
    if (std::string(name) == "glGetStringi")
        return nullptr;
    if (std::string(name) == "wglCreateContextAttribsARB")
        return reinterpret_cast<PROC>(static_cast<INT_PTR>(1));
    return reinterpret_cast<PROC>(static_cast<INT_PTR>(0x10000));
}

struct Missing {
    std::string of, command;
    long answer;
    bool operator<(const Missing& other) const { return of + command < other.of + other.command; }
    bool operator==(const Missing& other) const
    {
        return of == other.of && command == other.command && answer == other.answer;
    }
};

TEST(EntryPointCheck, AsksTheDriverForTheRegistrysCommandsAndOpengl32ForItsOwn)
{
    const WglBinding saved = wgl;
    wgl.getString = FakeGetString;
    wgl.getProcAddress = FakeGetProcAddress;
    const char* const gl[] = {"", "GL_KHR_debug", "GL_glinspect_unknown"};
    const char* const wglNames[] = {"WGL_ARB_create_context"};
    ReportData data = {};
    data.glExtensions = {gl, 3};
    data.wglExtensions = {wglNames, 1};
    FactPool pool;
    EntryPointFacts facts = {};
    EntryPointGathering gathering = {false, &data, &pool, &facts};

    version = "3.0 Fake";
    askedOfDriver.clear();
    CheckEntryPoints(&gathering);
    const std::set<std::string> compatibility = askedOfDriver;
    gathering.core = true;
    version = "3.2.0 Core Profile";
    askedOfDriver.clear();
    CheckEntryPoints(&gathering);
    wgl = saved;
    ASSERT_TRUE(pool.Ok());

    EXPECT_STREQ(facts.version, "3.0");
    EXPECT_STREQ(facts.coreVersion, "3.2");
    EXPECT_EQ(compatibility.count("glGetStringi"), 1u);
    EXPECT_EQ(compatibility.count("glWindowPos2d"), 1u) << "OpenGL 1.4";
    EXPECT_EQ(askedOfDriver.count("glWindowPos2d"), 0u) << "the core profile removed it";
    EXPECT_EQ(askedOfDriver.count("glFenceSync"), 1u) << "OpenGL 3.2";
    EXPECT_EQ(compatibility.count("glFenceSync"), 0u);
    EXPECT_EQ(compatibility.count("glDebugMessageCallback"), 1u) << "GL_KHR_debug";
    EXPECT_EQ(compatibility.count("glGetPointerv") + compatibility.count("glBindTexture"), 0u)
        << "OpenGL 1.1 commands are opengl32.dll's exports";
    EXPECT_EQ(facts.extensions, 2);
    EXPECT_EQ(facts.unknownExtensions, 1);
    EXPECT_EQ(facts.extensionFound, facts.extensionCommands - 1) << "glGetPointerv is exported";

    std::set<Missing> missing;
    for (int i = 0; i < facts.missingCount; ++i)
        missing.insert({facts.missing[i].of, facts.missing[i].command, facts.missing[i].answer});
    EXPECT_EQ(missing, (std::set<Missing>{{"GL_VERSION_3_0", "glGetStringi", 0},
                                          {"GL_VERSION_3_0 (core profile)", "glGetStringi", 0},
                                          {"WGL_ARB_create_context", "wglCreateContextAttribsARB", 1}}));
}

}  // namespace
