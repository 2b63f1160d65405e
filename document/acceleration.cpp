#include "document/acceleration.h"

#include "document/report_facts.h"

namespace {

// Renderer strings of drivers that rasterize on the CPU.
// Held in the table itself: no pointer, so no relocation, per name.
const char kSoftwareRenderers[][20] = {
    "llvmpipe", "softpipe", "swrast", "software rasterizer", "swiftshader", "gdi generic",
    "basic render driver",
};

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether text contains the lower-case word, ASCII case ignored.
bool ContainsIgnoringCase(const char* text, const char* word)
{
    for (; *text != '\0'; ++text) {
        int i = 0;
        while (word[i] != '\0' && LowerAscii(text[i]) == word[i])
            ++i;
        if (word[i] == '\0')
            return true;
    }
    return false;
}

}  // namespace

AccelerationVerdict JudgeAcceleration(bool formatDescribed, unsigned long formatFlags,
                                      const char* renderer)
{
    if (!formatDescribed)
        return {AccelerationLevel::kUnknown, "the view's pixel format could not be described", false};
    if ((formatFlags & kFormatFlagGeneric) != 0) {
        if ((formatFlags & kFormatFlagGenericAccelerated) != 0)
            return {AccelerationLevel::kPartial, "the system's renderer with a display-driver accelerator", false};
        return {AccelerationLevel::kNone, "the system's software renderer", false};
    }
    for (const char* software : kSoftwareRenderers) {
        if (renderer != nullptr && ContainsIgnoringCase(renderer, software))
            return {AccelerationLevel::kNone, " renders in software through an installable driver", true};
    }
    return {AccelerationLevel::kFull, "an installable client driver", false};
}

const char* AccelerationLevelName(AccelerationLevel level)
{
    switch (level) {
    case AccelerationLevel::kNone:
        return "none";
    case AccelerationLevel::kPartial:
        return "partial";
    case AccelerationLevel::kFull:
        return "full";
    case AccelerationLevel::kUnknown:
        break;
    }
    return "unknown";
}

void AppendAccelerationReason(TextBuffer& out, const AccelerationVerdict& verdict,
                              const char* renderer)
{
    if (verdict.namesRenderer)
        out.Append(renderer);
    out.Append(verdict.reason);
}

void AppendAcceleration(TextBuffer& out, const AccelerationVerdict& verdict, const char* renderer)
{
    out.Append(AccelerationLevelName(verdict.level));
    out.Append(": ");
    AppendAccelerationReason(out, verdict, renderer);
}
