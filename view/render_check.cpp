#include "view/render_check.h"

#include <cstdlib>

#include "platform/extension_tokens.h"
#include "platform/fetch_function.h"
#include "platform/gl_strings.h"
#include "platform/wgl_binding.h"
#include "view/draw_rate.h"
#include "view/frame_judge.h"
#include "view/gl_view.h"
#include "view/offscreen_target.h"
#include "view/scene.h"
#include "view/view_window.h"

namespace {

long long ReadPerformanceCounter(void*)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// A Windows 95 machine without a performance counter has the multimedia
// timer, in milliseconds; WINMM is loaded only then.
DWORD(WINAPI* timeGetTimeFunction)();

long long ReadMultimediaTimer(void*)
{
    return timeGetTimeFunction();
}

DrawRateClock SystemClock()
{
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
        return DrawRateClock{ReadPerformanceCounter, frequency.QuadPart, nullptr};
    timeGetTimeFunction = FetchFunction<DWORD(WINAPI*)()>(LoadLibraryA("winmm.dll"), "timeGetTime");
    return DrawRateClock{ReadMultimediaTimer, timeGetTimeFunction != nullptr ? 1000 : 0, nullptr};
}

void DrawFinishedFrame(void*)
{
    DrawScene(viewRotation.angleX, viewRotation.angleY);
    glFinish();
}

// wglGetSwapIntervalEXT's answer; -1 when neither extension string has
// WGL_EXT_swap_control.
int SwapInterval()
{
    const auto get = FetchWglFunction<PFNWGLGETSWAPINTERVALEXTPROC>("wglGetSwapIntervalEXT");
    if (get == nullptr || (!ContainsWholeToken(QueryWglExtensions(), "WGL_EXT_swap_control") &&
                           !ContainsWholeToken(GlString(GL_EXTENSIONS), "WGL_EXT_swap_control")))
        return -1;
    return get();
}

// Whether the screen can show the view whole: kScreenShown when it can (to
// be checked), else why not, in reason.
ScreenResult ScreenState(HWND view, RECT& onScreen, char* reason)
{
    if (!IsWindowVisible(view))
        return kScreenNone;
    const HWND dialog = GetParent(view);
    const char* why = nullptr;
    GetClientRect(view, &onScreen);
    MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    // The whole desktop where the system knows one (Windows 98 and 2000 on),
    // else the primary screen.
    RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                   GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (screen.right == 0) {
        screen.right = GetSystemMetrics(SM_CXSCREEN);
        screen.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    screen.right += screen.left;
    screen.bottom += screen.top;
    RECT common;
    if (IsIconic(dialog)) {
        why = "the dialog is minimised";
    } else if (!IntersectRect(&common, &onScreen, &screen) || !EqualRect(&common, &onScreen)) {
        why = "part of the view is off the screen";
    } else {
        // Every window above the dialog that overlaps the view.
        for (HWND above = GetWindow(dialog, GW_HWNDPREV); above != nullptr;
             above = GetWindow(above, GW_HWNDPREV)) {
            RECT other;
            if (IsWindowVisible(above) && GetWindowRect(above, &other) && IntersectRect(&common, &other, &onScreen)) {
                why = "another window covers part of the view";
                break;
            }
        }
    }
    if (why == nullptr)
        return kScreenShown;
    lstrcpynA(reason, why, kRenderReasonSize);
    return kScreenNotChecked;
}

// What the screen shows in area, as a top-down bitmap; null when it could not be read.
HBITMAP ReadScreen(const RECT& area, FrameView& frame)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        if (!BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
        GdiFlush();
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    frame = FrameView{static_cast<unsigned char*>(bits) + static_cast<long>(height - 1) * width * 4, -4L * width,
                      width, height, true};
    return bitmap;
}

// Compares the screen with the frame drawn, once more a little later when
// they differ: a compositor may show a swapped frame only on its next pass.
void CheckScreen(const RECT& area, const FrameView& drawn, Rgb8 background, RenderCheckFacts& check)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0)
            Sleep(50);
        FrameView screen;
        const HBITMAP bitmap = ReadScreen(area, screen);
        if (bitmap == nullptr) {
            check.screen = kScreenNotChecked;
            lstrcpynA(check.screenReason, "the screen could not be read", kRenderReasonSize);
            return;
        }
        JudgeShownFrame(screen, drawn, background, check);
        DeleteObject(bitmap);
        if (check.screen == kScreenShown)
            return;
    }
}

void NotChecked(RenderCheckFacts& check, const char* why)
{
    check.result = kRenderNotChecked;
    lstrcpynA(check.reason, why, kRenderReasonSize);
}

}  // namespace

void CheckRender(HWND view, int samples, RenderCheckFacts& check, DrawRateFacts& rate)
{
    const DrawRateClock clock = SystemClock();
    const long long start = clock.ticksPerSecond > 0 ? clock.now(clock.context) : 0;
    RECT area;
    check.screen = ScreenState(view, area, check.screenReason);
    RECT client = {0, 0, 0, 0};
    GetClientRect(view, &client);
    const int width = client.right;
    const int height = client.bottom;
    check.width = rate.width = width;
    check.height = rate.height = height;
    check.angleX = viewRotation.angleX;
    check.angleY = viewRotation.angleY;
    check.edgesBlended = -1;
    check.samples = samples;
    rate.swapInterval = SwapInterval();
    rate.why = "nothing was drawn";

    // The picture's bytes and, after them, the expected classes.
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    unsigned char* picture = width > 0 && height > 0 ? static_cast<unsigned char*>(std::malloc(pixels * 5)) : nullptr;
    OffscreenTarget offscreen;
    const bool onScreen = check.screen == kScreenShown;
    if (picture == nullptr) {
        NotChecked(check, width > 0 && height > 0 ? "out of memory" : "the view has no pixels");
    } else if (!onScreen && !offscreen.Open(width, height, samples)) {
        check.target = offscreen.kind;
        NotChecked(check, offscreen.why);
    } else {
        if (!onScreen) {
            check.target = offscreen.kind;
            check.samples = offscreen.samples;
        }
        rate.samples = check.samples;
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const Rgb8 background = {GetRValue(face), GetGValue(face), GetBValue(face)};
        ExpectedPicture expected;
        ProjectScene(check.angleX, check.angleY, width, height, picture + pixels * 4, expected);
        // Errors of earlier calls (the multisample state on a driver without
        // it) are not the read's.
        for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
        }
        DrawFinishedFrame(nullptr);
        offscreen.PrepareRead();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, picture);
        const GLenum error = glGetError();
        const FrameView drawn = {picture, 4L * width, width, height, false};
        if (error != GL_NO_ERROR) {
            char why[48];
            wsprintfA(why, "reading the picture raised GL error 0x%04X", error);
            NotChecked(check, why);
        } else {
            JudgeDrawnFrame(drawn, background, picture + pixels * 4, expected, check);
        }
        if (onScreen && check.result != kRenderNotChecked) {
            wgl.swapBuffers(glView.deviceContext);
            glFinish();
            CheckScreen(area, drawn, background, check);
        } else if (onScreen) {
            check.screen = kScreenNotChecked;
            lstrcpynA(check.screenReason, "nothing was read back to compare with", kRenderReasonSize);
        }
        MeasureDrawRate(DrawFinishedFrame, nullptr, clock, start, rate);
    }
    std::free(picture);
    offscreen.Close();
    glView.SetupView(width, height, -1.0);
}
