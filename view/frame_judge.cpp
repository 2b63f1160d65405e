// How a picture is judged.
//
// Each pixel gets a class. Background: every channel within 12 of the clear
// colour. A face pair's colour: its channel at 48 or more and the other two
// at most a third of it (the faces are lit, so a class is a dominant
// channel, not an exact colour). Other: anything else (edges, other
// colours).
//
// A read-back frame is "not drawn" when all its pixels have one exact
// colour. It is "drawn" when, with N the expected face pixels and P a pair's
// projected perimeter in pixels (edge pixels may fall either way, and with
// samples they are mixes):
// - each pair's count is within 4 + 2% of its expected count + P of it;
// - the pixels whose class (other aside) differs from the expected picture's,
//   and the pixels of class other, are each at most 4 + 2% of N + the sum of
//   the perimeters.
// Otherwise it is "drawn wrong", saying what differs: a pair missing or
// drawn in another pair's colour (the class most of its expected pixels
// have), faces all at full level where the light should shade some (no
// lighting), the counts right but not where they should be (the cube in the
// wrong place), or how many pixels differ.
// With 2 or more samples the edges are blended when at least 1 in 8 of the
// pixels along the expected silhouette are of class other and lie between
// the face's colour and the background (each channel, within 24).
//
// What the screen shows is "shown" when its classes differ from the
// read-back frame's in at most 4 + 4% of the pixels (a multisampled frame
// read back may keep one sample where the screen shows their blend).
#include "view/frame_judge.h"

#include <cstdlib>

#include "document/text_buffer.h"

namespace {

const char* const kPairNames[3] = {"red", "green", "blue"};

void ReadPixel(const FrameView& frame, int x, int y, int* rgb)
{
    const unsigned char* pixel = frame.bottomRow + y * frame.rowBytes + x * 4;
    rgb[0] = pixel[frame.bgr ? 2 : 0];
    rgb[1] = pixel[1];
    rgb[2] = pixel[frame.bgr ? 0 : 2];
}

bool Near(int value, int other, int tolerance)
{
    return std::abs(value - other) <= tolerance;
}

bool Between(int value, int a, int b)
{
    return value >= (a < b ? a : b) - 24 && value <= (a > b ? a : b) + 24;
}

// What one pass over a picture finds.
struct Census {
    long counts[5];
    bool oneColour;
    int first[3];
    // Against the expected picture or another frame: the pixels whose
    // class (other aside) differs.
    long differing;
    // Per expected pair, its pixels by the class they got.
    long byExpected[3][5];
    long facePixels;
    long fullLevel;
    long silhouette;
    long blended;
};

// The expected pair on the far side of the silhouette at (x, y), or -1 when
// the pixel is not on it.
int SilhouettePair(const unsigned char* map, int width, int height, int x, int y)
{
    const int here = map[static_cast<long>(y) * width + x];
    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& step : steps) {
        const int nx = x + step[0], ny = y + step[1];
        if (nx < 0 || ny < 0 || nx >= width || ny >= height)
            continue;
        const int there = map[static_cast<long>(ny) * width + nx];
        if ((here == kPixelBackground) != (there == kPixelBackground))
            return (here == kPixelBackground ? there : here) - kPixelRed;
    }
    return -1;
}

void Take(const FrameView& frame, Rgb8 background, const unsigned char* map, const ExpectedPicture* expected,
          const FrameView* other, Census& census)
{
    census = Census();
    census.oneColour = true;
    const int bg[3] = {background.r, background.g, background.b};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            int rgb[3];
            ReadPixel(frame, x, y, rgb);
            const PixelClass got = ClassifyPixel(rgb[0], rgb[1], rgb[2], background);
            ++census.counts[got];
            if (x == 0 && y == 0) {
                for (int c = 0; c < 3; ++c)
                    census.first[c] = rgb[c];
            } else if (rgb[0] != census.first[0] || rgb[1] != census.first[1] || rgb[2] != census.first[2]) {
                census.oneColour = false;
            }
            int want = kPixelOther;
            if (other != nullptr) {
                int theirs[3];
                ReadPixel(*other, x, y, theirs);
                want = ClassifyPixel(theirs[0], theirs[1], theirs[2], background);
            } else if (map != nullptr) {
                want = map[static_cast<long>(y) * frame.width + x];
                if (want != kPixelBackground)
                    ++census.byExpected[want - kPixelRed][got];
                const int pair = SilhouettePair(map, frame.width, frame.height, x, y);
                if (pair >= 0) {
                    ++census.silhouette;
                    const int level = static_cast<int>(expected->level[pair] * 255.0);
                    bool between = got == kPixelOther;
                    for (int c = 0; c < 3; ++c)
                        between = between && Between(rgb[c], bg[c], c == pair ? level : 0);
                    census.blended += between;
                }
            }
            // Against the expected picture an edge may be anything; against
            // another frame every class counts.
            if (got != want && (other != nullptr || (got != kPixelOther && want != kPixelOther)))
                ++census.differing;
            if (got >= kPixelRed && got <= kPixelBlue) {
                ++census.facePixels;
                census.fullLevel += rgb[got - kPixelRed] >= 250;
            }
        }
    }
}

void CopyCounts(const Census& census, PixelCounts& counts)
{
    counts.background = census.counts[kPixelBackground];
    counts.red = census.counts[kPixelRed];
    counts.green = census.counts[kPixelGreen];
    counts.blue = census.counts[kPixelBlue];
    counts.other = census.counts[kPixelOther];
}

