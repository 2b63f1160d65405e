// What a report tells of the view's context beyond the dialog's controls: its
// format's flags, the shading language, the newest core profile and OpenGL ES
// context, the video memory and the pixel formats the device context offers.
// Gathered only when a report is made.
#pragma once

#include "platform/fact_pool.h"
#include "platform/windows_headers.h"
#include "document/report_facts.h"

// The PIXELFORMATDESCRIPTOR flags of format on deviceContext; false when
// DescribePixelFormat fails.
bool DescribeFormatFlags(HDC deviceContext, int format, unsigned long* flags);

// GL_SHADING_LANGUAGE_VERSION of the current context, asked only when its
// GL_VERSION is 2.0 or later; null otherwise.
const char* QueryShadingLanguage();

// The limits of the current context whose gates hold, through the binding
// table's glGetIntegerv and glGetError, into limits (room for kLimitCount).
// Returns how many were kept.
int ReadContextLimits(LimitValue* limits);

// Called with a core-profile context current.
typedef void (*CoreContextVisitor)(void* state);

// The profiles the driver makes besides the view's, on one hidden window of
// their own: returns the GL_VERSION of the first core-profile context the
// driver makes and lets be made current, trying 4.6 down to 3.2, copied into
// pool (null when the WGL string does not offer WGL_ARB_create_context_profile
// or every version is refused), with visit called while it is current; and
// in es the newest OpenGL ES context of 3.2, 3.1, 3.0 and 2.0 made through
// WGL_EXT_create_context_es2_profile or es_profile, or why there is none.
// Needs viewContext current on viewDC; frees the window and every context it
// made, and makes viewContext current again.
const char* ProbeContextProfiles(HDC viewDC, HGLRC viewContext, FactPool& pool, EsProfileFacts& es,
                                 CoreContextVisitor visit = nullptr, void* visitState = nullptr);

// The video memory of the current context's device where the driver tells it:
// GL_NVX_gpu_memory_info, WGL_AMD_gpu_association (with GL_ATI_meminfo's free
// memory) or WGL_WINE_query_renderer, the first the driver offers; false when
// none does or it gives no total.
bool ReadVideoMemory(VideoMemoryFacts& facts);
