// Buffers that no window shows, for drawing the test scene where the screen
// cannot be trusted: a framebuffer object on the view's own context where the
// driver offers one, else a pbuffer, else a DIB section, which Windows' own
// renderer always draws into. NOTE: a hidden window's own buffer is no such
// place: its pixels fail the pixel ownership test, and reading them gives
// whatever the driver keeps there.
#pragma once

#include "document/report_facts.h"
#include "platform/windows_headers.h"

class OffscreenTarget {
public:
    OffscreenTarget() = default;
    ~OffscreenTarget() { Close(); }
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // Needs the view's context current. Makes the first target that can be
    // made, trying first and those after it, of width by height pixels with
    // up to samples samples, and leaves it ready to draw into with the view's
    // state set up. False when none could be made: why then says why the
    // first one failed, and kind names it.
    bool Open(int width, int height, int samples, RenderTarget first = kTargetFramebufferObject);
    // Makes what was drawn readable by glReadPixels: a multisampled
    // framebuffer object is resolved into a plain one.
    void PrepareRead();
    // Frees the target and makes the view's context current again; the
    // caller sets the view's state up again.
    void Close();

    RenderTarget kind = kTargetFramebufferObject;
    int samples = 0;  // of the buffer drawn into
    const char* why = nullptr;

private:
    bool OpenFramebufferObject();
    bool OpenPbuffer();
    bool OpenBitmap();
    bool UseContext(HDC deviceContext);
    void Storage(GLuint renderbuffer, GLenum format, int samples);

    int width_ = 0;
    int height_ = 0;
    int wantedSamples_ = 0;
    bool open_ = false;
    // The framebuffer object's: the drawn one, the resolved one, and their
    // renderbuffers (colour and depth of each).
    GLuint framebuffers_[2] = {0, 0};
    GLuint renderbuffers_[4] = {0, 0, 0, 0};
    // A pbuffer's or a bitmap's: its device context and context of its own.
    HPBUFFERARB pbuffer_ = nullptr;
    PFNWGLRELEASEPBUFFERDCARBPROC releasePbufferDC_ = nullptr;
    PFNWGLDESTROYPBUFFERARBPROC destroyPbuffer_ = nullptr;
    HDC deviceContext_ = nullptr;
    HGLRC context_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
};
