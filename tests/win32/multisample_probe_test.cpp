// The multisample probe against a stand-in driver: the answers no real driver
// here gives (no multisampling, only 2 samples, odd results, missing entry points).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/win32/support/fake_wgl.h"
#include "view/context_facts.h"
#include "view/gl_view.h"
#include "view/multisample_probe.h"
#include "view/pixel_format_table.h"

namespace {

const int kUnprobed = -12345;

class ProbeWithFakeDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedFormat_ = multisampleFormat;
        multisampleFormat = kUnprobed;
    }

    void TearDown() override
    {
        // Whatever happened, the probe leaves no context current and none alive.
        EXPECT_EQ(driver_.current, nullptr);
        std::vector<HGLRC> created = driver_.created;
        std::vector<HGLRC> deleted = driver_.deleted;
        std::sort(created.begin(), created.end());
        std::sort(deleted.begin(), deleted.end());
        EXPECT_EQ(created, deleted) << "each temporary context is deleted exactly once";
        multisampleFormat = savedFormat_;
    }

    static std::vector<int> ExpectedAttributes(int samples)
    {
        return {WGL_DRAW_TO_WINDOW_ARB, 1,  WGL_SUPPORT_OPENGL_ARB, 1,
                WGL_ACCELERATION_ARB,   WGL_FULL_ACCELERATION_ARB,
                WGL_COLOR_BITS_ARB,     24, WGL_ALPHA_BITS_ARB,     8,
                WGL_DEPTH_BITS_ARB,     16, WGL_STENCIL_BITS_ARB,   0,
                WGL_DOUBLE_BUFFER_ARB,  1,  WGL_SAMPLE_BUFFERS_ARB, 1,
                WGL_SAMPLES_ARB,        samples};
    }

    FakeWgl driver_;
    int savedFormat_ = 0;
};

TEST_F(ProbeWithFakeDriver, FourSamplesOfferedAreTakenAtTheFirstCall)
{
    ASSERT_TRUE(ProbeMultisampleFormat());
    EXPECT_EQ(multisampleFormat, 41);

    ASSERT_EQ(driver_.chooseCalls.size(), 1u);
    const FakeWgl::ChooseCall& call = driver_.chooseCalls[0];
    EXPECT_EQ(call.attributes, ExpectedAttributes(4));
    EXPECT_TRUE(call.floats.empty());
    EXPECT_EQ(call.maxFormats, 1u);
    ASSERT_EQ(driver_.created.size(), 1u);
    EXPECT_EQ(call.currentAtCall, driver_.created[0]) << "asked with the temporary context current";

    // The hidden window got the plain format before its context was made.
    ASSERT_EQ(driver_.formatsSet.size(), 1u);
    EXPECT_EQ(driver_.formatsSet[0].second, 7);
    EXPECT_TRUE(driver_.described.empty());
}

TEST_F(ProbeWithFakeDriver, TwoSamplesButNotFourGiveTheTwoSampleFormat)
{
    driver_.chooseResult4 = FALSE;
    driver_.count4 = 0;
    ASSERT_TRUE(ProbeMultisampleFormat());
    EXPECT_EQ(multisampleFormat, 21);
    ASSERT_EQ(driver_.chooseCalls.size(), 2u);
    EXPECT_EQ(driver_.chooseCalls[0].attributes, ExpectedAttributes(4));
    EXPECT_EQ(driver_.chooseCalls[1].attributes, ExpectedAttributes(2));
    EXPECT_TRUE(driver_.chooseCalls[1].floats.empty());
    EXPECT_EQ(driver_.chooseCalls[1].maxFormats, 1u);
}

TEST_F(ProbeWithFakeDriver, SuccessWithoutAnyFormatFoundIsAFailedAttempt)
{
    // The 4-sample call reports success but finds nothing: the 2-sample one runs.
    driver_.count4 = 0;
    ASSERT_TRUE(ProbeMultisampleFormat());
    EXPECT_EQ(multisampleFormat, 21);
    EXPECT_EQ(driver_.chooseCalls.size(), 2u);

    // Both find nothing: the probe fails and keeps the old value.
    driver_.chooseCalls.clear();
    driver_.count2 = 0;
    multisampleFormat = kUnprobed;
    EXPECT_FALSE(ProbeMultisampleFormat());
    EXPECT_EQ(multisampleFormat, kUnprobed);
    EXPECT_EQ(driver_.chooseCalls.size(), 2u);
}

