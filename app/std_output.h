// Output on the standard handles, written whole or reported as failed.
#pragma once

#include <cstddef>

#include "app/whole_file.h"
#include "platform/windows_headers.h"

// The most one WriteFile call is given. NOTE: a console before Windows 8
// refuses a single write of about 64 KB.
constexpr DWORD kOutputChunk = 16 * 1024;

// Writes length bytes to file in chunks of at most kOutputChunk, going on
// from where a short write stopped. False when a write fails or writes
// nothing.
bool WriteInChunks(HANDLE file, const char* bytes, std::size_t length,
                   WriteFileFunction write = WriteFile);

// Writes text to standard output. False when it was not written whole
// (a full disk, a closed pipe), which is then said on standard error as far
// as that can be written.
bool PrintToStdOutput(const char* text, std::size_t length, WriteFileFunction write = WriteFile);
