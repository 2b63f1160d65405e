#include "view/draw_rate.h"

void MeasureDrawRate(DrawFrameFunction draw, void* drawContext, const DrawRateClock& clock,
                     long long startTicks, DrawRateFacts& facts)
{
    facts.measured = false;
    facts.frames = 0;
    if (clock.ticksPerSecond <= 0) {
        facts.why = "the system has no timer";
        return;
    }
    const long long limit = startTicks + clock.ticksPerSecond * kDrawRateLimitMs / 1000;
    const long long first = clock.now(clock.context);
    long long now = first;
    do {
        draw(drawContext);
        ++facts.frames;
        now = clock.now(clock.context);
    } while (now < limit && facts.frames < kDrawRateMaxFrames);
    if (now <= first) {
        facts.why = "the timer did not advance";
        return;
    }
    const double seconds = static_cast<double>(now - first) / static_cast<double>(clock.ticksPerSecond);
    facts.measured = true;
    facts.why = nullptr;
    facts.framesPerSecond = facts.frames / seconds;
    facts.msPerFrame = seconds * 1000.0 / facts.frames;
    facts.oneSlowFrame = facts.frames == 1 && now - first >= clock.ticksPerSecond * kDrawRateLimitMs / 1000;
}
