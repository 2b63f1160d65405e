// The whole report as one text: for the clipboard, and for the console
// companion as plain text or as JSON.
#pragma once

#include "report/report_facts.h"
#include "report/text_buffer.h"

struct LineList {
    const char* const* lines;
    int count;
};

struct ReportData {
    // The info text as the dialog shows it, its lines ended by '\n'.
    const char* summary;
    // The context's own strings; null stands for an empty one.
    const char* vendor;
    const char* renderer;
    const char* version;
    int pixelFormat;
    // Samples per pixel of the view's format; 0 for the plain format.
    int samples;
    LineList glExtensions;
    LineList wglExtensions;
    // The registrations key, with its root key's name.
    const char* driverKey;
    LineList driverLines;
    // The registry value name and DLL name of each driver line.
    LineList driverValueNames;
    LineList driverDllNames;
    // The selected driver line; negative when none.
    int selectedDriver;

    // The view's pixel-format flags (PIXELFORMATDESCRIPTOR dwFlags);
    // formatDescribed is false when DescribePixelFormat failed.
    bool formatDescribed;
    unsigned long formatFlags;
    // GL_SHADING_LANGUAGE_VERSION and the newest core profile's GL_VERSION;
    // null for none.
    const char* shadingLanguage;
    const char* coreProfile;
    const DriverDll* driverDlls;
    int driverDllCount;
    // The lengths of the two extension strings, in bytes.
    unsigned long glExtensionBytes;
    unsigned long wglExtensionBytes;
    const LimitValue* limits;
    int limitCount;
    const SubkeyDriver* subkeyDrivers;
    int subkeyDriverCount;
    const DisplayAdapter* displayAdapters;
    int displayAdapterCount;
    // The pixel-format table, only when asked for (none: count 0, rows null).
    const PixelFormatRow* pixelFormats;
    int pixelFormatCount;
};

// The report as lines ended by CR LF: the summary lines, the pixel format,
// each extension list under a heading with its count, and the driver lines
// with the selected one marked "*".
void WriteReportText(const ReportData& report, TextBuffer& out);

// The same facts as one JSON object, ended by a line feed.
void WriteReportJson(const ReportData& report, TextBuffer& out);

// text as a JSON string, quotes included. Bytes of 0x80 and above are taken
// as Latin-1 and written as \u escapes, so the output is plain ASCII.
void AppendJsonString(TextBuffer& out, const char* text);
