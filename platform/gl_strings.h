// The strings of the current OpenGL context: glGetString's and the WGL
// extension string. Each needs a current rendering context.
#pragma once

#include "platform/windows_headers.h"

// glGetString's answer through the binding table; null when the driver gives none.
const char* GlString(GLenum name);

// The WGL extension string of the current device context; null when the
// driver has no wglGetExtensionsStringARB or it returns nothing.
const char* WglExtensionString();

// The same, "" for none.
const char* QueryWglExtensions();

// Where an extension is looked up: the WGL extension string when the driver
// gives one, else GL_EXTENSIONS. Only one of them is searched.
const char* ExtensionSearchString();
