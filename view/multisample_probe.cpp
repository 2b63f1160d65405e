#include "view/multisample_probe.h"

#include "platform/extension_tokens.h"
#include "platform/gl_strings.h"
#include "platform/hidden_window.h"
#include "platform/wgl_binding.h"
#include "view/gl_view.h"

int multisampleFormat = 0;
int multisampleSamples = 0;

namespace {

// Where the WGL_SAMPLES_ARB value sits in the attribute list below.
const int kSamplesValueIndex = 19;

// One call of wglChoosePixelFormatARB; it counts only when the driver
// reports success and at least one format.
bool TryChoose(PFNWGLCHOOSEPIXELFORMATARBPROC choose, HDC deviceContext, const int* attributes,
               int* format)
{
    const FLOAT noFloatAttributes[2] = {0.0f, 0.0f};
    int found = 0;
    UINT count = 0;
    if (choose(deviceContext, attributes, noFloatAttributes, 1, &found, &count) == FALSE)
        return false;
    if (count < 1)
        return false;
    *format = found;
    return true;
}

// The questions to the driver; they need the temporary context current.
bool FindMultisampleFormat(HDC deviceContext, int* format, int* samples)
{
    if (!ContainsWholeToken(ExtensionSearchString(), "WGL_ARB_multisample"))
        return false;
    PFNWGLCHOOSEPIXELFORMATARBPROC choose = FetchChoosePixelFormatARB();
    if (choose == nullptr)
        return false;

    int attributes[] = {
        WGL_DRAW_TO_WINDOW_ARB, 1,
        WGL_SUPPORT_OPENGL_ARB, 1,
        WGL_ACCELERATION_ARB, WGL_FULL_ACCELERATION_ARB,
        WGL_COLOR_BITS_ARB, 24,
        WGL_ALPHA_BITS_ARB, 8,
        WGL_DEPTH_BITS_ARB, 16,
        WGL_STENCIL_BITS_ARB, 0,
        WGL_DOUBLE_BUFFER_ARB, 1,
        WGL_SAMPLE_BUFFERS_ARB, 1,
        WGL_SAMPLES_ARB, 4,
        0, 0,
    };
    static_assert(sizeof(attributes) / sizeof(attributes[0]) == kSamplesValueIndex + 3,
                  "the samples value is the last before the terminating pair");
    const int kSampleCounts[] = {4, 2};
    for (int wanted : kSampleCounts) {
        attributes[kSamplesValueIndex] = wanted;
        if (TryChoose(choose, deviceContext, attributes, format)) {
            *samples = wanted;
            return true;
        }
    }
    return false;
}

}  // namespace

bool SetStandardPixelFormat(HDC deviceContext)
{
    PIXELFORMATDESCRIPTOR request = StandardPixelFormat();
    int plainFormat = wgl.choosePixelFormat(deviceContext, &request);
    if (plainFormat == 0) {
        plainFormat = 1;
        if (wgl.describePixelFormat(deviceContext, plainFormat, sizeof(request), &request) == 0)
            return false;
    }
    return wgl.setPixelFormat(deviceContext, plainFormat, &request) != FALSE;
}

bool ChooseMultisampleFormat(HDC deviceContext)
{
    if (!SetStandardPixelFormat(deviceContext))
        return false;

    // NOTE: wglGetProcAddress and the extension strings answer only while a
    // context is current.
    HGLRC temporary = wgl.createContext(deviceContext);
    if (temporary == nullptr)
        return false;
    int format = 0;
    int samples = 0;
    bool found = false;
    if (wgl.makeCurrent(deviceContext, temporary) != FALSE)
        found = FindMultisampleFormat(deviceContext, &format, &samples);
    wgl.makeCurrent(nullptr, nullptr);
    wgl.deleteContext(temporary);

    if (found) {
        multisampleFormat = format;
        multisampleSamples = samples;
    }
    return found;
}

bool ProbeMultisampleFormat()
{
    HiddenWindow window(100, 100);
    return window.DeviceContext() != nullptr && ChooseMultisampleFormat(window.DeviceContext());
}
