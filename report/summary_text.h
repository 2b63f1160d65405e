// The three-line renderer summary shown in the dialog's info text.
#pragma once

#include <cstddef>

constexpr std::size_t kSummaryCapacity = 1024;

// Writes "Vendor: V\nRenderer: R\nVersion: N" into summary, cut to
// kSummaryCapacity - 1 characters and always terminated. A null string
// stands for an empty one.
void FormatRendererSummary(char (&summary)[kSummaryCapacity], const char* vendor,
                           const char* renderer, const char* version);
