// GlView against Wine's real WGL, on a real static control.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/wgl_binding.h"
#include "view/gl_view.h"

namespace {

int deleteContextCalls = 0;

HGLRC WINAPI NoContext(HDC)
{
    return nullptr;
}

BOOL WINAPI CountingDeleteContext(HGLRC context)
{
    ++deleteContextCalls;
    return wglDeleteContext(context);
}

class ViewControl : public ::testing::Test {
protected:
    // A visible top-level window with a static child of the given client size.
    void MakeControl(int width, int height)
    {
        parent_ = CreateWindowExA(0, "STATIC", "glinspect test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  400, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        control_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, width, height,
                                   parent_, nullptr, nullptr, nullptr);
        ASSERT_NE(control_, nullptr);
    }

    void TearDown() override
    {
        view_.Release();
        wgl = RealWglBinding();
        DestroyWindow(parent_);
    }

    static void ExpectViewport(int width, int height)
    {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);
    }

    // The aspect gluPerspective was given, read back from the projection
    // matrix, which OpenGL keeps in single precision.
    static double ProjectionAspect()
    {
        GLdouble projection[16] = {};
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        return projection[5] / projection[0];
    }

    HWND parent_ = nullptr;
    HWND control_ = nullptr;
    GlView view_;
};

TEST_F(ViewControl, AttachMakesACurrentContextAndStoresTheClientSize)
{
    MakeControl(150, 120);
    ASSERT_TRUE(view_.Attach(control_));
    EXPECT_EQ(view_.window, control_);
    EXPECT_EQ(view_.width, 150);
    EXPECT_EQ(view_.height, 120);
    EXPECT_NE(view_.deviceContext, nullptr);
    EXPECT_NE(view_.renderContext, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), view_.renderContext);
    EXPECT_EQ(GetPixelFormat(view_.deviceContext), view_.pixelFormat);
}

TEST_F(ViewControl, SetupViewSetsViewportProjectionAndFixedState)
{
    MakeControl(150, 120);
    ASSERT_TRUE(view_.Attach(control_));
    EXPECT_TRUE(view_.SetupView(-1, -1, -1.0));

    ExpectViewport(150, 120);
    EXPECT_NEAR(ProjectionAspect(), 150.0 / 120.0, 1e-6);
    GLdouble projection[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5], 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0), 1e-6) << "45 degree field of view";
    EXPECT_NEAR(projection[10], -(10.0 + 1.0) / (10.0 - 1.0), 1e-6) << "near 1, far 10";

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_BACK);

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_NEAR(clear[0], GetRValue(face) / 255.0, 1e-6);
    EXPECT_NEAR(clear[1], GetGValue(face) / 255.0, 1e-6);
    EXPECT_NEAR(clear[2], GetBValue(face) / 255.0, 1e-6);
    EXPECT_EQ(clear[3], 1.0f);
}

TEST_F(ViewControl, AZeroHeightViewGetsItsWidthAsAspect)
{
    MakeControl(150, 0);
    ASSERT_TRUE(view_.Attach(control_));
    EXPECT_EQ(view_.height, 0);
    view_.SetupView(-1, -1, -1.0);
    GLdouble projection[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 150.0, 1e-4);
}

TEST_F(ViewControl, ExplicitSizesAreNeverStored)
{
    MakeControl(150, 120);
    ASSERT_TRUE(view_.Attach(control_));
    MoveWindow(control_, 10, 10, 300, 200, TRUE);
    view_.SetupView(300, 200, -1.0);
    ExpectViewport(300, 200);
    EXPECT_NEAR(ProjectionAspect(), 1.5, 1e-6);

    view_.SetupView(-1, -1, -1.0);
    EXPECT_EQ(view_.width, 150);
    EXPECT_EQ(view_.height, 120);
    ExpectViewport(150, 120);
    EXPECT_NEAR(ProjectionAspect(), 150.0 / 120.0, 1e-6);
}

TEST_F(ViewControl, ReleaseFreesEachHandleOnceHoweverOftenItRuns)
{
    MakeControl(150, 120);
    ASSERT_TRUE(view_.Attach(control_));
    deleteContextCalls = 0;
    wgl.deleteContext = CountingDeleteContext;

    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(view_.Release());
    EXPECT_EQ(deleteContextCalls, 1);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(view_.renderContext, nullptr);
    EXPECT_EQ(view_.deviceContext, nullptr);
    EXPECT_EQ(view_.window, control_) << "the window is kept";
}

TEST_F(ViewControl, AttachFailsWhenNoContextCanBeCreated)
{
    MakeControl(150, 120);
    wgl.createContext = NoContext;
    EXPECT_FALSE(view_.Attach(control_));
    EXPECT_EQ(view_.renderContext, nullptr);
    EXPECT_TRUE(view_.Release());
}

}  // namespace
