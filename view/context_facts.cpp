#include "view/context_facts.h"

#include "platform/extension_tokens.h"
#include "platform/gl_limits.h"
#include "platform/gl_strings.h"
#include "platform/hidden_window.h"
#include "platform/wgl_binding.h"
#include "view/multisample_probe.h"

bool DescribeFormatFlags(HDC deviceContext, int format, unsigned long* flags)
{
    PIXELFORMATDESCRIPTOR description = {};
    if (wgl.describePixelFormat(deviceContext, format, sizeof description, &description) == 0)
        return false;
    *flags = description.dwFlags;
    return true;
}

const char* QueryShadingLanguage()
{
    if (!HasShadingLanguage(GlString(GL_VERSION)))
        return nullptr;
    return GlString(GL_SHADING_LANGUAGE_VERSION);
}

int ReadContextLimits(LimitValue* limits)
{
    return ReadLimits(wgl.getIntegerv, wgl.getError, GlString(GL_VERSION), GlString(GL_EXTENSIONS),
                      limits);
}

// The core-profile versions asked for, newest first.
static const int kCoreVersions[][2] = {{4, 6}, {4, 5}, {4, 4}, {4, 3}, {4, 2},
                                       {4, 1}, {4, 0}, {3, 3}, {3, 2}};

// Where the major and minor values sit in the attribute list below.
const int kMajorValueIndex = 1;
const int kMinorValueIndex = 3;

// Asks for each core version in turn on deviceContext, which has its format;
// the first context made that can be made current answers. Frees every
// context it made.
static const char* TryCoreContexts(HDC deviceContext, FactPool& pool)
{
    // NOTE: wglCreateContextAttribsARB is fetched with a context current,
    // and only a legacy context can be made without it.
    HGLRC temporary = wgl.createContext(deviceContext);
    if (temporary == nullptr)
        return nullptr;
    const char* version = nullptr;
    PFNWGLCREATECONTEXTATTRIBSARBPROC create = nullptr;
    if (wgl.makeCurrent(deviceContext, temporary) != FALSE)
        create = FetchCreateContextAttribsARB();
    int attributes[] = {
        WGL_CONTEXT_MAJOR_VERSION_ARB, 0,
        WGL_CONTEXT_MINOR_VERSION_ARB, 0,
        WGL_CONTEXT_PROFILE_MASK_ARB, WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
        0, 0,
    };
    static_assert(sizeof(attributes) / sizeof(attributes[0]) == 8, "three pairs and the end");
    for (const auto& wanted : kCoreVersions) {
        if (create == nullptr)
            break;
        attributes[kMajorValueIndex] = wanted[0];
        attributes[kMinorValueIndex] = wanted[1];
        HGLRC core = create(deviceContext, nullptr, attributes);
        if (core == nullptr)
            continue;
        const bool madeCurrent = wgl.makeCurrent(deviceContext, core) != FALSE;
        if (madeCurrent)
            version = pool.Copy(GlString(GL_VERSION));
        // NOTE: a failed wglMakeCurrent leaves no context current; the next
        // version is asked with the temporary context current, as the first was.
        wgl.makeCurrent(deviceContext, temporary);
        wgl.deleteContext(core);
        if (madeCurrent)
            break;
    }
    wgl.makeCurrent(nullptr, nullptr);
    wgl.deleteContext(temporary);
    return version;
}

const char* ProbeCoreProfile(HDC viewDC, HGLRC viewContext, FactPool& pool)
{
    if (!ContainsWholeToken(QueryWglExtensions(), "WGL_ARB_create_context_profile"))
        return nullptr;
    const char* version = nullptr;
    {
        HiddenWindow window(100, 100);
        if (window.DeviceContext() != nullptr && SetStandardPixelFormat(window.DeviceContext()))
            version = TryCoreContexts(window.DeviceContext(), pool);
    }
    wgl.makeCurrent(viewDC, viewContext);
    return version;
}
