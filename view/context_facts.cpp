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

// The versions asked for, each "M.N" and its NUL: the core profile's, then
// OpenGL ES's, each newest first.
static const char kVersions[] = "4.6\0" "4.5\0" "4.4\0" "4.3\0" "4.2\0" "4.1\0" "4.0\0" "3.3\0" "3.2\0"
                                "3.2\0" "3.1\0" "3.0\0" "2.0";
const int kVersionBytes = 4;

// Where the major and minor values sit in the attribute list below.
const int kMajorValueIndex = 1;
const int kMinorValueIndex = 3;

// The profiles probed: the core profile, then OpenGL ES.
struct ProfileRequest {
    int profileMask;
    int firstVersion;  // in kVersions
    int versionCount;
};
static constexpr ProfileRequest kProfileRequests[] = {
    {WGL_CONTEXT_CORE_PROFILE_BIT_ARB, 0, 9},
    {WGL_CONTEXT_ES2_PROFILE_BIT_EXT, 9, 4},
};
static_assert(sizeof kVersions == 13 * kVersionBytes, "the versions of both profiles");
const int kProfileCount = 2;

// What a probe read of the first context made that could be made current.
struct ProfileFound {
    const char* version;
    const char* shadingLanguage;
    int made;  // 1 more than the index of the version made, or one of the two below
};
const int kNoContextToAsk = 0;
const int kEveryVersionRefused = -1;

// Asks for each version of request in turn with create on deviceContext,
// which has its format and temporary current; with the first context made
// that can be made current, reads its strings and calls visit.
static void TryVersions(HDC deviceContext, HGLRC temporary, PFNWGLCREATECONTEXTATTRIBSARBPROC create,
                        const ProfileRequest& request, FactPool& pool, ProfileFound& found,
                        CoreContextVisitor visit, void* visitState)
{
    int attributes[] = {
        WGL_CONTEXT_MAJOR_VERSION_ARB, 0,
        WGL_CONTEXT_MINOR_VERSION_ARB, 0,
        WGL_CONTEXT_PROFILE_MASK_ARB, request.profileMask,
        0, 0,
    };
    static_assert(sizeof(attributes) / sizeof(attributes[0]) == 8, "three pairs and the end");
    found.made = kEveryVersionRefused;
    for (int i = request.firstVersion; i < request.firstVersion + request.versionCount; ++i) {
        const char* wanted = kVersions + i * kVersionBytes;
        attributes[kMajorValueIndex] = wanted[0] - '0';
        attributes[kMinorValueIndex] = wanted[2] - '0';
        HGLRC made = create(deviceContext, nullptr, attributes);
        if (made == nullptr)
            continue;
        const bool madeCurrent = wgl.makeCurrent(deviceContext, made) != FALSE;
        if (madeCurrent) {
            found.version = pool.Copy(GlString(GL_VERSION));
            found.shadingLanguage = pool.Copy(GlString(GL_SHADING_LANGUAGE_VERSION));
            if (visit != nullptr)
                visit(visitState);
            found.made = i + 1;
        }
        // NOTE: a failed wglMakeCurrent leaves no context current; the next
        // version is asked with the temporary context current, as the first was.
        wgl.makeCurrent(deviceContext, temporary);
        wgl.deleteContext(made);
        if (madeCurrent)
            return;
    }
}

// NOTE: WGL_EXT_create_context_es_profile and its ES 2.0 predecessor share
// the one profile bit.
static_assert(WGL_CONTEXT_ES2_PROFILE_BIT_EXT == WGL_CONTEXT_ES_PROFILE_BIT_EXT, "the same profile bit");
// The why of a driver without it, which ends with the extension's name.
static const char kNoEs2Profile[] = "no WGL_EXT_create_context_es2_profile";
const int kEs2ProfileName = 3;

