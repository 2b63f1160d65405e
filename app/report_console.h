// The companion's report, made on hidden windows and printed on the
// standard handles.
#pragma once

#include <cstddef>

#include "platform/windows_headers.h"

struct ReportOptions {
    bool json;
    // Whether the pixel-format table was asked for: the report then has it
    // last, and collecting it walks every format of the display.
    bool pixelFormats;
    // Whether the entry points were asked for: the line after the core
    // profile, and the missing ones last.
    bool entryPoints;
};

// Writes length bytes of text to the standard handle which (STD_OUTPUT_HANDLE
// or STD_ERROR_HANDLE).
void WriteStd(DWORD which, const char* text, std::size_t length);

// Makes the same context on a hidden window as the dialog does on its view,
// fills hidden controls like the dialog's, and prints the report on standard
// output. Returns the exit status: 0, or 1 with the error on standard error
// when no context can be had, memory ran out, or standard output did not take
// the whole report.
int PrintReport(const ReportOptions& options);
