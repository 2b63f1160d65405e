#include "app/whole_file.h"

// The folder part of path ("." when it has none) in folder, which has room for MAX_PATH.
static bool FolderOf(const char* path, char* folder)
{
    const char* end = nullptr;
    for (const char* at = path; *at != '\0'; at = CharNextA(at))
        if (*at == '\\' || *at == '/' || *at == ':')
            end = at + 1;
    if (end == nullptr) {
        lstrcpyA(folder, ".");
        return true;
    }
    const int length = static_cast<int>(end - path);
    if (length >= MAX_PATH)
        return false;
    lstrcpynA(folder, path, length + 1);
    return true;
}

static DWORD WriteAll(const char* path, const char* bytes, std::size_t length, WriteFileFunction write)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = 0;
    while (length > 0 && error == 0) {
        const DWORD chunk = length > 0x10000 ? 0x10000 : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!write(file, bytes, chunk, &written, nullptr))
            error = GetLastError();
        else if (written == 0)
            error = ERROR_WRITE_FAULT;
        bytes += written;
        length -= written;
    }
    if (!CloseHandle(file) && error == 0)
        error = GetLastError();
    return error;
}

// A free name in folder for the old file while the new one takes its place:
// GetTempFileNameA makes the file, which is then removed for MoveFileA.
static DWORD SetAside(const char* path, const char* folder, char* aside)
{
    if (GetTempFileNameA(folder, "gli", 0, aside) == 0)
        return GetLastError();
    DeleteFileA(aside);
    return MoveFileA(path, aside) ? 0 : GetLastError();
}

DWORD WriteWholeFile(const char* path, const char* bytes, std::size_t length, WriteFileFunction write)
{
    char folder[MAX_PATH];
    char temporary[MAX_PATH];
    if (!FolderOf(path, folder))
        return ERROR_FILENAME_EXCED_RANGE;
    if (GetTempFileNameA(folder, "gli", 0, temporary) == 0)
        return GetLastError();
    DWORD error = WriteAll(temporary, bytes, length, write);
    if (error == 0 && !MoveFileA(temporary, path)) {
        error = GetLastError();
        const DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
            // A folder or a read-only file of that name is not replaced.
            error = ERROR_ACCESS_DENIED;
        } else if (attributes != INVALID_FILE_ATTRIBUTES) {
            // The old file steps aside, and comes back when the new one cannot take its name.
            char aside[MAX_PATH];
            error = SetAside(path, folder, aside);
            if (error == 0) {
                if (MoveFileA(temporary, path)) {
                    DeleteFileA(aside);
                } else {
                    error = GetLastError();
                    MoveFileA(aside, path);
                }
            }
        }
    }
    if (error != 0)
        DeleteFileA(temporary);
    return error;
}
