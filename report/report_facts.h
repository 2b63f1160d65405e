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
    const char* description;  // DriverDesc; "" when missing
    const char* name;         // OpenGLDriverName
    const char* wowName;      // OpenGLDriverNameWow; null when missing
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
