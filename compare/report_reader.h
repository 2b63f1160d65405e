// A report's JSON read back for the comparison: one JSON object whose
// schemaVersion has a major this program knows and whose known members have
// their types.
#pragma once

#include <cstddef>

#include "compare/json_document.h"
#include "document/text_buffer.h"

// The largest report file read.
constexpr std::size_t kReportMaxBytes = 16 * 1024 * 1024;

// Reads the report in length bytes of text, called name in messages. False
// with "NAME: byte N: what is wrong" in error.
bool ReadReportText(const char* name, const char* text, std::size_t length, JsonDocument& report,
                    TextBuffer& error);

// The same for the file at path.
bool ReadReportFile(const char* path, JsonDocument& report, TextBuffer& error);
