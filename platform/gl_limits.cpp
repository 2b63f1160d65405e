#include "platform/gl_limits.h"

#include "platform/extension_tokens.h"

// Enum values as glext.h defines them; the native tests compare them with it.
const LimitSpec kLimitSpecs[kLimitCount] = {
    {"GL_MAX_TEXTURE_SIZE", 0x0D33, 1, 1, 1, nullptr},
    {"GL_MAX_LIGHTS", 0x0D31, 1, 1, 1, nullptr},
    {"GL_MAX_CLIP_PLANES", 0x0D32, 1, 1, 1, nullptr},
    {"GL_MAX_VIEWPORT_DIMS", 0x0D3A, 2, 1, 1, nullptr},
    {"GL_MAX_TEXTURE_STACK_DEPTH", 0x0D39, 1, 1, 1, nullptr},
    {"GL_MAX_3D_TEXTURE_SIZE", 0x8073, 1, 1, 2, nullptr},
    {"GL_MAX_ELEMENTS_VERTICES", 0x80E8, 1, 1, 2, nullptr},
    {"GL_MAX_ELEMENTS_INDICES", 0x80E9, 1, 1, 2, nullptr},
    {"GL_MAX_CUBE_MAP_TEXTURE_SIZE", 0x851C, 1, 1, 3, "GL_ARB_texture_cube_map"},
    {"GL_MAX_TEXTURE_UNITS", 0x84E2, 1, 1, 3, "GL_ARB_multitexture"},
    {"GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT", 0x84FF, 1, kNoVersionGate, 0,
     "GL_EXT_texture_filter_anisotropic"},
    {"GL_MAX_TEXTURE_IMAGE_UNITS", 0x8872, 1, 2, 0, nullptr},
    {"GL_MAX_VERTEX_ATTRIBS", 0x8869, 1, 2, 0, nullptr},
    {"GL_MAX_DRAW_BUFFERS", 0x8824, 1, 2, 0, nullptr},
    {"GL_MAX_VARYING_FLOATS", 0x8B4B, 1, 2, 0, nullptr},
    {"GL_MAX_RENDERBUFFER_SIZE", 0x84E8, 1, 3, 0, "GL_ARB_framebuffer_object"},
    {"GL_MAX_COLOR_ATTACHMENTS", 0x8CDF, 1, 3, 0, "GL_ARB_framebuffer_object"},
    {"GL_MAX_SAMPLES", 0x8D57, 1, 3, 0, "GL_ARB_framebuffer_object"},
    {"GL_MAX_UNIFORM_BLOCK_SIZE", 0x8A30, 1, 3, 1, nullptr},
    {"GL_MAX_COMPUTE_WORK_GROUP_INVOCATIONS", 0x90EB, 1, 4, 3, nullptr},
};

namespace {

constexpr unsigned int kNoError = 0;  // GL_NO_ERROR
// A driver keeps one flag per error kind, so a handful of calls clears them;
// the bound keeps a driver that always answers an error from hanging us.
constexpr int kMaxPendingErrors = 16;

// Reads the decimal number at *text, moving past it; -1 when there is none.
int ReadNumber(const char*& text)
{
    if (*text < '0' || *text > '9')
        return -1;
    int value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value < 10000)
            value = value * 10 + (*text - '0');
    }
    return value;
}

}  // namespace

GlVersion ParseGlVersion(const char* version)
{
    if (version == nullptr)
        return {0, 0};
    const int major = ReadNumber(version);
    if (major < 0 || *version != '.')
        return {0, 0};
    ++version;
    const int minor = ReadNumber(version);
    if (minor < 0)
        return {0, 0};
    return {major, minor};
}

bool GlVersionAtLeast(const char* version, int major, int minor)
{
    const GlVersion parsed = ParseGlVersion(version);
    return parsed.major > major || (parsed.major == major && parsed.minor >= minor);
}

bool HasShadingLanguage(const char* version)
{
    return GlVersionAtLeast(version, 2, 0);
}

bool LimitApplies(const LimitSpec& known, const char* version, const char* extensions)
{
    if (known.major != kNoVersionGate && GlVersionAtLeast(version, known.major, known.minor))
        return true;
    return known.extension != nullptr && ContainsWholeToken(extensions, known.extension);
}

int ReadLimits(GetIntegervProc getIntegerv, GetErrorProc getError, const char* version,
               const char* extensions, LimitValue* limits)
{
    int count = 0;
    for (const LimitSpec& known : kLimitSpecs) {
        if (!LimitApplies(known, version, extensions))
            continue;
        for (int i = 0; i < kMaxPendingErrors && getError() != kNoError; ++i) {
        }
        // Room to spare: a driver that writes more values than the enum has
        // writes them here.
        int values[16] = {};
        getIntegerv(known.glEnum, values);
        if (getError() != kNoError)
            continue;
        LimitValue& limit = limits[count++];
        limit.name = known.name;
        limit.valueCount = known.valueCount;
        for (int i = 0; i < kMaxLimitValues; ++i)
            limit.values[i] = i < known.valueCount ? values[i] : 0;
    }
    return count;
}
