// Stand-ins for the binding table (platform/wgl_binding.h): a driver that
// answers as a test sets it, and the real binding with its contexts counted.
// Each puts itself into wgl for its lifetime and the real binding back after;
// one of each at a time, since the table holds plain function pointers.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/wgl_binding.h"

// Puts binding into wgl for its lifetime, and RealWglBinding() back after.
class WglScope {
public:
    explicit WglScope(const WglBinding& binding);
    ~WglScope();
    WglScope(const WglScope&) = delete;
    WglScope& operator=(const WglScope&) = delete;
};

// A driver of the test's making. Its defaults: a WGL string naming the pixel
// format and multisample extensions, a 4-sample and a 2-sample format, and
// every entry point but the attribute query. Like a real driver, it answers
// wglGetProcAddress (and so gives its WGL string) and glGetString only while
// a context is current.
class FakeWgl : private WglScope {
public:
    FakeWgl();
    ~FakeWgl();

    // glGetString's answers; null for none. GL_VERSION is coreVersion while
    // the core context is current; the ES context answers its own two.
    const char* vendor = nullptr;
    const char* renderer = nullptr;
    const char* version = nullptr;
    const char* glExtensions = "GL_ARB_multisample GL_EXT_bgra";
    // wglGetExtensionsStringARB's answer, and which entry points
    // wglGetProcAddress gives.
    const char* wglExtensions = "WGL_ARB_pixel_format WGL_ARB_multisample";
    bool offerExtensionsString = true;
    bool offerChoose = true;
    bool offerAttributeQuery = false;
    bool offerCreateAttribs = true;

    // Pixel formats: ChoosePixelFormat's answer; DescribePixelFormat's count
    // (3) or its failure; SetPixelFormat's result.
    int plainFormat = 7;
    bool describeSucceeds = true;
    bool setFormatSucceeds = true;
    // wglChoosePixelFormatARB, per sample count asked for: the call's result
    // and the formats it reports. Asked for any other count it fails.
    BOOL chooseResult4 = TRUE;
    UINT count4 = 1;
    int format4 = 41;
    BOOL chooseResult2 = TRUE;
    UINT count2 = 1;
    int format2 = 21;
    // wglGetPixelFormatAttribivARB: four formats whose samples are twice
    // their index; a format that refuses the sample attributes, and one that
    // refuses the query altogether.
    int samplesRefusedFormat = 0;
    int queryRefusedFormat = 0;

    // Contexts: whether wglCreateContext and wglMakeCurrent succeed; the one
    // core version wglCreateContextAttribsARB makes (it needs a context
    // current), and a version it makes whose contexts cannot be made current:
    // a failed attempt leaves no context current.
    bool createSucceeds = true;
    bool makeCurrentSucceeds = true;
    int coreMajor = 0;
    int coreMinor = 0;
    const char* coreVersion = "3.3.0 Core Profile";
    // The one OpenGL ES version it makes, and that context's strings.
    int esMajor = 0;
    int esMinor = 0;
    const char* esVersion = "OpenGL ES 3.1 Fake";
    const char* esShadingLanguage = "OpenGL ES GLSL ES 3.10";
    int unusableMajor = 0;
    int unusableMinor = 0;

    // What it saw. current and currentDC may be set to stand for a context
    // the test made current itself.
    std::vector<HGLRC> created;
    std::vector<HGLRC> deleted;
    std::vector<HGLRC> unusable;
    HGLRC coreContext = nullptr;
    HGLRC esContext = nullptr;
    HGLRC current = nullptr;
    HDC currentDC = nullptr;
    std::vector<std::pair<HDC, int>> formatsSet;
    std::vector<int> described;
    struct ChooseCall {
        std::vector<int> attributes;
        std::vector<FLOAT> floats;
        UINT maxFormats;
        HGLRC currentAtCall;
    };
    std::vector<ChooseCall> chooseCalls;
    std::vector<std::vector<int>> createAttribsCalls;
    HDC extensionsStringDC = nullptr;  // the one wglGetExtensionsStringARB was last asked for
    int glExtensionsReads = 0;
    int nextContext = 0x100;
};

// The real binding, with every context made and deleted through it recorded:
// wglCreateContext's, and those of the wglCreateContextAttribsARB that
// wglGetProcAddress hands out. It can also hide entry points from
// wglGetProcAddress, and refuse wglCreateContext.
class CountingRealWgl : private WglScope {
public:
    CountingRealWgl();
    ~CountingRealWgl();

    std::vector<std::string> hidden;
    bool createSucceeds = true;

    std::vector<HGLRC> created;
    std::vector<HGLRC> deleted;
};