TEST_F(ProbeWithFakeDriver, AFormatReportedWithAFailedCallIsNotTaken)
{
    driver_.chooseResult4 = FALSE;
    driver_.chooseResult2 = FALSE;
    EXPECT_FALSE(ProbeMultisampleFormat());
    EXPECT_EQ(multisampleFormat, kUnprobed);
    EXPECT_EQ(driver_.chooseCalls.size(), 2u);
}

TEST_F(ProbeWithFakeDriver, NoMultisampleExtensionMeansNoQuestionAsked)
{
    // Only a longer name that starts like it; GL_EXTENSIONS is not consulted
    // while the WGL string is there, even though the name stands there.
    driver_.wglExtensions = "WGL_ARB_pixel_format WGL_ARB_multisample_extra";
    driver_.glExtensions = "WGL_ARB_multisample";
    EXPECT_FALSE(ProbeMultisampleFormat());
    EXPECT_TRUE(driver_.chooseCalls.empty());
    EXPECT_EQ(driver_.created.size(), 1u);
    EXPECT_EQ(multisampleFormat, kUnprobed);
}

TEST_F(ProbeWithFakeDriver, WithoutAWglStringTheOpenGlStringDecides)
{
    driver_.offerExtensionsString = false;
    driver_.glExtensions = "GL_ARB_multisample GL_EXT_bgra";
    EXPECT_FALSE(ProbeMultisampleFormat()) << "GL_ARB_multisample is not the WGL name";
    EXPECT_TRUE(driver_.chooseCalls.empty());
    EXPECT_EQ(driver_.created.size(), 1u);
    EXPECT_EQ(multisampleFormat, kUnprobed);

    // A WGL string that is null counts as missing too.
    driver_.offerExtensionsString = true;
    driver_.wglExtensions = nullptr;
    driver_.glExtensions = "GL_EXT_bgra WGL_ARB_multisample";
    EXPECT_TRUE(ProbeMultisampleFormat());
    EXPECT_EQ(multisampleFormat, 41);
}

TEST_F(ProbeWithFakeDriver, MissingChoosePixelFormatEntryPointFails)
{
    driver_.offerChoose = false;
    EXPECT_FALSE(ProbeMultisampleFormat());
    EXPECT_EQ(driver_.created.size(), 1u);
    EXPECT_EQ(multisampleFormat, kUnprobed);
}

TEST_F(ProbeWithFakeDriver, NoPlainMatchFallsBackToFormatOne)
{
    driver_.plainFormat = 0;
    EXPECT_TRUE(ProbeMultisampleFormat());
    EXPECT_EQ(driver_.described, std::vector<int>{1});
    ASSERT_EQ(driver_.formatsSet.size(), 1u);
    EXPECT_EQ(driver_.formatsSet[0].second, 1);
}

TEST_F(ProbeWithFakeDriver, FailuresBeforeTheTemporaryContextCreateNone)
{
    driver_.plainFormat = 0;
    driver_.describeSucceeds = false;
    EXPECT_FALSE(ProbeMultisampleFormat());
    EXPECT_TRUE(driver_.formatsSet.empty());

    driver_.plainFormat = 7;
    driver_.setFormatSucceeds = false;
    EXPECT_FALSE(ProbeMultisampleFormat());

    driver_.setFormatSucceeds = true;
    driver_.createSucceeds = false;
    EXPECT_FALSE(ProbeMultisampleFormat());

    EXPECT_TRUE(driver_.created.empty());
    EXPECT_TRUE(driver_.chooseCalls.empty());
    EXPECT_EQ(multisampleFormat, kUnprobed);
}

