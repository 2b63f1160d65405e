// The whole report as one text: for the clipboard, and for the console
// companion as plain text or as JSON.
#pragma once

#include "document/acceleration.h"
#include "document/report_facts.h"
#include "document/text_buffer.h"

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
    // Set when the table was asked for, so that an empty one still shows;
    // a table with rows shows either way.
    bool pixelFormatsAsked;

    // Where the report was made; null when not gathered (no line, JSON null).
    const SystemFacts* system;
    bool remoteSession;
    const DisplayFacts* display;
    // The DLLs of the enabled registrations (EnabledDllNames), each with
    // whether the system finds and loaded it: what the advice reads.
    const DllPresence* dllPresence;
    int dllPresenceCount;

    // What the facts above come to, worked out once when they were gathered
    // (ConcludeReport): the writers only write them.
    AccelerationVerdict verdict;
    LineList advice;

    // The OpenGL ES probe's answer, and the video memory where the driver
    // tells it; null when not gathered (no line, JSON null).
    const EsProfileFacts* esProfile;
    const VideoMemoryFacts* videoMemory;
    // The entry points, only when asked for (--entry-points); null otherwise.
    const EntryPointFacts* entryPoints;
    // The render check and the draw rate; null when not made (no line, JSON null).
    const RenderCheckFacts* renderCheck;
    const DrawRateFacts* drawRate;
};

// The text of a ReportData in the system's 8-bit code page, turned into
// UTF-16 code units (as MultiByteToWideChar with CP_ACP does): converts length
// bytes of text into units, which has room for capacity; returns how many it
// wrote, 0 when it could not. One byte never gives more than one unit.
typedef int (*AnsiToUtf16)(const char* text, int length, wchar_t* units, int capacity);

// Lines of the companion's options that stand inside the report.
typedef void (*ReportTextWriter)(const ReportData& report, TextBuffer& out);

// The report as lines ended by CR LF: the summary lines, the pixel format,
// the system, a remote session, the display, the acceleration verdict and
// the advice that follows from it, the render check and the draw rate,
// shading language and core profile, what
// afterCoreProfile writes, the OpenGL ES profile and the video memory, the driver
// DLLs, the extension strings' lengths, each extension list under a heading
// with its count, the limits, the driver lines with the selected one marked
// "*", and the subkey and display-adapter registrations where there are any.
void WriteReportText(const ReportData& report, TextBuffer& out, ReportTextWriter afterCoreProfile = nullptr);

// The companion's --entry-points: the line "Entry points: ..." that follows
// the core profile (a ReportTextWriter), the section of missing commands
// that ends the report, and the JSON member "entryPoints" (a
// ReportJsonWriter). Each writes nothing when the report has no entry points.
void WriteEntryPointLine(const ReportData& report, TextBuffer& out);
void WriteMissingEntryPoints(const ReportData& report, TextBuffer& out);
void WriteEntryPointsJson(const ReportData& report, TextBuffer& out);

// The pixel-format table that follows the report when it was asked for: a
// heading with its count, a line of column titles, and a line per format,
// the view's marked "*". Writes nothing when the report has no table.
void WritePixelFormatTable(const ReportData& report, TextBuffer& out);

// Whether the report was made by this 32-bit program on a 64-bit Windows,
// where the driver key it names is read and written in the registry's 32-bit
// view.
bool DriverKeyIsThirtyTwoBitView(const ReportData& report);
// The key as the 32-bit view holds it: "Wow6432Node\" after its "\Software\".
void AppendThirtyTwoBitViewKey(TextBuffer& out, const char* key);

// "Heading (N):" and the line end.
void AppendHeading(TextBuffer& out, const char* heading, long count);

// What the draw rate says when its first frame alone outlasted the time
// limit: the text's line ends with it, and it is the JSON's note.
extern const char kOneSlowFrameNote[];

// Whether the report has the pixel-format table: asked for, or not empty.
bool HasPixelFormatTable(const ReportData& report);
// "full", "generic" or "none".
const char* FormatAccelerationName(FormatAcceleration acceleration);

// The JSON's schemaVersion, its first member: the major changes only when a
// member is removed or changes its type, the minor when members are added.
constexpr const char kReportSchemaVersion[] = "1.1";

// Members of the companion's options that stand inside the JSON object, each
// written with the comma before it.
typedef void (*ReportJsonWriter)(const ReportData& report, TextBuffer& out);

// The same facts as one JSON object, ended by a line feed, with what
// afterCoreProfile writes after the OpenGL ES profile and the video memory.
// Text goes through toUtf16 into \u escapes; without it bytes of 0x80 and
// above are taken as Latin-1.
void WriteReportJson(const ReportData& report, TextBuffer& out, AnsiToUtf16 toUtf16 = nullptr,
                     ReportJsonWriter afterCoreProfile = nullptr);

// text as a JSON string, quotes included, in plain ASCII: what is not
// printable ASCII is written as \u escapes of its UTF-16 units (a surrogate
// pair as two), through toUtf16 when it is given, else byte for byte as
// Latin-1; also as Latin-1 when toUtf16 fails.
void AppendJsonString(TextBuffer& out, const char* text, AnsiToUtf16 toUtf16 = nullptr);
