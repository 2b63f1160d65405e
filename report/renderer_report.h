// What the dialog shows of the current OpenGL context: the summary and the two
// extension lists. Every function here needs a current rendering context.
#pragma once

#include "platform/windows_headers.h"

// Sets the info text to the vendor, renderer and version, one per line.
void ShowRendererSummary(HWND infoText);

// Whether name is offered as a whole token: in the WGL extension string when
// the driver gives one, else in GL_EXTENSIONS. Only one of them is searched.
bool HasExtension(const char* name);

// Adds one list line per space-separated token of text.
void FillExtensionList(HWND list, const char* text);
