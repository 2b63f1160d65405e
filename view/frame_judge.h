// The render check's verdicts on pictures: a read-back frame against the
// picture the scene's geometry gives, and what the screen shows against the
// read-back frame.
#pragma once

#include "document/report_facts.h"
#include "view/scene_projection.h"

struct Rgb8 {
    unsigned char r, g, b;
};

// A picture of 4 bytes a pixel: RGBA as glReadPixels gives, or BGRA (bgr)
// as a GDI bitmap holds. row 0 is the bottom one, rowBytes apart (negative
// for a picture kept top-down).
struct FrameView {
    const unsigned char* bottomRow;
    long rowBytes;
    int width;
    int height;
    bool bgr;
};

// One pixel's class against the clear colour.
PixelClass ClassifyPixel(int r, int g, int b, Rgb8 background);

// Sets facts.result, reason, counted, counts, expectedRed/Green/Blue and
// edgesBlended (from facts.samples) for frame, drawn with the clear colour
// background; map and expected come from ProjectScene for the frame's size.
void JudgeDrawnFrame(const FrameView& frame, Rgb8 background, const unsigned char* map,
                     const ExpectedPicture& expected, RenderCheckFacts& facts);

// Sets facts.screen, screenReason, screenCounted and screenCounts for what
// the screen shows in the view's place against the frame read back.
void JudgeShownFrame(const FrameView& screen, const FrameView& drawn, Rgb8 background,
                     RenderCheckFacts& facts);
