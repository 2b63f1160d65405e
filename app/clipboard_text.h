// Text handed to the clipboard, or the clipboard left as it was.
#pragma once

#include <cstddef>

#include "platform/windows_headers.h"

// SetClipboardData's shape, so that a test can make the hand-over fail.
typedef HANDLE(WINAPI* SetClipboardDataFunction)(UINT format, HANDLE data);

// Puts length bytes of text and the NUL after them on the clipboard as
// CF_TEXT, owned by owner. False when that failed: the clipboard then holds
// again what it held before, as far as that can be copied (see Keepable).
bool SetClipboardText(HWND owner, const char* text, std::size_t length,
                      SetClipboardDataFunction set = SetClipboardData);
