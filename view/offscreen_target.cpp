#include "view/offscreen_target.h"

#include "platform/extension_tokens.h"
#include "platform/gl_strings.h"
#include "platform/wgl_binding.h"
#include "view/gl_view.h"

namespace {

// The framebuffer-object entry points, by their names without "gl" and
// without the "EXT" that EXT_framebuffer_object's carry.
enum FramebufferFunction {
    kGenFramebuffers,
    kBindFramebuffer,
    kFramebufferRenderbuffer,
    kCheckFramebufferStatus,
    kDeleteFramebuffers,
    kGenRenderbuffers,
    kBindRenderbuffer,
    kRenderbufferStorage,
    kDeleteRenderbuffers,
    // Needed only for a multisampled buffer.
    kRenderbufferStorageMultisample,
    kBlitFramebuffer,
    kFramebufferFunctionCount
};
const char* const kFramebufferFunctionNames[kFramebufferFunctionCount] = {
    "GenFramebuffers",  "BindFramebuffer",     "FramebufferRenderbuffer",        "CheckFramebufferStatus",
    "DeleteFramebuffers", "GenRenderbuffers",  "BindRenderbuffer",               "RenderbufferStorage",
    "DeleteRenderbuffers", "RenderbufferStorageMultisample", "BlitFramebuffer",
};

using GenericFunction = void(APIENTRY*)();
GenericFunction framebufferFunctions[kFramebufferFunctionCount];

template <typename Function>
Function Framebuffer(FramebufferFunction which)
{
    return reinterpret_cast<Function>(framebufferFunctions[which]);
}

void BindFramebuffer(GLenum target, GLuint framebuffer)
{
    Framebuffer<PFNGLBINDFRAMEBUFFERPROC>(kBindFramebuffer)(target, framebuffer);
}

// Fetches the entry points with suffix; false when one the plain buffer
// needs is missing.
bool FetchFramebufferFunctions(const char* suffix)
{
    bool complete = true;
    for (int i = 0; i < kFramebufferFunctionCount; ++i) {
        char name[48];
        lstrcpyA(name, "gl");
        lstrcatA(name, kFramebufferFunctionNames[i]);
        lstrcatA(name, suffix);
        framebufferFunctions[i] = FetchWglFunction<GenericFunction>(name);
        if (framebufferFunctions[i] == nullptr && i < kRenderbufferStorageMultisample)
            complete = false;
    }
    return complete;
}

// The draw and read buffers of a pbuffer's or a bitmap's own context: the
// back one when it has one.
void UseOwnBuffers()
{
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    const GLenum buffer = doubleBuffered ? GL_BACK : GL_FRONT;
    glDrawBuffer(buffer);
    glReadBuffer(buffer);
}

}  // namespace

bool OffscreenTarget::Open(int width, int height, int wantedSamples, RenderTarget first)
{
    width_ = width;
    height_ = height;
    wantedSamples_ = wantedSamples;
    why = nullptr;
    const char* firstWhy = nullptr;
    RenderTarget firstKind = first;
    for (int target = first; target <= kTargetBitmap; ++target) {
        kind = static_cast<RenderTarget>(target);
        samples = 0;
        bool made = kind == kTargetFramebufferObject ? OpenFramebufferObject()
                    : kind == kTargetPbuffer         ? OpenPbuffer()
                                                     : OpenBitmap();
        open_ = true;
        if (made) {
            glView.SetupView(width, height, -1.0);
            if (kind == kTargetFramebufferObject) {
                glDrawBuffer(GL_COLOR_ATTACHMENT0);
                glReadBuffer(GL_COLOR_ATTACHMENT0);
            } else {
                UseOwnBuffers();
            }
            return true;
        }
        Close();
        if (firstWhy == nullptr)
            firstWhy = why;
    }
    kind = firstKind;
    why = firstWhy;
    return false;
}