const char* ProbeContextProfiles(HDC viewDC, HGLRC viewContext, FactPool& pool, EsProfileFacts& es,
                                 CoreContextVisitor visit, void* visitState)
{
    const char* extensions = QueryWglExtensions();
    const bool asked[kProfileCount] = {
        ContainsWholeToken(extensions, "WGL_ARB_create_context_profile"),
        ContainsWholeToken(extensions, kNoEs2Profile + kEs2ProfileName) ||
            ContainsWholeToken(extensions, "WGL_EXT_create_context_es_profile"),
    };
    ProfileFound found[kProfileCount] = {};
    static_assert(kNoContextToAsk == 0, "where nothing was asked");
    if (asked[0] || asked[1]) {
        // On a window of its own: a window's pixel format can be set only once.
        HiddenWindow window(100, 100);
        const HDC deviceContext = window.DeviceContext();
        // NOTE: wglCreateContextAttribsARB is fetched with a context current,
        // and only a legacy context can be made without it.
        HGLRC temporary = nullptr;
        if (deviceContext != nullptr && SetStandardPixelFormat(deviceContext))
            temporary = wgl.createContext(deviceContext);
        PFNWGLCREATECONTEXTATTRIBSARBPROC create = nullptr;
        if (temporary != nullptr && wgl.makeCurrent(deviceContext, temporary) != FALSE)
            create = FetchCreateContextAttribsARB();
        for (int i = 0; i < kProfileCount && create != nullptr; ++i) {
            if (asked[i])
                TryVersions(deviceContext, temporary, create, kProfileRequests[i], pool, found[i], visit,
                            visitState);
            // Only the core profile's context is visited.
            visit = nullptr;
        }
        if (temporary != nullptr) {
            wgl.makeCurrent(nullptr, nullptr);
            wgl.deleteContext(temporary);
        }
        wgl.makeCurrent(viewDC, viewContext);
    }
    const ProfileFound& esFound = found[1];
    es = EsProfileFacts{};
    if (esFound.made > 0) {
        es.version = kVersions + (esFound.made - 1) * kVersionBytes;
        es.versionString = esFound.version;
        es.shadingLanguage = esFound.shadingLanguage;
    } else {
        es.why = !asked[1] ? kNoEs2Profile
                 : esFound.made == kNoContextToAsk ? "no context could be made"
                                                   : "3.2, 3.1, 3.0 and 2.0 refused";
    }
    return found[0].version;
}

// WGL_RENDERER_VIDEO_MEMORY_WINE, WGL_RENDERER_VENDOR_ID_WINE, WGL_RENDERER_DEVICE_ID_WINE.
static const GLenum kWineRendererQueries[] = {0x8187, 0x8183, 0x8184};

// A PCI id, -1 for none (Mesa's software renderers answer 0xFFFFFFFF).
static long PciId(GLuint value)
{
    return value == 0 || value == 0xFFFFFFFFu ? -1 : static_cast<long>(value);
}

// A value of the current context's in KB (the first of four for
// GL_TEXTURE_FREE_MEMORY_ATI), in MB; -1 when it gives none.
static long Megabytes(GLenum name)
{
    GLint kilobytes[4] = {-1, -1, -1, -1};
    wgl.getIntegerv(name, kilobytes);
    return kilobytes[0] >= 0 ? kilobytes[0] / 1024 : -1;
}

bool ReadVideoMemory(VideoMemoryFacts& facts)
{
    facts = VideoMemoryFacts{0, -1, nullptr, -1, -1};
    const char* gl = GlString(GL_EXTENSIONS);
    const char* wglExtensions = QueryWglExtensions();
    // Each source is the extension that tells it.
    const char* source = "GL_NVX_gpu_memory_info";
    if (ContainsWholeToken(gl, source)) {
        facts.totalMB = Megabytes(GL_GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX);
        facts.freeMB = Megabytes(GL_GPU_MEMORY_INFO_CURRENT_AVAILABLE_VIDMEM_NVX);
    } else if (ContainsWholeToken(wglExtensions, source = "WGL_AMD_gpu_association")) {
        const PFNWGLGETCONTEXTGPUIDAMDPROC contextGpu = FetchGetContextGPUIDAMD();
        const PFNWGLGETGPUINFOAMDPROC gpuInfo = FetchGetGPUInfoAMD();
        UINT megabytes = 0;
        if (contextGpu != nullptr && gpuInfo != nullptr)
            gpuInfo(contextGpu(wgl.getCurrentContext()), WGL_GPU_RAM_AMD, GL_UNSIGNED_INT, 1, &megabytes);
        facts.totalMB = static_cast<long>(megabytes);
        if (ContainsWholeToken(gl, "GL_ATI_meminfo"))
            facts.freeMB = Megabytes(GL_TEXTURE_FREE_MEMORY_ATI);
    } else if (ContainsWholeToken(wglExtensions, source = "WGL_WINE_query_renderer")) {
        const PFNWGLQUERYCURRENTRENDERERINTEGERWINEPROC query = FetchQueryCurrentRendererIntegerWINE();
        GLuint values[3] = {0, 0, 0};
        for (int i = 0; i < 3 && query != nullptr; ++i)
            query(kWineRendererQueries[i], &values[i]);
        facts.totalMB = static_cast<long>(values[0]);
        facts.vendorId = PciId(values[1]);
        facts.deviceId = PciId(values[2]);
    } else {
        return false;
    }
    facts.source = source;
    return facts.totalMB > 0;
}
