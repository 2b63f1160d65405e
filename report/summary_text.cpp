#include "report/summary_text.h"

namespace {

// Appends text at summary[length], stopping one short of the end so the
// terminator always fits; returns the new length.
std::size_t Append(char (&summary)[kSummaryCapacity], std::size_t length, const char* text)
{
    if (text == nullptr)
        return length;
    while (*text != '\0' && length + 1 < kSummaryCapacity)
        summary[length++] = *text++;
    return length;
}

}  // namespace

void FormatRendererSummary(char (&summary)[kSummaryCapacity], const char* vendor,
                           const char* renderer, const char* version)
{
    std::size_t length = 0;
    length = Append(summary, length, "Vendor: ");
    length = Append(summary, length, vendor);
    length = Append(summary, length, "\nRenderer: ");
    length = Append(summary, length, renderer);
    length = Append(summary, length, "\nVersion: ");
    length = Append(summary, length, version);
    summary[length] = '\0';
}
