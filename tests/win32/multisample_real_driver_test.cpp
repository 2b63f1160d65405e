// The multisample probe and the view on the machine's real OpenGL driver: the
// format the view gets, the windows the probe leaves, and what the samples do
// to the cube's outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/wgl_binding.h"
#include "tests/win32/support/fake_wgl.h"
#include "view/context_facts.h"
#include "view/gl_view.h"
#include "view/multisample_probe.h"
#include "view/pixel_format_table.h"
#include "view/scene.h"

namespace {

// Every window the thread creates, destroys or shows while a watch is on.
struct WindowWatch {
    std::vector<HWND> created;
    std::set<HWND> destroyed;
    std::set<HWND> shown;
    HHOOK cbtHook = nullptr;
    HHOOK callHook = nullptr;
};

WindowWatch* watch = nullptr;

LRESULT CALLBACK WatchCbt(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_CREATEWND)
        watch->created.push_back(reinterpret_cast<HWND>(wparam));
    else if (code == HCBT_DESTROYWND)
        watch->destroyed.insert(reinterpret_cast<HWND>(wparam));
    return CallNextHookEx(watch->cbtHook, code, wparam, lparam);
}

LRESULT CALLBACK WatchCalls(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION) {
        if (call->message == WM_SHOWWINDOW && call->wParam != FALSE)
            watch->shown.insert(call->hwnd);
        if (call->message == WM_WINDOWPOSCHANGING || call->message == WM_WINDOWPOSCHANGED) {
            const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(call->lParam);
            if (position->flags & SWP_SHOWWINDOW)
                watch->shown.insert(call->hwnd);
        }
    }
    return CallNextHookEx(watch->callHook, code, wparam, lparam);
}

void StartWatch(WindowWatch* newWatch)
{
    watch = newWatch;
    const DWORD thread = GetCurrentThreadId();
    watch->cbtHook = SetWindowsHookExA(WH_CBT, WatchCbt, nullptr, thread);
    watch->callHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCalls, nullptr, thread);
}

void StopWatch()
{
    UnhookWindowsHookEx(watch->cbtHook);
    UnhookWindowsHookEx(watch->callHook);
    watch = nullptr;
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM list)
{
    if (IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Pixels of a frame, by what they show. Faces are lit evenly, so each is one
// pure red, green or blue; anything else that is not the background is a
// blend the samples made.
struct PixelCounts {
    int background = 0;
    int face = 0;
    int faceWithBackground = 0;  // on the outline
    int faceWithFace = 0;        // on an edge inside the outline
};

PixelCounts CountPixels(const std::vector<unsigned char>& rgb, COLORREF background)
{
    const int tolerance = 2;
    const int back[3] = {GetRValue(background), GetGValue(background), GetBValue(background)};
    PixelCounts counts;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        int lit = 0;
        int nearBackground = 0;
        for (int c = 0; c < 3; ++c) {
            if (rgb[i + c] > tolerance)
                ++lit;
            if (std::abs(rgb[i + c] - back[c]) <= tolerance)
                ++nearBackground;
        }
        if (nearBackground == 3)
            ++counts.background;
        else if (lit == 1)
            ++counts.face;
        else if (lit == 3)
            ++counts.faceWithBackground;
        else
            ++counts.faceWithFace;
    }
    return counts;
}

// A visible top-level window with a view control the size of the dialog's.
class RealDriverView : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame_ = CreateWindowExA(0, "STATIC", "multisample test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, 300, 260, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame_, nullptr);
        view_ = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 20, 113,
                                115, frame_, nullptr, nullptr, nullptr);
        ASSERT_NE(view_, nullptr);
        ASSERT_EQ(wgl.getCurrentContext(), nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(frame_);
        EXPECT_EQ(wgl.getCurrentContext(), nullptr);
    }

    // The back buffer after one scene, resolved to one sample per pixel as
    // the swap does, as tightly packed RGB rows.
    std::vector<unsigned char> RenderScene(GlView& view)
    {
        view.SetupView(-1, -1, -1.0);
        // NOTE: Mesa rejects the NV filter hint; the view ignores that error.
        while (glGetError() != GL_NO_ERROR) {
        }
        DrawScene(45.0, 45.0);
        std::vector<unsigned char> rgb(static_cast<size_t>(view.width) * view.height * 3);
        ReadResolved(view.width, view.height, rgb.data());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return rgb;
    }

    // NOTE: llvmpipe's glReadPixels on a multisampled window buffer returns
    // one sample per pixel, not their blend; a blit into a single-sampled
    // framebuffer resolves the samples as the swap does.
    static void ReadResolved(int width, int height, unsigned char* rgb)
    {
        const auto genFramebuffers = Fetch<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
        const auto bindFramebuffer = Fetch<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
        const auto deleteFramebuffers = Fetch<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
        const auto genRenderbuffers = Fetch<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
        const auto bindRenderbuffer = Fetch<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
        const auto deleteRenderbuffers =
            Fetch<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");
        const auto renderbufferStorage =
            Fetch<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
        const auto framebufferRenderbuffer =
            Fetch<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
        const auto blitFramebuffer = Fetch<PFNGLBLITFRAMEBUFFERPROC>("glBlitFramebuffer");
        ASSERT_TRUE(genFramebuffers && bindFramebuffer && deleteFramebuffers && genRenderbuffers &&
                    bindRenderbuffer && deleteRenderbuffers && renderbufferStorage &&
                    framebufferRenderbuffer && blitFramebuffer);

        GLuint framebuffer = 0;
        GLuint colour = 0;
        genFramebuffers(1, &framebuffer);
        genRenderbuffers(1, &colour);
        bindRenderbuffer(GL_RENDERBUFFER, colour);
        renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        bindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        framebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        blitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);

        bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);

        bindFramebuffer(GL_FRAMEBUFFER, 0);
        deleteFramebuffers(1, &framebuffer);
        deleteRenderbuffers(1, &colour);
    }

    template <typename Function>
    static Function Fetch(const char* name)
    {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
    }

    HWND frame_ = nullptr;
    HWND view_ = nullptr;
};

