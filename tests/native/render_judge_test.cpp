// The render check's arithmetic: the picture the scene's geometry gives, the
// verdicts on made-up frames, and the draw rate on a made-up clock.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "view/draw_rate.h"
#include "view/frame_judge.h"
#include "view/scene_projection.h"

namespace {

const Rgb8 kBackground = {240, 240, 240};

TEST(SceneProjection, CountsWorkedOutByHand)
{
    // Face on, only +Z (blue) faces the eye: its corners at 50 * (1 +- f / 7)
    // with f = 1 / tan(22.5 degrees), 32.76 to 67.24: 34 centres a side.
    ExpectedPicture expected;
    std::vector<unsigned char> map(100 * 100);
    ProjectScene(0.0, 0.0, 100, 100, map.data(), expected);
    EXPECT_EQ(expected.count[0], 0);
    EXPECT_EQ(expected.count[1], 0);
    EXPECT_EQ(expected.count[2], 34 * 34);
    EXPECT_NEAR(expected.perimeter[2], 4 * 34.49, 0.1);
    EXPECT_EQ(map[50 * 100 + 50], kPixelBlue);
    EXPECT_EQ(map[50 * 100 + 32], kPixelBackground);
    EXPECT_EQ(map[50 * 100 + 33], kPixelBlue);

    // Twice as wide: the aspect keeps the square square.
    ProjectScene(0.0, 0.0, 200, 100, nullptr, expected);
    EXPECT_EQ(expected.count[2], 34 * 34);

    // Turned 45 degrees about Y: the red and blue faces alike; no green.
    ProjectScene(0.0, 45.0, 120, 90, nullptr, expected);
    EXPECT_GT(expected.count[0], 100);
    EXPECT_NEAR(expected.count[0], expected.count[2], 2);
    EXPECT_EQ(expected.count[1], 0);

    // The start angles show all three pairs; a full turn changes nothing.
    ExpectedPicture turned;
    ProjectScene(45.0, 45.0, 127, 111, nullptr, expected);
    ProjectScene(45.0 + 360.0, 45.0 - 720.0, 127, 111, nullptr, turned);
    for (int pair = 0; pair < 3; ++pair) {
        EXPECT_GT(expected.count[pair], 0) << pair;
        EXPECT_EQ(turned.count[pair], expected.count[pair]) << pair;
        EXPECT_GT(expected.level[pair], 0.29);
        EXPECT_LE(expected.level[pair], 1.0);
    }
}

TEST(FrameJudge, ClassesAreADominantChannelOrTheBackground)
{
    EXPECT_EQ(ClassifyPixel(230, 248, 240, kBackground), kPixelBackground);
    EXPECT_EQ(ClassifyPixel(77, 0, 0, kBackground), kPixelRed);
    EXPECT_EQ(ClassifyPixel(10, 200, 60, kBackground), kPixelGreen);
    EXPECT_EQ(ClassifyPixel(0, 0, 255, kBackground), kPixelBlue);
    EXPECT_EQ(ClassifyPixel(0, 0, 0, kBackground), kPixelOther) << "black is no face";
    EXPECT_EQ(ClassifyPixel(200, 120, 120, kBackground), kPixelOther) << "an edge's mix";
}

// A frame painted from the expected picture: each class in a colour.
class MadeUpFrame : public ::testing::Test {
protected:
    static constexpr int kWidth = 127;
    static constexpr int kHeight = 111;

    void SetUp() override
    {
        map_.resize(kWidth * kHeight);
        ProjectScene(45.0, 45.0, kWidth, kHeight, map_.data(), expected_);
        pixels_.resize(kWidth * kHeight * 4);
        Paint({{{240, 240, 240}, {180, 0, 0}, {0, 150, 0}, {0, 0, 120}}});
    }

    // Each expected class in colours[class].
    void Paint(const std::vector<std::vector<int>>& colours)
    {
        for (int i = 0; i < kWidth * kHeight; ++i) {
            for (int c = 0; c < 3; ++c)
                pixels_[4 * i + c] = static_cast<unsigned char>(colours[map_[i]][c]);
            pixels_[4 * i + 3] = 255;
        }
    }

    FrameView Frame() const { return FrameView{pixels_.data(), 4L * kWidth, kWidth, kHeight, false}; }