TEST_F(ProbeWithFakeDriver, AContextThatCannotBeMadeCurrentIsStillDeleted)
{
    driver_.makeCurrentSucceeds = false;
    EXPECT_FALSE(ProbeMultisampleFormat());
    EXPECT_EQ(driver_.created.size(), 1u);
    EXPECT_TRUE(driver_.chooseCalls.empty());
    EXPECT_EQ(multisampleFormat, kUnprobed);
}

TEST_F(ProbeWithFakeDriver, TheViewTakesTheProbedFormatElseThePlainOne)
{
    // A real window for the view, so that the probe's hidden window and the
    // view's device context are told apart by handle.
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 60, 40, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    HDC viewDC = GetDC(window);

    GlView view;
    view.SelectPixelFormat(viewDC);
    EXPECT_EQ(view.pixelFormat, 41);
    ASSERT_EQ(driver_.formatsSet.size(), 2u);
    EXPECT_NE(driver_.formatsSet[0].first, viewDC) << "the probe works on a window of its own";
    EXPECT_EQ(driver_.formatsSet[1], std::make_pair(viewDC, 41));

    driver_.formatsSet.clear();
    driver_.offerChoose = false;
    GlView plainView;
    plainView.SelectPixelFormat(viewDC);
    EXPECT_EQ(plainView.pixelFormat, 7);
    ASSERT_EQ(driver_.formatsSet.size(), 2u);
    EXPECT_EQ(driver_.formatsSet[1], std::make_pair(viewDC, 7));

    ReleaseDC(window, viewDC);
    DestroyWindow(window);
}

// The core-profile probe: a view context the stand-in never made is current
// before and must be current again after.
class CoreProfileWithFakeDriver : public ProbeWithFakeDriver {
protected:
    void SetUp() override
    {
        ProbeWithFakeDriver::SetUp();
        driver_.wglExtensions = "WGL_ARB_create_context WGL_ARB_create_context_profile";
        driver_.current = kViewContext;
        driver_.currentDC = kViewDC;
    }

    void TearDown() override
    {
        EXPECT_EQ(driver_.current, kViewContext);
        EXPECT_EQ(driver_.currentDC, kViewDC);
        driver_.current = nullptr;
        ProbeWithFakeDriver::TearDown();
    }

    static std::vector<int> CoreAttributes(int major, int minor, int profile = WGL_CONTEXT_CORE_PROFILE_BIT_ARB)
    {
        return {WGL_CONTEXT_MAJOR_VERSION_ARB, major, WGL_CONTEXT_MINOR_VERSION_ARB, minor,
                WGL_CONTEXT_PROFILE_MASK_ARB, profile};
    }

    // The core profile's version, the OpenGL ES facts in es_.
    const char* CoreProfile()
    {
        es_ = EsProfileFacts{};
        return ProbeContextProfiles(kViewDC, kViewContext, pool_, es_);
    }

    // The context current at each call of the core profile's visitor.
    static std::vector<HGLRC> visited;
    static FakeWgl* visitedDriver;
    static void Visit(void*) { visited.push_back(visitedDriver->current); }

    const HGLRC kViewContext = reinterpret_cast<HGLRC>(static_cast<INT_PTR>(0x77));
    const HDC kViewDC = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x88));
    FactPool pool_;
    EsProfileFacts es_ = {};
};

std::vector<HGLRC> CoreProfileWithFakeDriver::visited;
FakeWgl* CoreProfileWithFakeDriver::visitedDriver = nullptr;

TEST_F(CoreProfileWithFakeDriver, ADriverRefusingEveryVersionGivesNone)
{
    EXPECT_EQ(CoreProfile(), nullptr);
    const std::vector<std::vector<int>> expected = {
        CoreAttributes(4, 6), CoreAttributes(4, 5), CoreAttributes(4, 4),
        CoreAttributes(4, 3), CoreAttributes(4, 2), CoreAttributes(4, 1),
        CoreAttributes(4, 0), CoreAttributes(3, 3), CoreAttributes(3, 2)};
    EXPECT_EQ(driver_.createAttribsCalls, expected);
    ASSERT_EQ(driver_.formatsSet.size(), 1u);
    EXPECT_NE(driver_.formatsSet[0].first, kViewDC) << "on a window of its own";
}

