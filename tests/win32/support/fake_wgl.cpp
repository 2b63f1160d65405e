#include "tests/win32/support/fake_wgl.h"

#include <algorithm>

WglScope::WglScope(const WglBinding& binding)
{
    wgl = binding;
}

WglScope::~WglScope()
{
    wgl = RealWglBinding();
}

namespace {

// An entry point as wglGetProcAddress answers it, by way of the generic
// function pointer type.
template <typename Function>
PROC AsProc(Function function)
{
    using GenericFunction = void (*)();
    return reinterpret_cast<PROC>(reinterpret_cast<GenericFunction>(function));
}

bool Named(LPCSTR name, const char* wanted)
{
    return std::string(name) == wanted;
}

FakeWgl* fake = nullptr;

int WINAPI FakeChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR*)
{
    return fake->plainFormat;
}

int WINAPI FakeDescribePixelFormat(HDC, int format, UINT size, PIXELFORMATDESCRIPTOR* description)
{
    fake->described.push_back(format);
    if (!fake->describeSucceeds)
        return 0;
    ZeroMemory(description, size);
    description->nSize = sizeof(PIXELFORMATDESCRIPTOR);
    description->nVersion = 1;
    return 3;
}

BOOL WINAPI FakeSetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*)
{
    fake->formatsSet.push_back({deviceContext, format});
    return fake->setFormatSucceeds ? TRUE : FALSE;
}

HGLRC WINAPI FakeCreateContext(HDC)
{
    if (!fake->createSucceeds)
        return nullptr;
    HGLRC context = reinterpret_cast<HGLRC>(static_cast<INT_PTR>(fake->nextContext++));
    fake->created.push_back(context);
    return context;
}

BOOL WINAPI FakeMakeCurrent(HDC deviceContext, HGLRC context)
{
    if (context == nullptr) {
        fake->current = nullptr;
        fake->currentDC = nullptr;
        return TRUE;
    }
    if (!fake->makeCurrentSucceeds)
        return FALSE;
    if (std::find(fake->unusable.begin(), fake->unusable.end(), context) != fake->unusable.end()) {
        fake->current = nullptr;
        fake->currentDC = nullptr;
        return FALSE;
    }
    fake->current = context;
    fake->currentDC = deviceContext;
    return TRUE;
}

BOOL WINAPI FakeDeleteContext(HGLRC context)
{
    fake->deleted.push_back(context);
    if (fake->current == context)
        fake->current = nullptr;
    return TRUE;
}

HGLRC WINAPI FakeGetCurrentContext()
{
    return fake->current;
}

HDC WINAPI FakeGetCurrentDC()
{
    return fake->currentDC;
}

const char* WINAPI FakeGetExtensionsString(HDC deviceContext)
{
    fake->extensionsStringDC = deviceContext;
    return fake->wglExtensions;
}

BOOL WINAPI FakeChoosePixelFormatARB(HDC, const int* attributes, const FLOAT* floats,
                                     UINT maxFormats, int* format, UINT* count)
{
    FakeWgl::ChooseCall call;
    int samples = 0;
    for (; attributes[0] != 0 || attributes[1] != 0; attributes += 2) {
        call.attributes.push_back(attributes[0]);
        call.attributes.push_back(attributes[1]);
        if (attributes[0] == WGL_SAMPLES_ARB)
            samples = attributes[1];
    }
    for (; floats[0] != 0.0f || floats[1] != 0.0f; floats += 2) {
        call.floats.push_back(floats[0]);
        call.floats.push_back(floats[1]);
    }
    call.maxFormats = maxFormats;
    call.currentAtCall = fake->current;
    fake->chooseCalls.push_back(call);

    // Out-slots a driver leaves alone on failure keep junk the caller must not use.
    *format = 999;
    *count = 0;
    if (samples == 4) {
        if (fake->count4 > 0)
            *format = fake->format4;
        *count = fake->count4;
        return fake->chooseResult4;
    }
    if (samples == 2) {
        if (fake->count2 > 0)
            *format = fake->format2;
        *count = fake->count2;
        return fake->chooseResult2;
    }
    return FALSE;
}

HGLRC WINAPI FakeCreateContextAttribs(HDC deviceContext, HGLRC share, const int* attributes)
{
    std::vector<int> call;
    for (; attributes[0] != 0; attributes += 2) {
        call.push_back(attributes[0]);
        call.push_back(attributes[1]);
    }
    fake->createAttribsCalls.push_back(call);
    if (fake->current == nullptr)
        return nullptr;  // like a driver that needs a context current for this
    if (share == nullptr && call.size() == 6 && call[1] == fake->unusableMajor &&
        call[3] == fake->unusableMinor) {
        fake->unusable.push_back(FakeCreateContext(deviceContext));
        return fake->unusable.back();
    }
    if (share != nullptr || call.size() != 6)
        return nullptr;
    if (call[5] == WGL_CONTEXT_ES2_PROFILE_BIT_EXT) {
        if (call[1] != fake->esMajor || call[3] != fake->esMinor)
            return nullptr;
        fake->esContext = FakeCreateContext(deviceContext);
        return fake->esContext;
    }
    if (call[1] != fake->coreMajor || call[3] != fake->coreMinor)
        return nullptr;
    fake->coreContext = FakeCreateContext(deviceContext);
    return fake->coreContext;
}

