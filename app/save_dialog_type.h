// The file type chosen in the Save dialog, and the extension it gives a name
// typed without one.
#pragma once

#include "platform/windows_headers.h"

// The extension, without its dot, of the Save dialog's file type number
// filterIndex (from 1): "json" for the second, "txt" for any other.
inline const char* SaveTypeExtension(DWORD filterIndex)
{
    return filterIndex == 2 ? "json" : "txt";
}

// Whether the Save dialog of the Windows that GetVersion() describes adds
// lpstrDefExt whatever file type is chosen. NOTE: those of Windows 95, 98,
// Me and NT 4.0 do; from Windows 2000 on, the chosen type's extension is
// added.
constexpr bool SaveDialogKeepsDefaultExtension(DWORD version)
{
    return (version & 0xFF) < 5;
}

// The Save dialog's hook procedure where it keeps its default extension: a
// change of file type makes that type's extension the default one.
UINT_PTR CALLBACK SaveTypeHook(HWND hook, UINT message, WPARAM wparam, LPARAM lparam);
