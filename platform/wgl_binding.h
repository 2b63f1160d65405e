// The rendering-binding operations of GDI32 and OPENGL32 that the view and the
// report call. They are reached through one table so that tests can stand in
// for drivers this machine does not have; the program itself never changes it.
#pragma once

#include "platform/windows_headers.h"

struct WglBinding {
    int(WINAPI* choosePixelFormat)(HDC, const PIXELFORMATDESCRIPTOR*);
    int(WINAPI* describePixelFormat)(HDC, int, UINT, PIXELFORMATDESCRIPTOR*);
    BOOL(WINAPI* setPixelFormat)(HDC, int, const PIXELFORMATDESCRIPTOR*);
    HGLRC(WINAPI* createContext)(HDC);
    BOOL(WINAPI* makeCurrent)(HDC, HGLRC);
    BOOL(WINAPI* deleteContext)(HGLRC);
    HGLRC(WINAPI* getCurrentContext)();
    HDC(WINAPI* getCurrentDC)();
    PROC(WINAPI* getProcAddress)(LPCSTR);
    const GLubyte*(WINAPI* getString)(GLenum);
    BOOL(WINAPI* swapBuffers)(HDC);
    void(WINAPI* getIntegerv)(GLenum, GLint*);
    GLenum(WINAPI* getError)();
};

// The table in use; it starts as RealWglBinding().
extern WglBinding wgl;

// The platform's own operations.
WglBinding RealWglBinding();

// An entry point of the current context's driver, fetched by name. It comes
// back as the untyped PROC; each caller gets its own type, by way of the
// generic function pointer type that every compiler accepts.
template <typename Function>
Function FetchWglFunction(const char* name)
{
    using GenericFunction = void (*)();
    return reinterpret_cast<Function>(reinterpret_cast<GenericFunction>(wgl.getProcAddress(name)));
}

// The WGL extension entry points, fetched by name; each needs a current
// context and is null when the driver lacks it.
PFNWGLGETEXTENSIONSSTRINGARBPROC FetchGetExtensionsStringARB();
PFNWGLCHOOSEPIXELFORMATARBPROC FetchChoosePixelFormatARB();
PFNWGLCREATECONTEXTATTRIBSARBPROC FetchCreateContextAttribsARB();
PFNWGLGETPIXELFORMATATTRIBIVARBPROC FetchGetPixelFormatAttribivARB();
PFNWGLGETCONTEXTGPUIDAMDPROC FetchGetContextGPUIDAMD();
PFNWGLGETGPUINFOAMDPROC FetchGetGPUInfoAMD();

// NOTE: WGL_WINE_query_renderer is Wine's own, with the values of
// GLX_MESA_query_renderer; no wglext.h has it.
typedef BOOL(WINAPI* PFNWGLQUERYCURRENTRENDERERINTEGERWINEPROC)(GLenum attribute, GLuint* value);
PFNWGLQUERYCURRENTRENDERERINTEGERWINEPROC FetchQueryCurrentRendererIntegerWINE();
