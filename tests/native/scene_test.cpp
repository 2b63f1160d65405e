// The test scene rendered offscreen by Mesa (EGL pbuffer, no display server),
// with the state the view's set-up leaves, and judged by its pixels.
#include "view/scene.h"

#include "view/frame_judge.h"
#include "view/scene_projection.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

namespace {

// About the size of the dialog's view control.
constexpr int kWidth = 112;
constexpr int kHeight = 115;
constexpr int kPixels = kWidth * kHeight;

// The dialog's button-face colour, a COLORREF (0x00BBGGRR).
constexpr std::uint32_t kButtonFace = 0xF0F0F0;

struct Rgb {
    int r, g, b;
};

using Picture = std::vector<Rgb>;

enum class Kind { Background, Red, Green, Blue, Other };

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        ASSERT_NE(getPlatformDisplay, nullptr);
        display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        ASSERT_NE(display_, EGL_NO_DISPLAY);
        ASSERT_TRUE(eglInitialize(display_, nullptr, nullptr));

        const EGLint configAttributes[] = {
            EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
            EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
            EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
            EGL_DEPTH_SIZE, 24,
            EGL_SAMPLES, 0,
            EGL_NONE,
        };
        EGLConfig config = nullptr;
        EGLint count = 0;
        ASSERT_TRUE(eglChooseConfig(display_, configAttributes, &config, 1, &count));
        ASSERT_EQ(count, 1);
        ASSERT_TRUE(eglBindAPI(EGL_OPENGL_API));
        context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, nullptr);
        ASSERT_NE(context_, EGL_NO_CONTEXT);
        const EGLint surfaceAttributes[] = {EGL_WIDTH, kWidth, EGL_HEIGHT, kHeight, EGL_NONE};
        surface_ = eglCreatePbufferSurface(display_, config, surfaceAttributes);
        ASSERT_NE(surface_, EGL_NO_SURFACE);
        ASSERT_TRUE(eglMakeCurrent(display_, surface_, surface_, context_));

        SetUpViewState();
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    void TearDown() override
    {
        if (display_ == EGL_NO_DISPLAY)
            return;
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (surface_ != EGL_NO_SURFACE)
            eglDestroySurface(display_, surface_);
        if (context_ != EGL_NO_CONTEXT)
            eglDestroyContext(display_, context_);
        eglTerminate(display_);
    }

    // What the view's set-up does before the first paint, for this buffer.
    static void SetUpViewState()
    {
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, static_cast<double>(kWidth) / kHeight, 1.0, 10.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        glEnable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        const float scale = 1.0f / 255.0f;
        glClearColor((kButtonFace & 0xFF) * scale, ((kButtonFace >> 8) & 0xFF) * scale,
                     ((kButtonFace >> 16) & 0xFF) * scale, 1.0f);
    }

    static Picture Paint(double angleX, double angleY)
    {
        DrawScene(angleX, angleY);
        glFinish();
        std::vector<std::uint8_t> bytes(static_cast<size_t>(kPixels) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        Picture picture(kPixels);
        for (int i = 0; i < kPixels; ++i)
            picture[i] = {bytes[4 * i], bytes[4 * i + 1], bytes[4 * i + 2]};
        return picture;
    }

    // Row 0 is the bottom row, as OpenGL reads it.
    static const Rgb& At(const Picture& picture, int x, int y) { return picture[y * kWidth + x]; }

    // Lit faces have one channel only: the materials are pure primaries and
    // the light has no specular part. Anything else is a fault.
    static Kind Classify(const Rgb& pixel)
    {
        const int r = (kButtonFace & 0xFF), g = (kButtonFace >> 8) & 0xFF, b = (kButtonFace >> 16) & 0xFF;
        if (pixel.r == r && pixel.g == g && pixel.b == b)
            return Kind::Background;
        if (pixel.r >= 40 && pixel.g == 0 && pixel.b == 0)
            return Kind::Red;
        if (pixel.g >= 40 && pixel.r == 0 && pixel.b == 0)
            return Kind::Green;
        if (pixel.b >= 40 && pixel.r == 0 && pixel.g == 0)
            return Kind::Blue;
        return Kind::Other;
    }

    static std::array<int, 5> Census(const Picture& picture)
    {
        std::array<int, 5> counts = {};
        for (const Rgb& pixel : picture)
            ++counts[static_cast<int>(Classify(pixel))];
        return counts;
    }

    static int DifferingPixels(const Picture& a, const Picture& b)
    {
        int differing = 0;
        for (int i = 0; i < kPixels; ++i)
            if (a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b)
                ++differing;
        return differing;
    }

    static std::array<GLdouble, 16> ModelView()
    {
        std::array<GLdouble, 16> matrix = {};
        glGetDoublev(GL_MODELVIEW_MATRIX, matrix.data());
        return matrix;
    }

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
    EGLSurface surface_ = EGL_NO_SURFACE;
};

