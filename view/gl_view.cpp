#include "view/gl_view.h"

#include "platform/wgl_binding.h"
#include "view/multisample_probe.h"
#include "view/scene_geometry.h"

GlView glView;

PIXELFORMATDESCRIPTOR StandardPixelFormat()
{
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_STEREO_DONTCARE;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cRedBits = 8;
    request.cRedShift = 16;
    request.cGreenBits = 8;
    request.cGreenShift = 8;
    request.cBlueBits = 8;
    request.cBlueShift = 0;
    request.cAccumBits = 64;
    request.cAccumRedBits = 16;
    request.cAccumGreenBits = 16;
    request.cAccumBlueBits = 16;
    request.cDepthBits = 32;
    request.cStencilBits = 8;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

double ViewAspect(int width, int height)
{
    if (height == 0)
        return width;
    return static_cast<double>(width) / static_cast<double>(height);
}

bool GlView::Attach(HWND newWindow)
{
    window = newWindow;
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    width = client.right;
    height = client.bottom;
    deviceContext = GetDC(window);
    SelectPixelFormat(deviceContext);
    return CreateContext(deviceContext);
}

void GlView::SelectPixelFormat(HDC target)
{
    // NOTE: a window's pixel format can be set only once, so the probe works
    // on a window of its own before anything touches this one.
    const bool multisampled = ProbeMultisampleFormat();
    PIXELFORMATDESCRIPTOR request = StandardPixelFormat();
    if (multisampled) {
        pixelFormat = multisampleFormat;
    } else {
        pixelFormat = wgl.choosePixelFormat(target, &request);
        if (pixelFormat == 0) {
            pixelFormat = 1;
            if (wgl.describePixelFormat(target, pixelFormat, sizeof(request), &request) == 0)
                return;
        }
    }
    wgl.setPixelFormat(target, pixelFormat, &request);
}

bool GlView::CreateContext(HDC target)
{
    renderContext = wgl.createContext(target);
    if (renderContext == nullptr)
        return false;
    return wgl.makeCurrent(target, renderContext) != FALSE;
}

bool GlView::SetupView(int viewWidth, int viewHeight, double aspect)
{
    if (viewWidth == -1)
        viewWidth = width;
    if (viewHeight == -1)
        viewHeight = height;
    if (aspect == -1.0)
        aspect = ViewAspect(viewWidth, viewHeight);

    glViewport(0, 0, viewWidth, viewHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kSceneFieldOfView, aspect, kSceneNear, kSceneFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDrawBuffer(GL_BACK);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);

    // The view's background blends with the dialog's.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const float scale = 1.0f / 255.0f;
    glClearColor(GetRValue(face) * scale, GetGValue(face) * scale, GetBValue(face) * scale, 1.0f);

    // Issued whatever format the view got; a driver without multisampling
    // only records an OpenGL error, which nothing reads.
    glEnable(GL_MULTISAMPLE_ARB);
    glHint(GL_MULTISAMPLE_FILTER_HINT_NV, GL_NICEST);
    return true;
}

bool GlView::Release()
{
    if (wgl.getCurrentContext() != nullptr)
        wgl.makeCurrent(nullptr, nullptr);
    if (renderContext != nullptr) {
        wgl.deleteContext(renderContext);
        renderContext = nullptr;
    }
    if (deviceContext != nullptr) {
        ReleaseDC(window, deviceContext);
        deviceContext = nullptr;
    }
    return true;
}