void AppendCount(BoundedText& text, long value)
{
    char digits[16];
    int at = sizeof digits - 1;
    digits[at] = '\0';
    unsigned long left = value < 0 ? 0 : static_cast<unsigned long>(value);
    do {
        digits[--at] = static_cast<char>('0' + left % 10);
        left /= 10;
    } while (left != 0 && at > 0);
    text.Append(digits + at);
}

// The reason of a picture of one colour: the background alone, black, or
// which colour.
void OneColour(const Census& census, Rgb8 background, BoundedText& reason)
{
    if (ClassifyPixel(census.first[0], census.first[1], census.first[2], background) == kPixelBackground) {
        reason.Append("only the background colour");
    } else if (census.first[0] + census.first[1] + census.first[2] == 0) {
        reason.Append("only black");
    } else {
        reason.Append("one colour only: ");
        for (int c = 0; c < 3; ++c) {
            if (c > 0)
                reason.Append(",");
            AppendCount(reason, census.first[c]);
        }
    }
}

// ", " before every part of a reason but the first.
BoundedText& Part(BoundedText& reason)
{
    return reason.Length() > 0 ? reason.Append(", ") : reason;
}

}  // namespace

PixelClass ClassifyPixel(int r, int g, int b, Rgb8 background)
{
    if (Near(r, background.r, 12) && Near(g, background.g, 12) && Near(b, background.b, 12))
        return kPixelBackground;
    const int rgb[3] = {r, g, b};
    for (int c = 0; c < 3; ++c) {
        const int level = rgb[c];
        if (level >= 48 && 3 * rgb[(c + 1) % 3] <= level && 3 * rgb[(c + 2) % 3] <= level)
            return static_cast<PixelClass>(kPixelRed + c);
    }
    return kPixelOther;
}

void JudgeDrawnFrame(const FrameView& frame, Rgb8 background, const unsigned char* map,
                     const ExpectedPicture& expected, RenderCheckFacts& facts)
{
    Census census;
    Take(frame, background, map, &expected, nullptr, census);
    CopyCounts(census, facts.counts);
    facts.counted = true;
    facts.expectedRed = expected.count[0];
    facts.expectedGreen = expected.count[1];
    facts.expectedBlue = expected.count[2];
    facts.edgesBlended = facts.samples >= 2 && census.silhouette > 0 ? 8 * census.blended >= census.silhouette : -1;

    BoundedText reason(facts.reason, sizeof facts.reason);
    if (census.oneColour) {
        facts.result = kRenderNotDrawn;
        OneColour(census, background, reason);
        return;
    }
    const long faces = expected.count[0] + expected.count[1] + expected.count[2];
    const double perimeters = expected.perimeter[0] + expected.perimeter[1] + expected.perimeter[2];
    const long overall = 4 + faces / 50 + static_cast<long>(perimeters);
    bool countsRight = true;
    bool shaded = false;
    for (int pair = 0; pair < 3; ++pair) {
        const long want = expected.count[pair];
        const long tolerance = 4 + want / 50 + static_cast<long>(expected.perimeter[pair]);
        countsRight = countsRight && std::labs(census.counts[kPixelRed + pair] - want) <= tolerance;
        shaded = shaded || (want > 0 && expected.level[pair] < 0.9);
        if (want <= tolerance)
            continue;
        // The class most of the pair's expected pixels got.
        int most = kPixelBackground;
        for (int got = kPixelBackground; got <= kPixelOther; ++got) {
            if (census.byExpected[pair][got] > census.byExpected[pair][most])
                most = got;
        }
        if (most == kPixelRed + pair)
            continue;
        Part(reason).Append("the ").Append(kPairNames[pair]).Append(" faces ");
        if (most >= kPixelRed && most <= kPixelBlue)
            reason.Append("drawn ").Append(kPairNames[most - kPixelRed]);
        else
            reason.Append("missing");
    }
    if (shaded && census.facePixels > 0 && census.fullLevel == census.facePixels)
        Part(reason).Append("no lighting: the faces are flat");
    if (reason.Length() == 0 && census.differing > overall) {
        if (countsRight) {
            reason.Append("the cube in the wrong place");
        } else {
            AppendCount(reason, census.differing);
            reason.Append(" pixels differ from the expected picture");
        }
    }
    if (reason.Length() == 0 && !countsRight)
        reason.Append("the faces' pixel counts differ from the expected picture");
    if (reason.Length() == 0 && census.counts[kPixelOther] > overall) {
        AppendCount(reason, census.counts[kPixelOther]);
        reason.Append(" pixels of other colours");
    }
    facts.result = reason.Length() == 0 ? kRenderDrawn : kRenderDrawnWrong;
}

void JudgeShownFrame(const FrameView& screen, const FrameView& drawn, Rgb8 background, RenderCheckFacts& facts)
{
    Census census;
    Take(screen, background, nullptr, nullptr, &drawn, census);
    CopyCounts(census, facts.screenCounts);
    facts.screenCounted = true;
    const long pixels = static_cast<long>(screen.width) * screen.height;
    BoundedText reason(facts.screenReason, sizeof facts.screenReason);
    if (census.differing <= 4 + pixels / 25) {
        facts.screen = kScreenShown;
        return;
    }
    facts.screen = kScreenNotShown;
    if (census.oneColour) {
        if (census.first[0] + census.first[1] + census.first[2] == 0)
            reason.Append("black");
        else if (ClassifyPixel(census.first[0], census.first[1], census.first[2], background) == kPixelBackground)
            reason.Append("the background alone");
        else
            OneColour(census, background, reason);
        return;
    }
    reason.Append("a different picture: ");
    AppendCount(reason, census.differing);
    reason.Append(" of ");
    AppendCount(reason, pixels);
    reason.Append(" pixels differ");
}
