// The one OpenGL rendering context of the program, bound to the view control.
#pragma once

#include "platform/windows_headers.h"

// The pixel format asked for the view and for the multisample probe's window:
// double-buffered RGBA with 32 colour, 64 accumulation, 32 depth and 8 stencil bits.
PIXELFORMATDESCRIPTOR StandardPixelFormat();

class GlView {
public:
    // Every field starts at zero; the process-wide object is constant-initialised.
    constexpr GlView() = default;
    ~GlView() { Release(); }
    GlView(const GlView&) = delete;
    GlView& operator=(const GlView&) = delete;

    // Binds to window and makes a new rendering context current on it.
    bool Attach(HWND window);
    // Chooses the view's pixel format (multisampled when the probe finds one) and sets it.
    void SelectPixelFormat(HDC deviceContext);
    // Creates the rendering context on deviceContext and makes it current.
    bool CreateContext(HDC deviceContext);
    // Viewport, projection and fixed state; -1 takes the attach-time size and
    // an aspect of -1.0 asks for width / height. Always true.
    bool SetupView(int width, int height, double aspect);
    // Frees the context and the device context; safe to call any number of times.
    bool Release();

    HWND window = nullptr;
    HDC deviceContext = nullptr;
    HGLRC renderContext = nullptr;
    int width = 0;
    int height = 0;
    int pixelFormat = 0;
};

extern GlView glView;

// The aspect SetupView computes for a width and height: width itself when the
// height is 0.
double ViewAspect(int width, int height);
