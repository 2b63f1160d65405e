#include "app/std_output.h"

static const char kNotWritten[] = "Standard output refused the text: it was not written whole\r\n";

bool WriteInChunks(HANDLE file, const char* bytes, std::size_t length, WriteFileFunction write)
{
    while (length > 0) {
        const DWORD chunk = length > kOutputChunk ? kOutputChunk : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!write(file, bytes, chunk, &written, nullptr) || written == 0 || written > chunk)
            return false;
        bytes += written;
        length -= written;
    }
    return true;
}

bool PrintToStdOutput(const char* text, std::size_t length, WriteFileFunction write)
{
    if (WriteInChunks(GetStdHandle(STD_OUTPUT_HANDLE), text, length, write))
        return true;
    WriteInChunks(GetStdHandle(STD_ERROR_HANDLE), kNotWritten, sizeof kNotWritten - 1);
    return false;
}
