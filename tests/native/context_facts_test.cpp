// The acceleration verdict, and the limits: their enums, gates and reading.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <map>
#include <string>
#include <vector>

#include "document/acceleration.h"
#include "platform/gl_limits.h"

namespace {

std::string Verdict(bool described, unsigned long flags, const char* renderer)
{
    TextBuffer out;
    AppendAcceleration(out, JudgeAcceleration(described, flags, renderer), renderer);
    return out.Text();
}

TEST(Acceleration, FollowsTheFormatFlagsAndTheRendererString)
{
    const unsigned long generic = kFormatFlagGeneric;
    const unsigned long accelerated = kFormatFlagGeneric | kFormatFlagGenericAccelerated;
    const unsigned long icd = 0x25;  // window, OpenGL, double-buffered: no generic bits
    const struct {
        bool described;
        unsigned long flags;
        const char* renderer;
        const char* expected;
    } cases[] = {
        {true, generic, "GDI Generic", "none: the system's software renderer"},
        {true, accelerated, "Vendor X", "partial: the system's renderer with a display-driver accelerator"},
        // The generic accelerated bit alone means nothing.
        {true, kFormatFlagGenericAccelerated, "Vendor X", "full: an installable client driver"},
        {true, icd, "Quadro P400/PCIe/SSE2", "full: an installable client driver"},
        {true, icd, nullptr, "full: an installable client driver"},
        {true, icd, "llvmpipe (LLVM 15.0.6, 256 bits)",
         "none: llvmpipe (LLVM 15.0.6, 256 bits) renders in software through an installable driver"},
        {true, icd, "Gallium 0.4 on SoftPipe", "none: Gallium 0.4 on SoftPipe renders in software through an installable driver"},
        {true, icd, "Mesa X11 SWRAST", "none: Mesa X11 SWRAST renders in software through an installable driver"},
        {true, icd, "Software Rasterizer", "none: Software Rasterizer renders in software through an installable driver"},
        {true, icd, "Google SwiftShader", "none: Google SwiftShader renders in software through an installable driver"},
        {true, icd, "gdi generic", "none: gdi generic renders in software through an installable driver"},
        {true, icd, "Microsoft Basic Render Driver", "none: Microsoft Basic Render Driver renders in software through an installable driver"},
        {true, icd, "llvm pipe", "full: an installable client driver"},
        {false, generic, "llvmpipe", "unknown: the view's pixel format could not be described"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.renderer != nullptr ? c.renderer : "(null)");
        EXPECT_EQ(Verdict(c.described, c.flags, c.renderer), c.expected);
    }
}

TEST(GlVersion, TakesTheLeadingMajorAndMinorOnly)
{
    const struct {
        const char* text;
        int major, minor;
    } cases[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", 4, 5}, {"1.1.0", 1, 1}, {"10.12", 10, 12},
        {"2.1 Mesa", 2, 1}, {"OpenGL ES 3.2", 0, 0}, {"4", 0, 0}, {"4.", 0, 0}, {".5", 0, 0},
        {"", 0, 0}, {nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        const GlVersion v = ParseGlVersion(c.text);
        EXPECT_EQ(v.major, c.major) << (c.text ? c.text : "(null)");
        EXPECT_EQ(v.minor, c.minor) << (c.text ? c.text : "(null)");
    }
    // Too many digits: held at a large value, never overflowing.
    EXPECT_GE(ParseGlVersion("99999999999999999999.1").major, 10000);
    EXPECT_FALSE(HasShadingLanguage("1.5.0"));
    EXPECT_TRUE(HasShadingLanguage("2.0.0"));
    EXPECT_TRUE(HasShadingLanguage("3.0 Mesa"));
    EXPECT_FALSE(HasShadingLanguage("garbage"));
}

TEST(Limits, CarryTheEnumsOfGlext)
{
    const std::map<std::string, unsigned int> expected = {
        {"GL_MAX_TEXTURE_SIZE", GL_MAX_TEXTURE_SIZE}, {"GL_MAX_LIGHTS", GL_MAX_LIGHTS},
        {"GL_MAX_CLIP_PLANES", GL_MAX_CLIP_PLANES}, {"GL_MAX_VIEWPORT_DIMS", GL_MAX_VIEWPORT_DIMS},
        {"GL_MAX_TEXTURE_STACK_DEPTH", GL_MAX_TEXTURE_STACK_DEPTH},
        {"GL_MAX_3D_TEXTURE_SIZE", GL_MAX_3D_TEXTURE_SIZE},
        {"GL_MAX_ELEMENTS_VERTICES", GL_MAX_ELEMENTS_VERTICES},
        {"GL_MAX_ELEMENTS_INDICES", GL_MAX_ELEMENTS_INDICES},
        {"GL_MAX_CUBE_MAP_TEXTURE_SIZE", GL_MAX_CUBE_MAP_TEXTURE_SIZE},
        {"GL_MAX_TEXTURE_UNITS", GL_MAX_TEXTURE_UNITS},
        {"GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT", GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT},
        {"GL_MAX_TEXTURE_IMAGE_UNITS", GL_MAX_TEXTURE_IMAGE_UNITS},
        {"GL_MAX_VERTEX_ATTRIBS", GL_MAX_VERTEX_ATTRIBS}, {"GL_MAX_DRAW_BUFFERS", GL_MAX_DRAW_BUFFERS},
        {"GL_MAX_VARYING_FLOATS", GL_MAX_VARYING_FLOATS},
        {"GL_MAX_RENDERBUFFER_SIZE", GL_MAX_RENDERBUFFER_SIZE},
        {"GL_MAX_COLOR_ATTACHMENTS", GL_MAX_COLOR_ATTACHMENTS}, {"GL_MAX_SAMPLES", GL_MAX_SAMPLES},
        {"GL_MAX_UNIFORM_BLOCK_SIZE", GL_MAX_UNIFORM_BLOCK_SIZE},
        {"GL_MAX_COMPUTE_WORK_GROUP_INVOCATIONS", GL_MAX_COMPUTE_WORK_GROUP_INVOCATIONS},
    };
    ASSERT_EQ(expected.size(), static_cast<size_t>(kLimitCount));
    for (const LimitSpec& known : kLimitSpecs) {
        ASSERT_EQ(expected.count(known.name), 1u) << known.name;
        EXPECT_EQ(known.glEnum, expected.at(known.name)) << known.name;
        EXPECT_EQ(known.valueCount, known.glEnum == GL_MAX_VIEWPORT_DIMS ? 2 : 1) << known.name;
    }
}

// A driver stand-in: answers each enum it knows with its value and a few
// after it, raises GL_INVALID_ENUM for the rest, and starts with errors pending.
struct FakeGl {
    std::map<unsigned int, int> values;
    std::vector<unsigned int> errors;
    std::vector<unsigned int> asked;
};
FakeGl* fake = nullptr;

void GLINSPECT_APIENTRY FakeGetIntegerv(unsigned int name, int* out)
{
    fake->asked.push_back(name);
    const auto found = fake->values.find(name);
    if (found == fake->values.end()) {
        fake->errors.push_back(GL_INVALID_ENUM);
        return;
    }
    for (int i = 0; i < (name == GL_MAX_VIEWPORT_DIMS ? 2 : 1); ++i)
        out[i] = found->second + i;
}

unsigned int GLINSPECT_APIENTRY FakeGetError()
{
    if (fake->errors.empty())
        return GL_NO_ERROR;
    const unsigned int error = fake->errors.front();
    fake->errors.erase(fake->errors.begin());
    return error;
}

std::vector<std::string> Read(FakeGl& gl, const char* version, const char* extensions,
                              std::vector<LimitValue>* kept = nullptr)
{
    fake = &gl;
    LimitValue limits[kLimitCount] = {};
    const int count = ReadLimits(FakeGetIntegerv, FakeGetError, version, extensions, limits);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(limits[i].name);
    if (kept != nullptr)
        kept->assign(limits, limits + count);
    fake = nullptr;
    return names;
}

TEST(Limits, AreAskedOnlyWhenTheVersionOrAnExtensionOpensTheirGate)
{
    FakeGl gl;
    for (const LimitSpec& known : kLimitSpecs)
        gl.values[known.glEnum] = 100;
    using Names = std::vector<std::string>;
    const Names v11 = {"GL_MAX_TEXTURE_SIZE", "GL_MAX_LIGHTS", "GL_MAX_CLIP_PLANES",
                       "GL_MAX_VIEWPORT_DIMS", "GL_MAX_TEXTURE_STACK_DEPTH"};
    EXPECT_EQ(Read(gl, "1.1.0", ""), v11);
    EXPECT_EQ(gl.asked.size(), 5u) << "nothing beyond the gates is asked";

    // Whole names only; each alternative opens its own limit alone.
    Names withCube = v11;
    withCube.push_back("GL_MAX_CUBE_MAP_TEXTURE_SIZE");
    withCube.push_back("GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT");
    EXPECT_EQ(Read(gl, "1.1.0",
                   "GL_ARB_multitexture_x GL_ARB_texture_cube_map GL_EXT_texture_filter_anisotropic"),
              withCube);
    Names withFbo = v11;
    for (const char* name : {"GL_MAX_RENDERBUFFER_SIZE", "GL_MAX_COLOR_ATTACHMENTS", "GL_MAX_SAMPLES"})
        withFbo.push_back(name);
    EXPECT_EQ(Read(gl, "1.1.0", "GL_ARB_framebuffer_object"), withFbo);

    EXPECT_EQ(Read(gl, "3.0 Mesa", "").size(), 17u) << "all but anisotropy, 3.1 and 4.3";
    EXPECT_EQ(Read(gl, "4.6", "GL_EXT_texture_filter_anisotropic").size(), 20u);
    EXPECT_TRUE(Read(gl, "garbage", "").empty());
}

TEST(Limits, AnErrorDropsItsValueButNotTheOthers)
{
    FakeGl gl;
    gl.values = {{GL_MAX_TEXTURE_SIZE, 16384}, {GL_MAX_VIEWPORT_DIMS, 8192}, {GL_MAX_LIGHTS, 8}};
    // Errors left by earlier calls are cleared, not blamed on the first read.
    gl.errors = {GL_INVALID_OPERATION, GL_OUT_OF_MEMORY};
    std::vector<LimitValue> kept;
    EXPECT_EQ(Read(gl, "1.1", "", &kept),
              (std::vector<std::string>{"GL_MAX_TEXTURE_SIZE", "GL_MAX_LIGHTS", "GL_MAX_VIEWPORT_DIMS"}));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].values[0], 16384);
    EXPECT_EQ(kept[0].valueCount, 1);
    EXPECT_EQ(kept[2].valueCount, 2);
    EXPECT_EQ(kept[2].values[0], 8192);
    EXPECT_EQ(kept[2].values[1], 8193);
}

unsigned int GLINSPECT_APIENTRY AlwaysAnError()
{
    return GL_INVALID_OPERATION;
}

TEST(Limits, ADriverThatNeverClearsItsErrorGivesNoneAndStillEnds)
{
    fake = nullptr;
    LimitValue limits[kLimitCount] = {};
    auto getIntegerv = [](unsigned int, int* out) { out[0] = 1; };
    EXPECT_EQ(ReadLimits(getIntegerv, AlwaysAnError, "4.6", "", limits), 0);
}

}  // namespace