TEST_F(RealDriverView, ProbeFindsAFormatAndLeavesNothingBehind)
{
    WindowWatch seen;
    StartWatch(&seen);
    multisampleFormat = 0;
    const bool found = ProbeMultisampleFormat();
    StopWatch();

    ASSERT_TRUE(found) << "this driver offers WGL_ARB_multisample";
    EXPECT_GT(multisampleFormat, 0);
    EXPECT_EQ(wgl.getCurrentContext(), nullptr);

    int probeWindows = 0;
    for (HWND window : seen.created) {
        if (seen.destroyed.count(window) == 0)
            continue;  // a helper window of the system's own, kept per thread
        ++probeWindows;
        EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_EQ(probeWindows, 1) << "the hidden window is made and destroyed";
    EXPECT_TRUE(seen.shown.empty()) << "no window was shown";

    std::vector<HWND> visible;
    EnumThreadWindows(GetCurrentThreadId(), CollectVisible, reinterpret_cast<LPARAM>(&visible));
    EXPECT_EQ(visible, std::vector<HWND>{frame_});
}

TEST_F(RealDriverView, ViewGetsTheProbedMultisampledFormat)
{
    WindowWatch seen;
    StartWatch(&seen);
    GlView view;
    const bool attached = view.Attach(view_);
    StopWatch();
    ASSERT_TRUE(attached);

    EXPECT_EQ(view.pixelFormat, multisampleFormat);
    EXPECT_EQ(GetPixelFormat(view.deviceContext), multisampleFormat);
    EXPECT_EQ(wgl.getCurrentContext(), view.renderContext);
    for (HWND window : seen.created) {
        EXPECT_NE(ClassOf(window), "Static") << "STATIC windows made while attaching are gone";
        if (seen.destroyed.count(window)) {
            EXPECT_FALSE(IsWindow(window));
        }
    }
    EXPECT_TRUE(seen.shown.empty());

    PIXELFORMATDESCRIPTOR description = {};
    ASSERT_NE(DescribePixelFormat(view.deviceContext, view.pixelFormat, sizeof(description),
                                  &description),
              0);
    EXPECT_TRUE(description.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_TRUE(description.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_TRUE(description.dwFlags & PFD_DRAW_TO_WINDOW);
    EXPECT_GE(description.cDepthBits, 16);

    PFNWGLGETPIXELFORMATATTRIBIVARBPROC getAttributes =
        reinterpret_cast<PFNWGLGETPIXELFORMATATTRIBIVARBPROC>(
            reinterpret_cast<void (*)()>(wglGetProcAddress("wglGetPixelFormatAttribivARB")));
    ASSERT_NE(getAttributes, nullptr);
    const int names[4] = {WGL_SAMPLE_BUFFERS_ARB, WGL_SAMPLES_ARB, WGL_ACCELERATION_ARB,
                          WGL_DOUBLE_BUFFER_ARB};
    int values[4] = {};
    ASSERT_TRUE(getAttributes(view.deviceContext, view.pixelFormat, 0, 4, names, values));
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[1], 4) << "this driver offers 4 samples";
    EXPECT_EQ(values[2], WGL_FULL_ACCELERATION_ARB);
    EXPECT_EQ(values[3], 1);

    PIXELFORMATDESCRIPTOR request = StandardPixelFormat();
    const int plain = ChoosePixelFormat(view.deviceContext, &request);
    std::printf("view format %d (WGL_SAMPLES_ARB %d, sample buffers %d); plain format %d\n",
                view.pixelFormat, values[1], values[0], plain);
    RecordProperty("view_format", view.pixelFormat);
    RecordProperty("view_samples", values[1]);
    RecordProperty("plain_format", plain);
    view.Release();
}

TEST_F(RealDriverView, SamplesBlendTheOutlineThatThePlainFormatLeavesHard)
{
    const COLORREF background = GetSysColor(COLOR_BTNFACE);

    GlView multisampled;
    ASSERT_TRUE(multisampled.Attach(view_));
    ASSERT_EQ(multisampled.pixelFormat, multisampleFormat);
    const PixelCounts smooth = CountPixels(RenderScene(multisampled), background);
    multisampled.Release();

    // A window's format is set once: the plain run needs a view of its own.
    HWND plainWindow = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 150,
                                       20, 113, 115, frame_, nullptr, nullptr, nullptr);
    ASSERT_NE(plainWindow, nullptr);
    GlView plain;
    bool plainAttached = false;
    {
        // Without wglChoosePixelFormatARB the view falls back to its plain
        // format, as on a driver without multisampling.
        CountingRealWgl withoutChoose;
        withoutChoose.hidden = {"wglChoosePixelFormatARB"};
        plainAttached = plain.Attach(plainWindow);
    }
    ASSERT_TRUE(plainAttached);
    ASSERT_NE(plain.pixelFormat, multisampleFormat);
    const PixelCounts hard = CountPixels(RenderScene(plain), background);
    plain.Release();

    std::printf("multisampled format %d: background %d, face %d, outline blends %d, edge blends %d\n",
                multisampled.pixelFormat, smooth.background, smooth.face, smooth.faceWithBackground,
                smooth.faceWithFace);
    std::printf("plain format %d: background %d, face %d, outline blends %d, edge blends %d\n",
                plain.pixelFormat, hard.background, hard.face, hard.faceWithBackground,
                hard.faceWithFace);

    // The same picture: a cube of some two thousand pixels in either.
    EXPECT_GT(hard.face, 1000);
    EXPECT_GT(smooth.face, 1000);
    EXPECT_EQ(hard.faceWithBackground, 0);
    EXPECT_EQ(hard.faceWithFace, 0);
    // The outline of the cube at 45, 45 runs some 350 pixels long.
    EXPECT_GT(smooth.faceWithBackground, 100);
    EXPECT_GT(smooth.faceWithFace, 20);
}

// The GL_VERSION of the newest core context the test makes for itself on dc.
std::string OwnCoreVersion(HDC deviceContext, HGLRC viewContext)
{
    const auto create = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglCreateContextAttribsARB")));
    if (create == nullptr)
        return "";
    std::string version;
    for (int wanted : {46, 45, 44, 43, 42, 41, 40, 33, 32}) {
        const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB, wanted / 10,
                                  WGL_CONTEXT_MINOR_VERSION_ARB, wanted % 10,
                                  WGL_CONTEXT_PROFILE_MASK_ARB, WGL_CONTEXT_CORE_PROFILE_BIT_ARB, 0};
        HGLRC core = create(deviceContext, nullptr, attributes);
        if (core == nullptr)
            continue;
        wglMakeCurrent(deviceContext, core);
        version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        wglMakeCurrent(deviceContext, viewContext);
        wglDeleteContext(core);
        break;
    }
    return version;
}

