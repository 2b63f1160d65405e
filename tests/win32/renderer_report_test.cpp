// The renderer report against a stand-in driver: which string is searched,
// and what is shown when a driver gives nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/wgl_binding.h"
#include "platform/gl_strings.h"
#include "report/renderer_report.h"

namespace {

// What the stand-in driver answers; null means it has nothing.
const char* wglExtensions = nullptr;
bool hasWglEntryPoint = false;
const char* glStrings[4] = {};  // vendor, renderer, version, extensions
int glExtensionReads = 0;
HDC currentDC = reinterpret_cast<HDC>(0x1234);
HDC askedDC = nullptr;

HDC WINAPI FakeGetCurrentDC()
{
    return currentDC;
}

const char* WINAPI FakeGetExtensionsString(HDC dc)
{
    askedDC = dc;
    return wglExtensions;
}

PROC WINAPI FakeGetProcAddress(LPCSTR name)
{
    if (hasWglEntryPoint && std::strcmp(name, "wglGetExtensionsStringARB") == 0)
        return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(FakeGetExtensionsString));
    return nullptr;
}

const GLubyte* WINAPI FakeGetString(GLenum name)
{
    const char* text = nullptr;
    switch (name) {
    case GL_VENDOR: text = glStrings[0]; break;
    case GL_RENDERER: text = glStrings[1]; break;
    case GL_VERSION: text = glStrings[2]; break;
    case GL_EXTENSIONS: text = glStrings[3]; ++glExtensionReads; break;
    }
    return reinterpret_cast<const GLubyte*>(text);
}

class StandInDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        wgl.getProcAddress = FakeGetProcAddress;
        wgl.getString = FakeGetString;
        wgl.getCurrentDC = FakeGetCurrentDC;
        wglExtensions = nullptr;
        hasWglEntryPoint = false;
        for (const char*& text : glStrings)
            text = nullptr;
        glExtensionReads = 0;
        askedDC = nullptr;
    }
    void TearDown() override { wgl = RealWglBinding(); }
};

TEST_F(StandInDriver, HasExtensionSearchesOnlyTheWglStringWhenThereIsOne)
{
    hasWglEntryPoint = true;
    wglExtensions = "WGL_ARB_multisample_ext WGL_ARB_pixel_format";
    glStrings[3] = "WGL_ARB_multisample";
    EXPECT_FALSE(HasExtension("WGL_ARB_multisample"));
    EXPECT_EQ(glExtensionReads, 0) << "GL_EXTENSIONS must not be read";
    EXPECT_EQ(askedDC, currentDC);

    wglExtensions = "WGL_ARB_multisample_ext WGL_ARB_multisample";
    EXPECT_TRUE(HasExtension("WGL_ARB_multisample"));
    EXPECT_EQ(glExtensionReads, 0);
}

TEST_F(StandInDriver, HasExtensionFallsBackToGlExtensionsWithoutAWglString)
{
    glStrings[3] = "GL_x WGL_ARB_multisample";
    EXPECT_TRUE(HasExtension("WGL_ARB_multisample")) << "no entry point";
    hasWglEntryPoint = true;  // an entry point that returns nothing
    EXPECT_TRUE(HasExtension("WGL_ARB_multisample"));
    EXPECT_EQ(glExtensionReads, 2);

    glStrings[3] = nullptr;
    EXPECT_FALSE(HasExtension("WGL_ARB_multisample")) << "no string at all";
}

TEST_F(StandInDriver, QueryWglExtensionsIsEmptyWhenTheDriverGivesNothing)
{
    EXPECT_STREQ(QueryWglExtensions(), "");
    hasWglEntryPoint = true;
    EXPECT_STREQ(QueryWglExtensions(), "");
    wglExtensions = "WGL_ARB_a WGL_ARB_b";
    EXPECT_STREQ(QueryWglExtensions(), "WGL_ARB_a WGL_ARB_b");
}

TEST_F(StandInDriver, SummaryShowsMissingStringsAsEmptyText)
{
    HWND text = CreateWindowExA(0, "STATIC", "Infos:", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                nullptr);
    glStrings[1] = "stand-in renderer";
    ShowRendererSummary(text);
    char shown[256] = {};
    GetWindowTextA(text, shown, sizeof(shown));
    EXPECT_STREQ(shown, "Vendor: \nRenderer: stand-in renderer\nVersion: ");
    DestroyWindow(text);
}

}  // namespace
