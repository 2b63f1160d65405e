// GlView against Wine's real WGL, on a real static control.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/main_dialog.h"
#include "tests/win32/support/fake_wgl.h"
#include "view/gl_view.h"
#include "view/view_window.h"

namespace {

class ViewControl : public ::testing::Test {
protected:
    // A visible top-level window with a static child of the given client size,
    // which answers hit tests as the dialog's view does (SS_NOTIFY).
    void MakeControl(int width, int height)
    {
        parent_ = CreateWindowExA(0, "STATIC", "glinspect test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  400, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        control_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, width, height,
                                   parent_, nullptr, nullptr, nullptr);
        ASSERT_NE(control_, nullptr);
    }

    void TearDown() override
    {
        view_.Release();
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
    const HDC deviceContext = view_.deviceContext;
    const HGLRC renderContext = view_.renderContext;
    CountingRealWgl counted;

    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(view_.Release());
    EXPECT_EQ(counted.deleted, std::vector<HGLRC>{renderContext});
    // NOTE: ReleaseDC gives a common device context back to the window
    // system's cache once; a second call finds nothing to release.
    EXPECT_EQ(ReleaseDC(control_, deviceContext), 0) << "the device context was given back";
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(view_.renderContext, nullptr);
    EXPECT_EQ(view_.deviceContext, nullptr);
    EXPECT_EQ(view_.window, control_) << "the window is kept";
}

// The view control as the dialog subclasses it: a press captures the mouse
// until the release, and each drag step has repainted when it returns.
TEST_F(ViewControl, ADragCapturesTheMouseAndRepaintsAtEachStep)
{
    MakeControl(150, 120);
    ASSERT_TRUE(view_.Attach(control_));
    previousViewWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(control_, GWL_WNDPROC, reinterpret_cast<LONG>(ViewWindowProc)));
    UpdateWindow(parent_);

    SendMessageA(control_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(GetCapture(), control_);
    const double angleY = viewRotation.angleY;
    SendMessageA(control_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 20));
    EXPECT_NE(viewRotation.angleY, angleY);
    EXPECT_FALSE(GetUpdateRect(control_, nullptr, FALSE)) << "painted before the step returned";
    EXPECT_EQ(GetCapture(), control_);
    SendMessageA(control_, WM_LBUTTONUP, 0, MAKELPARAM(30, 20));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(viewRotation.dragging, 0);
}

// The dialog's cursor rule, with the control standing in for its view.
TEST_F(ViewControl, TheFourWayArrowShowsOverTheViewAlone)
{
    MakeControl(150, 120);
    dialogControls.view = control_;
    dragCursor = LoadCursorA(nullptr, IDC_SIZEALL);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    RECT view;
    GetWindowRect(control_, &view);
    auto cursorAt = [&](int x, int y, HWND under) {
        SetCursor(arrow);
        SetCursorPos(x, y);
        MainWindowProc(parent_, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(view.left + 20, view.top + 20, control_), dragCursor);
    EXPECT_EQ(cursorAt(view.right + 20, view.top + 20, parent_), arrow) << "beside the view";
    EXPECT_EQ(cursorAt(view.left + 20, view.bottom + 20, parent_), arrow) << "below the view";
    dialogControls.view = nullptr;
}

TEST_F(ViewControl, AttachFailsWhenNoContextCanBeCreated)
{
    MakeControl(150, 120);
    CountingRealWgl noContext;
    noContext.createSucceeds = false;
    EXPECT_FALSE(view_.Attach(control_));
    EXPECT_EQ(view_.renderContext, nullptr);
    EXPECT_TRUE(view_.Release());
}

}  // namespace
