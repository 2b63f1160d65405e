// The implementation limits the report lists: which enum each one is, when a
// context may be asked for it, and the reading itself through glGetIntegerv.
#pragma once

#include "document/report_facts.h"

// OpenGL's calling convention: __stdcall on 32-bit Windows, as APIENTRY there.
#if defined(_WIN32) && !defined(_WIN64)
#define GLINSPECT_APIENTRY __stdcall
#else
#define GLINSPECT_APIENTRY
#endif

// glGetIntegerv and glGetError (GLenum is an unsigned int, GLint an int).
typedef void(GLINSPECT_APIENTRY* GetIntegervProc)(unsigned int name, int* values);
typedef unsigned int(GLINSPECT_APIENTRY* GetErrorProc)();

struct GlVersion {
    int major;
    int minor;
};

// The leading "major.minor" of a GL_VERSION string ("4.5 (Compatibility
// Profile) Mesa 22.3.6", "1.1.0"); 0.0 when it does not start that way.
GlVersion ParseGlVersion(const char* version);
bool GlVersionAtLeast(const char* version, int major, int minor);

// Whether GL_SHADING_LANGUAGE_VERSION may be asked: GL_VERSION 2.0 or more.
bool HasShadingLanguage(const char* version);

// One limit: its enum, how many values it has, and its gate: the GL version
// that brought it, or else the extension that offers it (null for none).
struct LimitSpec {
    // Held in the table itself: no pointer, so no relocation, per name.
    char name[40];
    unsigned int glEnum;
    unsigned char valueCount;
    unsigned char major;  // kNoVersionGate: only the extension opens the gate
    unsigned char minor;
    const char* extension;
};
constexpr unsigned char kNoVersionGate = 0xFF;
constexpr int kLimitCount = 20;
extern const LimitSpec kLimitSpecs[kLimitCount];

// Whether the gate of a known limit holds for this GL_VERSION and GL extension string.
bool LimitApplies(const LimitSpec& known, const char* version, const char* extensions);

// Reads each limit whose gate holds, in the table's order, into limits (room
// for kLimitCount). Errors pending before a read are cleared first; a value
// is kept only when glGetError() answers GL_NO_ERROR after its read. Returns
// how many were kept. Needs the context current.
int ReadLimits(GetIntegervProc getIntegerv, GetErrorProc getError, const char* version,
               const char* extensions, LimitValue* limits);