TEST_F(CoreProfileWithFakeDriver, TheFirstCoreContextMadeAnswersAndIsDeleted)
{
    driver_.coreMajor = 3;
    driver_.coreMinor = 3;
    const char* version = CoreProfile();
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version, "3.3.0 Core Profile");
    EXPECT_NE(version, driver_.coreVersion) << "copied out before the context went";
    EXPECT_EQ(driver_.createAttribsCalls.size(), 8u) << "3.2 is not asked after 3.3";
    EXPECT_EQ(driver_.created.size(), 2u) << "the temporary context and the core one";
}

TEST_F(CoreProfileWithFakeDriver, AContextThatCannotBeMadeCurrentGivesWayToTheNextVersion)
{
    driver_.unusableMajor = 4;
    driver_.unusableMinor = 5;
    driver_.coreMajor = 3;
    driver_.coreMinor = 3;
    const char* version = CoreProfile();
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version, "3.3.0 Core Profile");
    EXPECT_EQ(driver_.createAttribsCalls.size(), 8u) << "4.5 made, then 4.4 down to 3.3 asked";
    EXPECT_EQ(driver_.created.size(), 3u) << "the temporary context, the 4.5 one and the 3.3 one";
}

TEST_F(CoreProfileWithFakeDriver, WithoutTheProfileExtensionOrEntryPointNothingIsAsked)
{
    driver_.wglExtensions = "WGL_ARB_create_context WGL_ARB_create_context_profile_es";
    EXPECT_EQ(CoreProfile(), nullptr);
    EXPECT_TRUE(driver_.created.empty());
    EXPECT_TRUE(driver_.formatsSet.empty());

    driver_.wglExtensions = "WGL_ARB_create_context_profile";
    driver_.offerCreateAttribs = false;
    EXPECT_EQ(CoreProfile(), nullptr);
    EXPECT_TRUE(driver_.createAttribsCalls.empty());

    driver_.offerCreateAttribs = true;
    driver_.makeCurrentSucceeds = false;
    EXPECT_EQ(CoreProfile(), nullptr);
    EXPECT_TRUE(driver_.createAttribsCalls.empty());
    driver_.makeCurrentSucceeds = true;
    wgl.makeCurrent(kViewDC, kViewContext);
}

TEST_F(CoreProfileWithFakeDriver, OpenGlEsIsAskedOnTheSameWindowAfterTheCoreProfile)
{
    driver_.wglExtensions = "WGL_ARB_create_context_profile WGL_EXT_create_context_es2_profile";
    driver_.coreMajor = 4;
    driver_.coreMinor = 6;
    driver_.esMajor = 3;
    driver_.esMinor = 1;
    visited.clear();
    visitedDriver = &driver_;
    EXPECT_NE(ProbeContextProfiles(kViewDC, kViewContext, pool_, es_, Visit, nullptr), nullptr);
    EXPECT_EQ(visited, std::vector<HGLRC>{driver_.coreContext}) << "the ES context is not visited";
    const int es = WGL_CONTEXT_ES2_PROFILE_BIT_EXT;
    const std::vector<std::vector<int>> expected = {CoreAttributes(4, 6), CoreAttributes(3, 2, es),
                                                    CoreAttributes(3, 1, es)};
    EXPECT_EQ(driver_.createAttribsCalls, expected);
    EXPECT_EQ(driver_.formatsSet.size(), 1u) << "one hidden window for both";
    EXPECT_EQ(driver_.created.size(), 3u) << "the temporary context, the core one and the ES one";
    EXPECT_STREQ(es_.version, "3.1");
    EXPECT_STREQ(es_.versionString, "OpenGL ES 3.1 Fake");
    EXPECT_NE(es_.versionString, driver_.esVersion) << "copied out before the context went";
    EXPECT_STREQ(es_.shadingLanguage, "OpenGL ES GLSL ES 3.10");
    EXPECT_EQ(es_.why, nullptr);
}

