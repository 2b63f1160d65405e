// What a report tells of the view's context beyond the dialog's controls: its
// format's flags, the shading language, the newest core profile and the pixel
// formats the device context offers. Gathered only when a report is made.
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

// The GL_VERSION of the first core-profile context the driver makes and lets
// be made current, trying 4.6 down to 3.2, copied into pool; null when the
// WGL string does not offer WGL_ARB_create_context_profile or every version
// is refused. Needs
// viewContext current on viewDC; works on a hidden window of its own, frees it
// and every context it made, and makes viewContext current again.
const char* ProbeCoreProfile(HDC viewDC, HGLRC viewContext, FactPool& pool);
