#include "platform/ansi_text.h"

#include "platform/windows_headers.h"

int SystemAnsiToUtf16(const char* text, int length, wchar_t* units, int capacity)
{
    return MultiByteToWideChar(CP_ACP, 0, text, length, units, capacity);
}
