// Whether the view's context renders in hardware: decided from its pixel
// format's flags and the renderer string.
#pragma once

#include "report/text_buffer.h"

struct AccelerationVerdict {
    const char* level;   // "none", "partial", "full", or "unknown"
    const char* reason;  // follows the renderer string when namesRenderer
    bool namesRenderer;
};

// The system's renderer when PFD_GENERIC_FORMAT is set: "none" in software,
// "partial" with PFD_GENERIC_ACCELERATED. Otherwise an installable client
// driver renders: "none" when its renderer string names a software rasterizer
// (case ignored), else "full". "unknown" when the format could not be
// described, since then nothing says which of the two renders.
AccelerationVerdict JudgeAcceleration(bool formatDescribed, unsigned long formatFlags,
                                      const char* renderer);

// "LEVEL: REASON", the renderer string written in where the reason names it.
void AppendAcceleration(TextBuffer& out, const AccelerationVerdict& verdict, const char* renderer);
// The reason alone.
void AppendAccelerationReason(TextBuffer& out, const AccelerationVerdict& verdict,
                              const char* renderer);