TEST_F(RealDriverView, CoreProfileAndShadingLanguageAreTheDriversOwn)
{
    GlView view;
    ASSERT_TRUE(view.Attach(view_));
    const std::string expected = OwnCoreVersion(view.deviceContext, view.renderContext);
    ASSERT_NE(expected, "") << "Mesa makes core contexts";
    EXPECT_NE(expected.find("Core Profile"), std::string::npos) << expected;

    CountingRealWgl counted;
    WindowWatch seen;
    StartWatch(&seen);
    FactPool pool;
    EsProfileFacts es = {};
    const char* coreProfile = ProbeContextProfiles(view.deviceContext, view.renderContext, pool, es);
    StopWatch();

    ASSERT_NE(coreProfile, nullptr);
    EXPECT_EQ(std::string(coreProfile), expected);
    EXPECT_EQ(counted.created.size(), es.version != nullptr ? 3u : 2u)
        << "a temporary context, one core context and one OpenGL ES context where one is made";
    std::sort(counted.created.begin(), counted.created.end());
    std::sort(counted.deleted.begin(), counted.deleted.end());
    EXPECT_EQ(counted.deleted, counted.created) << "each deleted once";
    EXPECT_EQ(wglGetCurrentContext(), view.renderContext);
    EXPECT_EQ(wglGetCurrentDC(), view.deviceContext);
    for (HWND window : seen.created) {
        if (seen.destroyed.count(window))
            EXPECT_FALSE(IsWindow(window));
        else
            EXPECT_NE(ClassOf(window), "Static") << "the hidden window is gone";
    }
    EXPECT_TRUE(seen.shown.empty());

    const char* shading = QueryShadingLanguage();
    ASSERT_NE(shading, nullptr) << "GL 2.0 or later here";
    EXPECT_STREQ(shading, reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)));
    view.Release();
}

