// Whether the view's context renders in hardware: decided from its pixel
// format's flags and the renderer string.
#pragma once

#include "document/text_buffer.h"

enum class AccelerationLevel { kUnknown, kNone, kPartial, kFull };

struct AccelerationVerdict {
    AccelerationLevel level;
    const char* reason;  // follows the renderer string when namesRenderer
    bool namesRenderer;
};

// The system's renderer when PFD_GENERIC_FORMAT is set: kNone in software,
// kPartial with PFD_GENERIC_ACCELERATED. Otherwise an installable client
// driver renders: kNone when its renderer string names a software rasterizer
// (case ignored), else kFull. kUnknown when the format could not be
// described, since then nothing says which of the two renders.
AccelerationVerdict JudgeAcceleration(bool formatDescribed, unsigned long formatFlags,
                                      const char* renderer);

// "none", "partial", "full" or "unknown", as the report writes the level.
const char* AccelerationLevelName(AccelerationLevel level);

// "LEVEL: REASON", the renderer string written in where the reason names it.
void AppendAcceleration(TextBuffer& out, const AccelerationVerdict& verdict, const char* renderer);
// The reason alone.
void AppendAccelerationReason(TextBuffer& out, const AccelerationVerdict& verdict,
                              const char* renderer);