TEST_F(SceneTest, StartAnglesShowOneFaceOfEachColourOnTheButtonFace)
{
    const Picture picture = Paint(45.0, 45.0);
    const std::array<int, 5> counts = Census(picture);
    std::printf("background %d, red %d, green %d, blue %d, other %d of %d pixels\n", counts[0],
                counts[1], counts[2], counts[3], counts[4], kPixels);

    EXPECT_EQ(counts[static_cast<int>(Kind::Other)], 0);
    // Seen on llvmpipe: red and blue 4.4% of the picture each, green 7.3%,
    // background 84%. Each colour must cover at least 3% (an edge-on or
    // hidden face covers next to nothing), and the cube, about a third of
    // the view's height across, leaves 70% to 90% to the background.
    for (Kind kind : {Kind::Red, Kind::Green, Kind::Blue})
        EXPECT_GE(counts[static_cast<int>(kind)], kPixels * 3 / 100) << "kind " << static_cast<int>(kind);
    EXPECT_GE(counts[static_cast<int>(Kind::Background)], kPixels * 70 / 100);
    EXPECT_LE(counts[static_cast<int>(Kind::Background)], kPixels * 90 / 100);

    for (const auto& corner : {std::array<int, 2>{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1},
                               {kWidth - 1, kHeight - 1}})
        EXPECT_EQ(Classify(At(picture, corner[0], corner[1])), Kind::Background)
            << corner[0] << "," << corner[1];
    // The cube sits in the middle of the view.
    EXPECT_NE(Classify(At(picture, kWidth / 2, kHeight / 2)), Kind::Background);
}

// The fixed-function lighting worked out by hand for one face: the value of
// its colour channel, 0 to 255, or -1 when the face looks away from the eye.
// Normals turn by the cube's rotations; the light's direction (5, 5, 5) turns
// by -3 x angleX about the eye's vertical axis; each channel is global ambient
// 0.2 + light ambient 0.1 + diffuse 0.7 x cos(normal, light).
int ExpectedFaceValue(const double normal[3], double angleX, double angleY)
{
    const double toRadians = 3.14159265358979323846 / 180.0;
    const double cy = std::cos(angleY * toRadians), sy = std::sin(angleY * toRadians);
    const double cx = std::cos(angleX * toRadians), sx = std::sin(angleX * toRadians);
    // About Y first, then about X: the order the matrices apply to a vertex.
    const double x1 = normal[0] * cy + normal[2] * sy;
    const double y1 = normal[1];
    const double z1 = -normal[0] * sy + normal[2] * cy;
    const double nx = x1, ny = y1 * cx - z1 * sx, nz = y1 * sx + z1 * cx;
    // Seen from the eye at the origin, the face's centre sits at
    // (0, 0, -8) + n: it faces the eye when n . (-(centre)) > 0, i.e. nz > 1/8.
    if (nz <= 0.125)
        return -1;
    const double cl = std::cos(-3.0 * angleX * toRadians), sl = std::sin(-3.0 * angleX * toRadians);
    double lx = 5.0 * cl + 5.0 * sl, ly = 5.0, lz = -5.0 * sl + 5.0 * cl;
    const double length = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx /= length;
    ly /= length;
    lz /= length;
    const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
    const double value = std::min(1.0, 0.2 + 0.1 + 0.7 * diffuse);
    return static_cast<int>(std::lround(value * 255.0));
}

