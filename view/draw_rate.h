// The draw rate: the scene drawn back to back until a time limit or a frame
// limit, whichever comes first, on any clock.
#pragma once

#include "document/report_facts.h"

constexpr long kDrawRateMaxFrames = 2000;
constexpr long kDrawRateLimitMs = 250;

struct DrawRateClock {
    long long (*now)(void* context);
    long long ticksPerSecond;  // 0 or less: no clock
    void* context;
};

typedef void (*DrawFrameFunction)(void* context);

// Draws frames with draw until kDrawRateLimitMs after startTicks (a reading
// of clock taken when the check began) or kDrawRateMaxFrames, at least one;
// sets facts.measured, why, frames, framesPerSecond, msPerFrame and
// oneSlowFrame. The figures are of the frames' own time, from the first
// frame's start.
void MeasureDrawRate(DrawFrameFunction draw, void* drawContext, const DrawRateClock& clock,
                     long long startTicks, DrawRateFacts& facts);
