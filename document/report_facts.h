// The deeper facts a report carries beyond what the dialog shows: gathered by
// the programs (from the view's context, the registry and the loaded modules)
// when a report is made, and only written out by report/.
#pragma once

// PIXELFORMATDESCRIPTOR flags the acceleration verdict reads, as wingdi.h has them.
constexpr unsigned long kFormatFlagGeneric = 0x00000040;             // PFD_GENERIC_FORMAT
constexpr unsigned long kFormatFlagGenericAccelerated = 0x00001000;  // PFD_GENERIC_ACCELERATED

// One implementation limit: glGetIntegerv's answer under the enum's own name.
constexpr int kMaxLimitValues = 2;
struct LimitValue {
    const char* name;  // "GL_MAX_TEXTURE_SIZE"
    int valueCount;    // 1, or 2 for GL_MAX_VIEWPORT_DIMS
    long values[kMaxLimitValues];
};

// An installable client driver loaded in the process.
struct DriverDll {
    const char* path;
    const char* version;  // the file version "a.b.c.d"; null when it has none
    const char* source;   // how it was found: "registered", "display adapter" or "loaded modules"
};

// A registration of the subkey shape: a subkey NAME of the drivers key whose
// Dll value names the DLL.
struct SubkeyDriver {
    const char* name;
    const char* dll;
};

// A display adapter's own OpenGL registration (its class key's subkey).
struct DisplayAdapter {
    const char* description;    // DriverDesc; "" when missing
    const char* name;           // OpenGLDriverName
    const char* wowName;        // OpenGLDriverNameWow; null when missing
    const char* driverVersion;  // DriverVersion; null when missing
    const char* driverDate;     // DriverDate; null when missing
};

// One row of the pixel-format table.
enum FormatAcceleration { kFormatAccelerationFull, kFormatAccelerationGeneric, kFormatAccelerationNone };
struct PixelFormatRow {
    int index;
    bool drawToWindow;
    FormatAcceleration acceleration;
    int colorBits;
    int alphaBits;
    int depthBits;
    int stencilBits;
    bool doubleBuffered;
    // Both -1 when the table came from DescribePixelFormat, which has no samples.
    int sampleBuffers;
    int samples;
};

// The platform ids of OSVERSIONINFO: Windows 95, 98 and Me, and the NT family.
constexpr unsigned long kPlatformWindows9x = 1;
constexpr unsigned long kPlatformWindowsNt = 2;

// The Windows the program runs on, and the Wine under it when there is one.
struct SystemFacts {
    // False when the system did not tell its version: the numbers are then 0.
    bool versionKnown;
    unsigned long platform;
    unsigned long major;
    unsigned long minor;
    unsigned long build;
    const char* servicePack;  // szCSDVersion without its outer spaces; "" when none
    bool is64BitWindows;      // a 32-bit program on a 64-bit Windows
    const char* wineVersion;  // null when not under Wine
    const char* wineHostSystem;   // null when Wine does not tell
    const char* wineHostRelease;  // null when Wine does not tell
    // wProductType is VER_NT_WORKSTATION; false also when the system did not
    // tell (Windows 9x, and NT 4.0 before its Service Pack 4).
    bool workstation;
};

// The screen as GetDeviceCaps sees it, and the primary display device.
struct DisplayFacts {
    int width;
    int height;
    int bits;     // bits per pixel times planes
    int refresh;  // in Hz; 0 when unknown (the system answers 0 or 1)
    int dpi;
    const char* adapter;  // its DeviceString; null when missing or empty
};

// Whether a registered driver DLL is where the system would load it from,
// and whether it is loaded in the process.
struct DllPresence {
    const char* name;
    bool found;
    bool loaded;
};

// A command a context's version or an extension promises that the driver
// does not give.
struct MissingEntryPoint {
    const char* of;       // "GL_VERSION_3_0", "GL_VERSION_3_0 (core profile)", "GL_ARB_sync"
    const char* command;  // "glGetStringi"
    long answer;          // what the driver answered: 0 (NULL), 1, 2, 3 or -1
};

// What the companion's --entry-points found: the commands of the context's
// version (1.2 up to it) and of each advertised extension the registry lists.
struct EntryPointFacts {
    const char* version;  // "4.5"
    int checked;
    int found;
    // The core-profile context's version and its commands (without those the
    // core profile removed); coreVersion null when no core context was checked.
    const char* coreVersion;
    int coreChecked;
    int coreFound;
    int extensions;  // the advertised extensions the registry lists
    int extensionCommands;
    int extensionFound;
    int unknownExtensions;
    const MissingEntryPoint* missing;
    int missingCount;
};

// The newest OpenGL ES context the driver makes, or why there is none.
struct EsProfileFacts {
    const char* version;          // the version asked and made: "3.2"; null for none
    const char* versionString;    // its GL_VERSION
    const char* shadingLanguage;  // its GL_SHADING_LANGUAGE_VERSION; null when it gives none
    const char* why;              // with no version: why there is none
};

// The video memory a driver tells of.
struct VideoMemoryFacts {
    long totalMB;
    long freeMB;           // -1 when unknown
    const char* source;    // the extension that told it
    long vendorId;         // PCI ids; -1 when unknown
    long deviceId;
};

// The render check: the test scene drawn once more when a report is made,
// read back and judged against the picture its geometry gives, and, in the
// dialog, what the screen then shows in the view's place.
enum RenderResult { kRenderNotChecked, kRenderDrawn, kRenderDrawnWrong, kRenderNotDrawn };
// What the screen shows; kScreenNone where no window is on screen (the
// companion).
enum ScreenResult { kScreenNone, kScreenShown, kScreenNotShown, kScreenNotChecked };
// Where the picture was drawn: the view's own back buffer, or off screen.
enum RenderTarget { kTargetWindow, kTargetFramebufferObject, kTargetPbuffer, kTargetBitmap };

// A picture's pixels by class: the clear colour, each face pair's colour
// (a dominant channel), and anything else (edges, other colours).
struct PixelCounts {
    long background;
    long red;
    long green;
    long blue;
    long other;
};

constexpr int kRenderReasonSize = 112;

struct RenderCheckFacts {
    RenderResult result;
    // What differs (drawn wrong, not drawn) or why nothing was judged (not
    // checked); "" when there is nothing to say.
    char reason[kRenderReasonSize];
    int width;
    int height;
    int samples;  // of the buffer drawn into; 0 for a plain one
    double angleX;
    double angleY;
    bool counted;  // a picture was read: counts hold its classes
    PixelCounts counts;
    // The pixel centres the scene's geometry puts inside each face pair.
    long expectedRed;
    long expectedGreen;
    long expectedBlue;
    // With 2 or more samples and a picture read: whether the silhouette's
    // edge pixels lie between a face colour and the background; -1 unknown.
    int edgesBlended;
    RenderTarget target;
    ScreenResult screen;
    char screenReason[kRenderReasonSize];  // what the screen shows instead, or why not checked
    bool screenCounted;
    PixelCounts screenCounts;
};

// The scene drawn back to back, each frame finished and not swapped.
struct DrawRateFacts {
    bool measured;       // false: why says why not
    const char* why;     // null when measured
    long frames;
    double framesPerSecond;
    double msPerFrame;
    int width;
    int height;
    int samples;
    // The first frame alone outlasted the time limit: the figures are of it.
    bool oneSlowFrame;
    int swapInterval;  // wglGetSwapIntervalEXT's answer; -1 without WGL_EXT_swap_control
};
