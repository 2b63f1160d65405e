#include "report/summary_text.h"

#include "document/text_buffer.h"

void FormatRendererSummary(char (&summary)[kSummaryCapacity], const char* vendor,
                           const char* renderer, const char* version)
{
    BoundedText(summary, kSummaryCapacity)
        .Append("Vendor: ")
        .Append(vendor)
        .Append("\nRenderer: ")
        .Append(renderer)
        .Append("\nVersion: ")
        .Append(version);
}