BOOL WINAPI FakeGetPixelFormatAttribiv(HDC, int format, int, UINT count, const int* attributes,
                                       int* values)
{
    for (UINT i = 0; i < count; ++i) {
        if (attributes[i] == WGL_NUMBER_PIXEL_FORMATS_ARB) {
            values[i] = 4;
        } else if (attributes[i] == WGL_SAMPLE_BUFFERS_ARB || attributes[i] == WGL_SAMPLES_ARB) {
            if (format == fake->samplesRefusedFormat)
                return FALSE;
            values[i] = attributes[i] == WGL_SAMPLES_ARB ? format * 2 : 1;
        } else {
            if (format == fake->queryRefusedFormat)
                return FALSE;
            values[i] = 8;
        }
    }
    return TRUE;
}

PROC WINAPI FakeGetProcAddress(LPCSTR name)
{
    if (fake->current == nullptr)
        return nullptr;
    if (fake->offerExtensionsString && Named(name, "wglGetExtensionsStringARB"))
        return AsProc(FakeGetExtensionsString);
    if (fake->offerChoose && Named(name, "wglChoosePixelFormatARB"))
        return AsProc(FakeChoosePixelFormatARB);
    if (fake->offerAttributeQuery && Named(name, "wglGetPixelFormatAttribivARB"))
        return AsProc(FakeGetPixelFormatAttribiv);
    if (fake->offerCreateAttribs && Named(name, "wglCreateContextAttribsARB"))
        return AsProc(FakeCreateContextAttribs);
    return nullptr;
}

const GLubyte* WINAPI FakeGetString(GLenum name)
{
    const char* text = nullptr;
    if (fake->current == nullptr)
        return nullptr;
    if (fake->current == fake->esContext)
        return reinterpret_cast<const GLubyte*>(name == GL_VERSION                    ? fake->esVersion
                                                : name == GL_SHADING_LANGUAGE_VERSION ? fake->esShadingLanguage
                                                                                      : nullptr);
    switch (name) {
    case GL_VENDOR: text = fake->vendor; break;
    case GL_RENDERER: text = fake->renderer; break;
    case GL_VERSION:
        text = fake->current == fake->coreContext ? fake->coreVersion : fake->version;
        break;
    case GL_EXTENSIONS:
        text = fake->glExtensions;
        ++fake->glExtensionsReads;
        break;
    }
    return reinterpret_cast<const GLubyte*>(text);
}

BOOL WINAPI FakeSwapBuffers(HDC)
{
    return TRUE;
}

// No limits and no errors: nothing here reads them.
void WINAPI FakeGetIntegerv(GLenum, GLint* value)
{
    *value = 0;
}

GLenum WINAPI FakeGetError()
{
    return GL_NO_ERROR;
}

WglBinding FakeBinding()
{
    WglBinding binding;
    binding.choosePixelFormat = FakeChoosePixelFormat;
    binding.describePixelFormat = FakeDescribePixelFormat;
    binding.setPixelFormat = FakeSetPixelFormat;
    binding.createContext = FakeCreateContext;
    binding.makeCurrent = FakeMakeCurrent;
    binding.deleteContext = FakeDeleteContext;
    binding.getCurrentContext = FakeGetCurrentContext;
    binding.getCurrentDC = FakeGetCurrentDC;
    binding.getProcAddress = FakeGetProcAddress;
    binding.getString = FakeGetString;
    binding.swapBuffers = FakeSwapBuffers;
    binding.getIntegerv = FakeGetIntegerv;
    binding.getError = FakeGetError;
    return binding;
}

CountingRealWgl* counting = nullptr;
PFNWGLCREATECONTEXTATTRIBSARBPROC realCreateAttribs = nullptr;

HGLRC WINAPI CountedCreateContext(HDC deviceContext)
{
    if (!counting->createSucceeds)
        return nullptr;
    HGLRC context = wglCreateContext(deviceContext);
    if (context != nullptr)
        counting->created.push_back(context);
    return context;
}

HGLRC WINAPI CountedCreateAttribs(HDC deviceContext, HGLRC share, const int* attributes)
{
    HGLRC context = realCreateAttribs(deviceContext, share, attributes);
    if (context != nullptr)
        counting->created.push_back(context);
    return context;
}

BOOL WINAPI CountedDeleteContext(HGLRC context)
{
    counting->deleted.push_back(context);
    return wglDeleteContext(context);
}

PROC WINAPI CountedGetProcAddress(LPCSTR name)
{
    const std::vector<std::string>& hidden = counting->hidden;
    if (std::find(hidden.begin(), hidden.end(), name) != hidden.end())
        return nullptr;
    PROC real = wglGetProcAddress(name);
    if (real == nullptr || !Named(name, "wglCreateContextAttribsARB"))
        return real;
    using GenericFunction = void (*)();
    realCreateAttribs = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<GenericFunction>(real));
    return AsProc(CountedCreateAttribs);
}

WglBinding CountingBinding()
{
    WglBinding binding = RealWglBinding();
    binding.createContext = CountedCreateContext;
    binding.deleteContext = CountedDeleteContext;
    binding.getProcAddress = CountedGetProcAddress;
    return binding;
}

}  // namespace

FakeWgl::FakeWgl() : WglScope(FakeBinding())
{
    fake = this;
}

FakeWgl::~FakeWgl()
{
    fake = nullptr;
}

CountingRealWgl::CountingRealWgl() : WglScope(CountingBinding())
{
    counting = this;
    realCreateAttribs = nullptr;
}

CountingRealWgl::~CountingRealWgl()
{
    counting = nullptr;
}