TEST_F(SceneTest, EachFaceIsLitByTheTurningLight)
{
    // Which face of each pair shows and how bright it is follows from the
    // two rotations and from the light that turns with angleX alone.
    const double normals[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                  {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    const double angles[][2] = {{45, 45}, {45, 100}, {20, 45}, {10, -30}, {-20, 150}, {135, -45}};
    for (const auto& angle : angles) {
        const Picture picture = Paint(angle[0], angle[1]);
        for (int pair = 0; pair < 3; ++pair) {
            const int expected = std::max(ExpectedFaceValue(normals[2 * pair], angle[0], angle[1]),
                                          ExpectedFaceValue(normals[2 * pair + 1], angle[0], angle[1]));
            const Kind kind = static_cast<Kind>(pair + 1);
            int lowest = 256, highest = -1, count = 0;
            for (const Rgb& pixel : picture) {
                if (Classify(pixel) != kind)
                    continue;
                const int value = pair == 0 ? pixel.r : pair == 1 ? pixel.g : pixel.b;
                lowest = std::min(lowest, value);
                highest = std::max(highest, value);
                ++count;
            }
            std::printf("angles %g/%g colour %d: %d pixels, %d..%d, expected %d\n", angle[0],
                        angle[1], pair, count, lowest, highest, expected);
            if (expected < 0) {
                // Edge-on or turned away: at most a sliver along an edge.
                EXPECT_LE(count, kPixels / 100);
                continue;
            }
            // One normal per face and a directional light: flat faces.
            EXPECT_GT(count, 0);
            EXPECT_NEAR(lowest, expected, 2);
            EXPECT_NEAR(highest, expected, 2);
        }
    }
}

TEST_F(SceneTest, AnglesDoNotWrapAndAFullTurnDrawsTheSamePicture)
{
    const Picture start = Paint(45.0, 45.0);
    const Picture turned = Paint(405.0, 45.0);
    const Picture turnedY = Paint(45.0, 405.0);
    const int differing = DifferingPixels(start, turned);
    const int differingY = DifferingPixels(start, turnedY);
    std::printf("405/45 differs from 45/45 in %d pixels, 45/405 in %d\n", differing, differingY);
    // sin and cos of 405 degrees round differently from those of 45; an edge
    // pixel or two may fall the other way, nothing more.
    EXPECT_LE(differing, kPixels / 200);
    EXPECT_LE(differingY, kPixels / 200);

    // And a different angle is a different picture.
    EXPECT_GT(DifferingPixels(start, Paint(60.0, 45.0)), kPixels / 50);
    EXPECT_GT(DifferingPixels(start, Paint(45.0, 60.0)), kPixels / 50);
}

TEST_F(SceneTest, RepeatedPaintsDrawTheSamePictureAndKeepTheMatrix)
{
    const std::array<GLdouble, 16> before = ModelView();
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

    const Picture first = Paint(45.0, 45.0);
    EXPECT_EQ(ModelView(), before);
    const Picture second = Paint(45.0, 45.0);
    EXPECT_EQ(ModelView(), before);
    EXPECT_EQ(DifferingPixels(first, second), 0);

    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneTest, LeavesAnyModelViewMatrixAsFound)
{
    // Not only the identity: a caller's own transformation survives too.
    glTranslated(0.25, -0.5, 0.0);
    glRotated(10.0, 0.0, 0.0, 1.0);
    const std::array<GLdouble, 16> before = ModelView();
    Paint(123.0, -77.0);
    EXPECT_EQ(ModelView(), before);
}

// The render check's verdict on Mesa's own pictures: its tolerances hold
// for a real rasteriser at angles that show one, two and three pairs.
TEST_F(SceneTest, TheRenderCheckFindsMesasPicturesDrawn)
{
    const double angles[][2] = {{45.0, 45.0}, {0.0, 0.0}, {0.0, 30.0}, {30.0, -60.0}, {10.0, 200.0}, {-75.0, 15.0}};
    const Rgb8 background = {kButtonFace & 0xFF, (kButtonFace >> 8) & 0xFF, (kButtonFace >> 16) & 0xFF};
    std::vector<unsigned char> map(kPixels), bytes(static_cast<size_t>(kPixels) * 4);
    for (const auto& angle : angles) {
        const Picture picture = Paint(angle[0], angle[1]);
        for (int i = 0; i < kPixels; ++i) {
            bytes[4 * i] = static_cast<unsigned char>(picture[i].r);
            bytes[4 * i + 1] = static_cast<unsigned char>(picture[i].g);
            bytes[4 * i + 2] = static_cast<unsigned char>(picture[i].b);
        }
        ExpectedPicture expected;
        ProjectScene(angle[0], angle[1], kWidth, kHeight, map.data(), expected);
        RenderCheckFacts facts = {};
        JudgeDrawnFrame(FrameView{bytes.data(), 4L * kWidth, kWidth, kHeight, false}, background, map.data(),
                        expected, facts);
        EXPECT_EQ(facts.result, kRenderDrawn) << angle[0] << "/" << angle[1] << ": " << facts.reason;
        EXPECT_NEAR(facts.counts.red, expected.count[0], 2 + expected.perimeter[0] / 4) << angle[0] << "/" << angle[1];
        EXPECT_NEAR(facts.counts.blue, expected.count[2], 2 + expected.perimeter[2] / 4) << angle[0] << "/" << angle[1];
    }
}

}  // namespace