TEST_F(CoreProfileWithFakeDriver, WithoutAnEsContextTheReportSaysWhy)
{
    driver_.wglExtensions = "WGL_EXT_create_context_es_profile";
    EXPECT_EQ(CoreProfile(), nullptr);
    EXPECT_EQ(driver_.createAttribsCalls.size(), 4u) << "3.2, 3.1, 3.0, 2.0 and no core profile";
    EXPECT_EQ(es_.version, nullptr);
    EXPECT_STREQ(es_.why, "3.2, 3.1, 3.0 and 2.0 refused");

    driver_.offerCreateAttribs = false;
    CoreProfile();
    EXPECT_STREQ(es_.why, "no context could be made");

    driver_.wglExtensions = "WGL_ARB_create_context_profile WGL_EXT_create_context_es2_profile_x";
    CoreProfile();
    EXPECT_STREQ(es_.why, "no WGL_EXT_create_context_es2_profile");
}

TEST_F(ProbeWithFakeDriver, WithoutThePixelFormatExtensionTheTableIsDescribed)
{
    driver_.wglExtensions = "WGL_ARB_multisample";
    driver_.current = reinterpret_cast<HGLRC>(static_cast<INT_PTR>(0x77));
    FactArray<PixelFormatRow> rows;
    EXPECT_TRUE(ReadPixelFormatTable(nullptr, rows));
    driver_.current = nullptr;
    ASSERT_EQ(rows.Count(), 3) << "DescribePixelFormat's count";
    for (int i = 0; i < rows.Count(); ++i) {
        EXPECT_EQ(rows[i].index, i + 1);
        EXPECT_EQ(rows[i].samples, -1);
        EXPECT_EQ(rows[i].sampleBuffers, -1);
    }
}

TEST_F(ProbeWithFakeDriver, EachPixelFormatRowKeepsItsOwnSamples)
{
    driver_.offerAttributeQuery = true;
    driver_.samplesRefusedFormat = 2;
    driver_.queryRefusedFormat = 3;
    const auto samplesOfEachRow = [this](const char* wglExtensions) {
        driver_.wglExtensions = wglExtensions;
        driver_.current = reinterpret_cast<HGLRC>(static_cast<INT_PTR>(0x77));
        FactArray<PixelFormatRow> rows;
        EXPECT_TRUE(ReadPixelFormatTable(nullptr, rows));
        driver_.current = nullptr;
        std::vector<int> samples;
        for (int i = 0; i < rows.Count(); ++i) {
            EXPECT_EQ(rows[i].index, i + 1);
            EXPECT_EQ(rows[i].sampleBuffers < 0, rows[i].samples < 0);
            samples.push_back(rows[i].samples);
        }
        return samples;
    };
    // Format 3 is described: -1 as format 2's refused samples; format 4 has its own.
    EXPECT_EQ(samplesOfEachRow("WGL_ARB_pixel_format WGL_ARB_multisample"),
              (std::vector<int>{2, -1, -1, 8}));
    // Without the multisample extension no format is multisampled.
    EXPECT_EQ(samplesOfEachRow("WGL_ARB_pixel_format"), (std::vector<int>{0, 0, -1, 0}));
}

TEST_F(ProbeWithFakeDriver, TheViewFallsBackToFormatOneWhenNothingMatches)
{
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 60, 40, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    HDC viewDC = GetDC(window);
    driver_.offerChoose = false;
    driver_.plainFormat = 0;

    GlView view;
    view.SelectPixelFormat(viewDC);
    EXPECT_EQ(view.pixelFormat, 1);
    ASSERT_EQ(driver_.formatsSet.size(), 2u);
    EXPECT_EQ(driver_.formatsSet[1], std::make_pair(viewDC, 1));

    // Not even format 1 can be described: the view's format is left unset.
    driver_.formatsSet.clear();
    driver_.describeSucceeds = false;
    GlView undescribedView;
    undescribedView.SelectPixelFormat(viewDC);
    EXPECT_TRUE(driver_.formatsSet.empty());

    ReleaseDC(window, viewDC);
    DestroyWindow(window);
}

}  // namespace
