// The renderer report against a stand-in driver: which string is searched,
// and what is shown when a driver gives nothing.
#include <gtest/gtest.h>

#include "platform/gl_strings.h"
#include "report/renderer_report.h"
#include "tests/win32/support/fake_wgl.h"

namespace {

// A driver that offers nothing until a test says so, with a context current.
class StandInDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver_.glExtensions = nullptr;
        driver_.wglExtensions = nullptr;
        driver_.offerExtensionsString = false;
        driver_.offerChoose = false;
        driver_.offerCreateAttribs = false;
        driver_.current = reinterpret_cast<HGLRC>(static_cast<INT_PTR>(0x77));
        driver_.currentDC = kCurrentDC;
    }

    const HDC kCurrentDC = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x1234));
    FakeWgl driver_;
};

TEST_F(StandInDriver, HasExtensionSearchesOnlyTheWglStringWhenThereIsOne)
{
    driver_.offerExtensionsString = true;
    driver_.wglExtensions = "WGL_ARB_multisample_ext WGL_ARB_pixel_format";
    driver_.glExtensions = "WGL_ARB_multisample";
    EXPECT_FALSE(HasExtension("WGL_ARB_multisample"));
    EXPECT_EQ(driver_.glExtensionsReads, 0) << "GL_EXTENSIONS must not be read";
    EXPECT_EQ(driver_.extensionsStringDC, kCurrentDC);

    driver_.wglExtensions = "WGL_ARB_multisample_ext WGL_ARB_multisample";
    EXPECT_TRUE(HasExtension("WGL_ARB_multisample"));
    EXPECT_EQ(driver_.glExtensionsReads, 0);
}

TEST_F(StandInDriver, HasExtensionFallsBackToGlExtensionsWithoutAWglString)
{
    driver_.glExtensions = "GL_x WGL_ARB_multisample";
    EXPECT_TRUE(HasExtension("WGL_ARB_multisample")) << "no entry point";
    driver_.offerExtensionsString = true;  // an entry point that returns nothing
    EXPECT_TRUE(HasExtension("WGL_ARB_multisample"));
    EXPECT_EQ(driver_.glExtensionsReads, 2);

    driver_.glExtensions = nullptr;
    EXPECT_FALSE(HasExtension("WGL_ARB_multisample")) << "no string at all";
}

TEST_F(StandInDriver, QueryWglExtensionsIsEmptyWhenTheDriverGivesNothing)
{
    EXPECT_STREQ(QueryWglExtensions(), "");
    driver_.offerExtensionsString = true;
    EXPECT_STREQ(QueryWglExtensions(), "");
    driver_.wglExtensions = "WGL_ARB_a WGL_ARB_b";
    EXPECT_STREQ(QueryWglExtensions(), "WGL_ARB_a WGL_ARB_b");
}

TEST_F(StandInDriver, SummaryShowsMissingStringsAsEmptyText)
{
    HWND text = CreateWindowExA(0, "STATIC", "Infos:", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                nullptr);
    driver_.renderer = "stand-in renderer";
    ShowRendererSummary(text);
    char shown[256] = {};
    GetWindowTextA(text, shown, sizeof(shown));
    EXPECT_STREQ(shown, "Vendor: \nRenderer: stand-in renderer\nVersion: ");
    DestroyWindow(text);
}

}  // namespace
