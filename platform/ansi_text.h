// The system's ANSI code page as the JSON writer's converter.
#pragma once

// An AnsiToUtf16 (report/report_document.h) through MultiByteToWideChar with
// CP_ACP: the text as the dialog's controls show it, on single-byte and
// double-byte code pages alike.
int SystemAnsiToUtf16(const char* text, int length, wchar_t* units, int capacity);