TEST_F(RealDriverView, PixelFormatRowsAgreeWithDescribePixelFormat)
{
    GlView view;
    ASSERT_TRUE(view.Attach(view_));
    FactArray<PixelFormatRow> rows;
    ASSERT_TRUE(ReadPixelFormatTable(view.deviceContext, rows));
    PIXELFORMATDESCRIPTOR description = {};
    const int described = DescribePixelFormat(view.deviceContext, 1, sizeof description, &description);
    ASSERT_GE(rows.Count(), described);
    bool viewRowSeen = false;
    for (int i = 0; i < rows.Count(); ++i) {
        const PixelFormatRow& row = rows[i];
        ASSERT_EQ(row.index, i + 1);
        EXPECT_GE(row.samples, 0) << "through the attribute query";
        if (row.index > described)
            continue;
        ASSERT_NE(DescribePixelFormat(view.deviceContext, row.index, sizeof description, &description), 0);
        SCOPED_TRACE(row.index);
        EXPECT_EQ(row.drawToWindow, (description.dwFlags & PFD_DRAW_TO_WINDOW) != 0);
        EXPECT_EQ(row.doubleBuffered, (description.dwFlags & PFD_DOUBLEBUFFER) != 0);
        EXPECT_EQ(row.colorBits, description.cColorBits);
        EXPECT_EQ(row.alphaBits, description.cAlphaBits);
        EXPECT_EQ(row.depthBits, description.cDepthBits);
        EXPECT_EQ(row.stencilBits, description.cStencilBits);
        const bool generic = (description.dwFlags & PFD_GENERIC_FORMAT) != 0;
        EXPECT_EQ(row.acceleration == kFormatAccelerationFull, !generic);
        if (row.index == view.pixelFormat) {
            viewRowSeen = true;
            // An X server without multisampled configs gives the view its plain format.
            const bool multisampled = multisampleSamples > 0 && view.pixelFormat == multisampleFormat;
            EXPECT_EQ(row.samples, multisampled ? multisampleSamples : 0);
            EXPECT_EQ(row.sampleBuffers, multisampled ? 1 : 0);
        }
    }
    EXPECT_TRUE(viewRowSeen);

    unsigned long flags = 0;
    ASSERT_TRUE(DescribeFormatFlags(view.deviceContext, view.pixelFormat, &flags));
    ASSERT_NE(DescribePixelFormat(view.deviceContext, view.pixelFormat, sizeof description, &description), 0);
    EXPECT_EQ(flags, description.dwFlags);
    EXPECT_FALSE(DescribeFormatFlags(view.deviceContext, 100000, &flags));
    view.Release();
}

}  // namespace
