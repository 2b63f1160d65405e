// The render check on the machine's real OpenGL driver: the view on screen,
// covered, minimised and hidden, and each off-screen target on its own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/wgl_binding.h"
#include "view/frame_judge.h"
#include "view/gl_view.h"
#include "view/offscreen_target.h"
#include "view/render_check.h"
#include "view/scene.h"
#include "view/scene_projection.h"
#include "view/view_window.h"

namespace {

// Debian 12's Wine 8 never shows OpenGL drawn into a child window.
bool WineShowsChildWindowOpenGl()
{
    typedef const char*(CDECL * WineGetVersion)();
    const auto version = reinterpret_cast<WineGetVersion>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return version == nullptr || std::strncmp(version(), "8.", 2) != 0;
}

class RenderCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame_ = CreateWindowExA(0, "STATIC", "render check test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 300, 260, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame_, nullptr);
        view_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 20, 127, 111, frame_, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(view_, nullptr);
        UpdateWindow(frame_);
        ASSERT_TRUE(glView.Attach(view_));
        glView.SetupView(-1, -1, -1.0);
        viewRotation = ViewRotation();
    }

    void TearDown() override
    {
        glView.Release();
        DestroyWindow(frame_);
    }

    void Check()
    {
        check_ = RenderCheckFacts();
        rate_ = DrawRateFacts();
        CheckRender(view_, 0, check_, rate_);
    }

    // The check's own figures hold whatever the target.
    void ExpectDrawnAndTimed(RenderTarget target)
    {
        EXPECT_EQ(check_.result, kRenderDrawn) << check_.reason;
        EXPECT_EQ(check_.target, target);
        EXPECT_EQ(check_.width, 127);
        EXPECT_EQ(check_.height, 111);
        EXPECT_TRUE(check_.counted);
        EXPECT_GT(check_.counts.red + check_.counts.green + check_.counts.blue, 127 * 111 / 10);
        EXPECT_TRUE(rate_.measured) << rate_.why;
        EXPECT_GE(rate_.frames, 1);
        EXPECT_GT(rate_.framesPerSecond, 0.0);
        EXPECT_EQ(wgl.getCurrentContext(), glView.renderContext) << "the view's context is current again";
    }

    HWND frame_ = nullptr;
    HWND view_ = nullptr;
    RenderCheckFacts check_;
    DrawRateFacts rate_;
};

TEST_F(RenderCheck, TheViewOnScreenIsDrawnAndTheScreenComparedWithIt)
{
    Check();
    ExpectDrawnAndTimed(kTargetWindow);
    if (WineShowsChildWindowOpenGl()) {
        EXPECT_EQ(check_.screen, kScreenShown) << check_.screenReason;
    } else {
        // The view's place shows what the window system painted there.
        EXPECT_EQ(check_.screen, kScreenNotShown);
        EXPECT_NE(check_.screenReason[0], '\0');
    }
    EXPECT_TRUE(check_.screenCounted);
}

TEST_F(RenderCheck, ACoveredOrMinimisedViewIsDrawnOffScreenAndTheScreenNotChecked)
{
    const HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "cover", WS_POPUP | WS_VISIBLE, 100, 100, 60, 60,
                                       nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(cover, nullptr);
    Check();
    DestroyWindow(cover);
    ExpectDrawnAndTimed(kTargetFramebufferObject);
    EXPECT_EQ(check_.screen, kScreenNotChecked);
    EXPECT_STREQ(check_.screenReason, "another window covers part of the view");

    ShowWindow(frame_, SW_MINIMIZE);
    Check();
    ExpectDrawnAndTimed(kTargetFramebufferObject);
    EXPECT_EQ(check_.screen, kScreenNotChecked);
    EXPECT_STREQ(check_.screenReason, "the dialog is minimised");
}

TEST_F(RenderCheck, AHiddenViewHasNoScreenPart)
{
    ShowWindow(view_, SW_HIDE);
    Check();
    ExpectDrawnAndTimed(kTargetFramebufferObject);
    EXPECT_EQ(check_.screen, kScreenNone);
}

// Each target from its own start: the scene drawn there reads back as drawn.
TEST_F(RenderCheck, EveryOffScreenTargetGivesTheScenesPicture)
{
    const RenderTarget targets[] = {kTargetFramebufferObject, kTargetPbuffer, kTargetBitmap};
    const int width = 127, height = 111;
    std::vector<unsigned char> picture(width * height * 4), map(width * height);
    ExpectedPicture expected;
    ProjectScene(45.0, 45.0, width, height, map.data(), expected);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const Rgb8 background = {GetRValue(face), GetGValue(face), GetBValue(face)};
    for (RenderTarget first : targets) {
        OffscreenTarget target;
        if (!target.Open(width, height, 4, first)) {
            // Wine draws into a bitmap only with OSMesa, which Debian's Wine lacks.
            EXPECT_EQ(first, kTargetBitmap) << target.why;
            continue;
        }
        EXPECT_EQ(target.kind, first);
        while (glGetError() != GL_NO_ERROR) {
        }
        DrawScene(45.0, 45.0);
        glFinish();
        target.PrepareRead();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << first;
        RenderCheckFacts facts = {};
        facts.samples = target.samples;
        JudgeDrawnFrame(FrameView{picture.data(), 4L * width, width, height, false}, background, map.data(),
                        expected, facts);
        EXPECT_EQ(facts.result, kRenderDrawn) << first << ": " << facts.reason;
        if (first == kTargetFramebufferObject) {
            EXPECT_EQ(target.samples, 4) << "Mesa's renderbuffers take the samples";
        }
        target.Close();
        EXPECT_EQ(wgl.getCurrentContext(), glView.renderContext);
    }
}

}  // namespace