    RenderCheckFacts Judge(int samples = 0)
    {
        RenderCheckFacts facts = {};
        facts.samples = samples;
        JudgeDrawnFrame(Frame(), kBackground, map_.data(), expected_, facts);
        return facts;
    }

    std::vector<unsigned char> map_, pixels_;
    ExpectedPicture expected_;
};

TEST_F(MadeUpFrame, TheExpectedPictureIsDrawnAndEveryFaultIsNamed)
{
    RenderCheckFacts facts = Judge();
    EXPECT_EQ(facts.result, kRenderDrawn) << facts.reason;
    EXPECT_TRUE(facts.counted);
    EXPECT_EQ(facts.counts.red, expected_.count[0]);
    EXPECT_EQ(facts.expectedBlue, expected_.count[2]);
    EXPECT_EQ(facts.counts.background + facts.counts.red + facts.counts.green + facts.counts.blue, kWidth * kHeight);
    EXPECT_EQ(facts.edgesBlended, -1) << "no samples";

    struct Case {
        std::vector<std::vector<int>> colours;
        RenderResult result;
        const char* reason;
    };
    const Case cases[] = {
        {{{240, 240, 240}, {240, 240, 240}, {240, 240, 240}, {240, 240, 240}}, kRenderNotDrawn,
         "only the background colour"},
        {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, kRenderNotDrawn, "only black"},
        {{{9, 8, 7}, {9, 8, 7}, {9, 8, 7}, {9, 8, 7}}, kRenderNotDrawn, "one colour only: 9,8,7"},
        {{{240, 240, 240}, {0, 0, 180}, {0, 150, 0}, {120, 0, 0}}, kRenderDrawnWrong,
         "the red faces drawn blue, the blue faces drawn red"},
        {{{240, 240, 240}, {240, 240, 240}, {0, 150, 0}, {0, 0, 120}}, kRenderDrawnWrong, "the red faces missing"},
        {{{240, 240, 240}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, kRenderDrawnWrong,
         "no lighting: the faces are flat"},
    };
    for (const Case& each : cases) {
        Paint(each.colours);
        facts = Judge();
        EXPECT_EQ(facts.result, each.result) << each.reason;
        EXPECT_STREQ(facts.reason, each.reason);
    }
}

TEST_F(MadeUpFrame, ACubeShiftedOrEdgedIsToldFromTheRightOne)
{
    // The same picture six pixels to the right: the counts agree, the places not.
    std::vector<unsigned char> shifted(pixels_.size());
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int from = x >= 6 ? x - 6 : 0;
            std::memcpy(&shifted[4 * (y * kWidth + x)], &pixels_[4 * (y * kWidth + from)], 4);
        }
    }
    std::vector<unsigned char> kept = pixels_;
    pixels_ = shifted;
    RenderCheckFacts facts = Judge();
    EXPECT_EQ(facts.result, kRenderDrawnWrong);
    EXPECT_STREQ(facts.reason, "the cube in the wrong place");

    // The silhouette's pixels halfway between face and background: blended
    // edges with samples, and still drawn.
    pixels_ = kept;
    for (int y = 1; y + 1 < kHeight; ++y) {
        for (int x = 1; x + 1 < kWidth; ++x) {
            const int i = y * kWidth + x;
            if (map_[i] == kPixelBackground || (map_[i - 1] != kPixelBackground && map_[i + 1] != kPixelBackground))
                continue;
            const int channel = map_[i] - kPixelRed;
            for (int c = 0; c < 3; ++c)
                pixels_[4 * i + c] = static_cast<unsigned char>((240 + (c == channel ? pixels_[4 * i + c] : 0)) / 2);
        }
    }
    facts = Judge(4);
    EXPECT_EQ(facts.result, kRenderDrawn) << facts.reason;
    EXPECT_EQ(facts.edgesBlended, 1);
    pixels_ = kept;
    EXPECT_EQ(Judge(4).edgesBlended, 0);
}

