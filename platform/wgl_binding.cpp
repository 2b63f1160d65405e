#include "platform/wgl_binding.h"

WglBinding RealWglBinding()
{
    WglBinding binding;
    binding.choosePixelFormat = ChoosePixelFormat;
    binding.describePixelFormat = DescribePixelFormat;
    binding.setPixelFormat = SetPixelFormat;
    binding.createContext = wglCreateContext;
    binding.makeCurrent = wglMakeCurrent;
    binding.deleteContext = wglDeleteContext;
    binding.getCurrentContext = wglGetCurrentContext;
    binding.getCurrentDC = wglGetCurrentDC;
    binding.getProcAddress = wglGetProcAddress;
    binding.getString = glGetString;
    binding.swapBuffers = SwapBuffers;
    binding.getIntegerv = glGetIntegerv;
    binding.getError = glGetError;
    return binding;
}

WglBinding wgl = RealWglBinding();

PFNWGLGETEXTENSIONSSTRINGARBPROC FetchGetExtensionsStringARB()
{
    return FetchWglFunction<PFNWGLGETEXTENSIONSSTRINGARBPROC>("wglGetExtensionsStringARB");
}

PFNWGLCHOOSEPIXELFORMATARBPROC FetchChoosePixelFormatARB()
{
    return FetchWglFunction<PFNWGLCHOOSEPIXELFORMATARBPROC>("wglChoosePixelFormatARB");
}

PFNWGLCREATECONTEXTATTRIBSARBPROC FetchCreateContextAttribsARB()
{
    return FetchWglFunction<PFNWGLCREATECONTEXTATTRIBSARBPROC>("wglCreateContextAttribsARB");
}

PFNWGLGETPIXELFORMATATTRIBIVARBPROC FetchGetPixelFormatAttribivARB()
{
    return FetchWglFunction<PFNWGLGETPIXELFORMATATTRIBIVARBPROC>("wglGetPixelFormatAttribivARB");
}

PFNWGLGETCONTEXTGPUIDAMDPROC FetchGetContextGPUIDAMD()
{
    return FetchWglFunction<PFNWGLGETCONTEXTGPUIDAMDPROC>("wglGetContextGPUIDAMD");
}

PFNWGLGETGPUINFOAMDPROC FetchGetGPUInfoAMD()
{
    return FetchWglFunction<PFNWGLGETGPUINFOAMDPROC>("wglGetGPUInfoAMD");
}

PFNWGLQUERYCURRENTRENDERERINTEGERWINEPROC FetchQueryCurrentRendererIntegerWINE()
{
    return FetchWglFunction<PFNWGLQUERYCURRENTRENDERERINTEGERWINEPROC>("wglQueryCurrentRendererIntegerWINE");
}