void OffscreenTarget::Storage(GLuint renderbuffer, GLenum format, int bufferSamples)
{
    Framebuffer<PFNGLBINDRENDERBUFFERPROC>(kBindRenderbuffer)(GL_RENDERBUFFER, renderbuffer);
    if (bufferSamples > 0)
        Framebuffer<PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC>(kRenderbufferStorageMultisample)(
            GL_RENDERBUFFER, bufferSamples, format, width_, height_);
    else
        Framebuffer<PFNGLRENDERBUFFERSTORAGEPROC>(kRenderbufferStorage)(GL_RENDERBUFFER, format, width_, height_);
}

bool OffscreenTarget::OpenFramebufferObject()
{
    const char* version = GlString(GL_VERSION);
    const char* extensions = GlString(GL_EXTENSIONS);
    const char* suffix = "";
    if ((version == nullptr || version[0] < '3' || version[1] != '.') &&
        !ContainsWholeToken(extensions, "GL_ARB_framebuffer_object")) {
        suffix = "EXT";
        if (!ContainsWholeToken(extensions, "GL_EXT_framebuffer_object")) {
            why = "the driver offers no framebuffer objects";
            return false;
        }
    }
    if (!FetchFramebufferFunctions(suffix)) {
        why = "the driver lacks entry points of its framebuffer objects";
        return false;
    }
    if (framebufferFunctions[kRenderbufferStorageMultisample] != nullptr &&
        framebufferFunctions[kBlitFramebuffer] != nullptr)
        samples = wantedSamples_;
    Framebuffer<PFNGLGENFRAMEBUFFERSPROC>(kGenFramebuffers)(2, framebuffers_);
    Framebuffer<PFNGLGENRENDERBUFFERSPROC>(kGenRenderbuffers)(4, renderbuffers_);
    // The drawn buffer, then, when it is multisampled, the plain one it is
    // resolved into.
    for (int i = 0; i < (samples > 0 ? 2 : 1); ++i) {
        const int bufferSamples = i == 0 ? samples : 0;
        BindFramebuffer(GL_FRAMEBUFFER, framebuffers_[i]);
        Storage(renderbuffers_[2 * i], GL_RGBA8, bufferSamples);
        Storage(renderbuffers_[2 * i + 1], GL_DEPTH_COMPONENT24, bufferSamples);
        const auto attach = Framebuffer<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(kFramebufferRenderbuffer);
        attach(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers_[2 * i]);
        attach(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers_[2 * i + 1]);
        if (Framebuffer<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(kCheckFramebufferStatus)(GL_FRAMEBUFFER) !=
            GL_FRAMEBUFFER_COMPLETE) {
            why = "the framebuffer object is incomplete";
            return false;
        }
    }
    BindFramebuffer(GL_FRAMEBUFFER, framebuffers_[0]);
    return true;
}

bool OffscreenTarget::UseContext(HDC deviceContext)
{
    context_ = wgl.createContext(deviceContext);
    if (context_ != nullptr && wgl.makeCurrent(deviceContext, context_) != FALSE)
        return true;
    why = "its rendering context could not be made";
    return false;
}