TEST_F(MadeUpFrame, TheScreenIsComparedWithTheFrameDrawn)
{
    const std::vector<unsigned char> drawn = pixels_;
    const FrameView drawnFrame = {drawn.data(), 4L * kWidth, kWidth, kHeight, false};
    // The screen as a top-down BGRA bitmap of the same picture.
    std::vector<unsigned char> screen(drawn.size());
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* from = &drawn[4 * (y * kWidth + x)];
            unsigned char* to = &screen[4 * ((kHeight - 1 - y) * kWidth + x)];
            to[0] = from[2], to[1] = from[1], to[2] = from[0], to[3] = 255;
        }
    }
    const FrameView screenFrame = {&screen[4 * (kHeight - 1) * kWidth], -4L * kWidth, kWidth, kHeight, true};
    RenderCheckFacts facts = {};
    JudgeShownFrame(screenFrame, drawnFrame, kBackground, facts);
    EXPECT_EQ(facts.screen, kScreenShown) << facts.screenReason;
    EXPECT_EQ(facts.screenCounts.red, expected_.count[0]);

    const struct {
        unsigned char value;
        const char* reason;
    } plain[] = {{0, "black"}, {240, "the background alone"}};
    for (const auto& each : plain) {
        std::memset(screen.data(), each.value, screen.size());
        facts = RenderCheckFacts();
        JudgeShownFrame(screenFrame, drawnFrame, kBackground, facts);
        EXPECT_EQ(facts.screen, kScreenNotShown);
        EXPECT_STREQ(facts.screenReason, each.reason);
    }
    // Half the view black: a different picture.
    for (size_t i = 0; i < screen.size() / 2; ++i)
        screen[i] = 0;
    facts = RenderCheckFacts();
    JudgeShownFrame(screenFrame, drawnFrame, kBackground, facts);
    EXPECT_EQ(facts.screen, kScreenNotShown);
    EXPECT_EQ(std::string(facts.screenReason).rfind("a different picture: ", 0), 0u) << facts.screenReason;
}

// A clock that moves step ticks at each reading.
struct FakeClock {
    long long now;
    long long step;
    int frames;
};

long long Read(void* context)
{
    FakeClock* clock = static_cast<FakeClock*>(context);
    clock->now += clock->step;
    return clock->now;
}

void CountFrame(void* context)
{
    ++static_cast<FakeClock*>(context)->frames;
}

DrawRateFacts Measure(long long step, long long ticksPerSecond, FakeClock& clock)
{
    clock = FakeClock{0, step, 0};
    DrawRateFacts facts = {};
    MeasureDrawRate(CountFrame, &clock, DrawRateClock{Read, ticksPerSecond, &clock}, 0, facts);
    return facts;
}

TEST(DrawRate, FiguresFromTheFramesOwnTimeAndEveryLimitSaid)
{
    FakeClock clock;
    // 1 ms a reading at 1,000 ticks a second: the time limit first.
    DrawRateFacts facts = Measure(1, 1000, clock);
    ASSERT_TRUE(facts.measured);
    EXPECT_EQ(facts.frames, clock.frames);
    EXPECT_EQ(facts.frames, 249);
    EXPECT_DOUBLE_EQ(facts.msPerFrame, 1.0);
    EXPECT_DOUBLE_EQ(facts.framesPerSecond, 1000.0);
    EXPECT_FALSE(facts.oneSlowFrame);

    // A microsecond a frame: the frame limit first.
    facts = Measure(1, 1000000, clock);
    EXPECT_EQ(facts.frames, kDrawRateMaxFrames);
    EXPECT_DOUBLE_EQ(facts.msPerFrame, 0.001);

    // One frame of three seconds.
    facts = Measure(3000, 1000, clock);
    EXPECT_TRUE(facts.measured);
    EXPECT_EQ(facts.frames, 1);
    EXPECT_TRUE(facts.oneSlowFrame);
    EXPECT_DOUBLE_EQ(facts.msPerFrame, 3000.0);

    // A clock that never moves, and none at all: nothing measured, no hang.
    facts = Measure(0, 1000, clock);
    EXPECT_FALSE(facts.measured);
    EXPECT_EQ(clock.frames, kDrawRateMaxFrames);
    EXPECT_STREQ(facts.why, "the timer did not advance");
    facts = Measure(1, 0, clock);
    EXPECT_FALSE(facts.measured);
    EXPECT_EQ(clock.frames, 0);
}

}  // namespace
