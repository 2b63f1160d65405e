// A file written as a whole or not at all: the bytes go to a temporary file
// in the same folder, which then takes the name.
#pragma once

#include <cstddef>

#include "platform/windows_headers.h"

// WriteFile's shape, so that a test can make the writing fail half way.
typedef BOOL(WINAPI* WriteFileFunction)(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written,
                                        LPOVERLAPPED overlapped);

// Writes length bytes to path. Returns 0 when path holds them, else the
// Windows error code; path then holds what it held before (nothing, or the
// old file) and no temporary file is left. A file of that name is replaced
// without MoveFileEx, which Windows 95, 98 and Me do not implement; a
// read-only file or a folder of that name is not (ERROR_ACCESS_DENIED).
DWORD WriteWholeFile(const char* path, const char* bytes, std::size_t length,
                     WriteFileFunction write = WriteFile);