bool OffscreenTarget::OpenPbuffer()
{
    const auto choose = FetchChoosePixelFormatARB();
    const auto create = FetchWglFunction<PFNWGLCREATEPBUFFERARBPROC>("wglCreatePbufferARB");
    const auto getDeviceContext = FetchWglFunction<PFNWGLGETPBUFFERDCARBPROC>("wglGetPbufferDCARB");
    releasePbufferDC_ = FetchWglFunction<PFNWGLRELEASEPBUFFERDCARBPROC>("wglReleasePbufferDCARB");
    destroyPbuffer_ = FetchWglFunction<PFNWGLDESTROYPBUFFERARBPROC>("wglDestroyPbufferARB");
    if (!ContainsWholeToken(ExtensionSearchString(), "WGL_ARB_pbuffer") || choose == nullptr ||
        create == nullptr || getDeviceContext == nullptr || releasePbufferDC_ == nullptr ||
        destroyPbuffer_ == nullptr) {
        why = "the driver offers no pbuffers";
        return false;
    }
    // With the view's samples first, then without; the sample pair is last.
    int attributes[] = {
        WGL_DRAW_TO_PBUFFER_ARB, 1, WGL_SUPPORT_OPENGL_ARB, 1, WGL_PIXEL_TYPE_ARB, WGL_TYPE_RGBA_ARB,
        WGL_COLOR_BITS_ARB, 24, WGL_DEPTH_BITS_ARB, 16, WGL_SAMPLE_BUFFERS_ARB, 1, WGL_SAMPLES_ARB,
        wantedSamples_, 0, 0,
    };
    const int kSampleBuffersIndex = 10;
    const FLOAT noFloatAttributes[2] = {0.0f, 0.0f};
    int format = 0;
    UINT count = 0;
    if (wantedSamples_ > 0 &&
        choose(glView.deviceContext, attributes, noFloatAttributes, 1, &format, &count) != FALSE && count > 0) {
        samples = wantedSamples_;
    } else {
        attributes[kSampleBuffersIndex] = 0;
        if (choose(glView.deviceContext, attributes, noFloatAttributes, 1, &format, &count) == FALSE ||
            count == 0) {
            why = "the driver has no pixel format for a pbuffer";
            return false;
        }
    }
    const int noAttributes[2] = {0, 0};
    pbuffer_ = create(glView.deviceContext, format, width_, height_, noAttributes);
    if (pbuffer_ != nullptr)
        deviceContext_ = getDeviceContext(pbuffer_);
    if (deviceContext_ == nullptr) {
        why = "the pbuffer could not be made";
        return false;
    }
    return UseContext(deviceContext_);
}

bool OffscreenTarget::OpenBitmap()
{
    deviceContext_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    if (deviceContext_ != nullptr)
        bitmap_ = CreateDIBSection(deviceContext_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr) {
        why = "the bitmap could not be made";
        return false;
    }
    previousBitmap_ = SelectObject(deviceContext_, bitmap_);
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL | PFD_SUPPORT_GDI;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cDepthBits = 16;
    const int format = wgl.choosePixelFormat(deviceContext_, &request);
    if (format == 0 || wgl.setPixelFormat(deviceContext_, format, &request) == FALSE) {
        why = "no pixel format draws into a bitmap";
        return false;
    }
    return UseContext(deviceContext_);
}

void OffscreenTarget::PrepareRead()
{
    if (kind != kTargetFramebufferObject || samples == 0)
        return;
    BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers_[0]);
    BindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers_[1]);
    Framebuffer<PFNGLBLITFRAMEBUFFERPROC>(kBlitFramebuffer)(0, 0, width_, height_, 0, 0, width_, height_,
                                                             GL_COLOR_BUFFER_BIT, GL_NEAREST);
    // Read the resolved picture; later frames are drawn multisampled again.
    BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers_[1]);
    BindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers_[0]);
}

void OffscreenTarget::Close()
{
    if (!open_)
        return;
    open_ = false;
    if (context_ != nullptr) {
        wgl.makeCurrent(glView.deviceContext, glView.renderContext);
        wgl.deleteContext(context_);
        context_ = nullptr;
    }
    if (framebuffers_[0] != 0) {
        BindFramebuffer(GL_FRAMEBUFFER, 0);
        Framebuffer<PFNGLDELETERENDERBUFFERSPROC>(kDeleteRenderbuffers)(4, renderbuffers_);
        Framebuffer<PFNGLDELETEFRAMEBUFFERSPROC>(kDeleteFramebuffers)(2, framebuffers_);
        framebuffers_[0] = framebuffers_[1] = 0;
    }
    if (pbuffer_ != nullptr) {
        if (deviceContext_ != nullptr)
            releasePbufferDC_(pbuffer_, deviceContext_);
        destroyPbuffer_(pbuffer_);
        pbuffer_ = nullptr;
    } else if (deviceContext_ != nullptr) {
        if (previousBitmap_ != nullptr)
            SelectObject(deviceContext_, previousBitmap_);
        DeleteDC(deviceContext_);
    }
    deviceContext_ = nullptr;
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    bitmap_ = nullptr;
    previousBitmap_ = nullptr;
}
