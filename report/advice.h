// What to do when OpenGL is not accelerated, from the facts of a report.
#pragma once

#include "report/report_document.h"

// The most names EnabledDllNames gives: three driver rows, and room for
// subkeys and the adapters' 32 class subkeys.
constexpr int kMaxEnabledDlls = 48;

// The DLLs of the enabled registrations, as registered and each once (ASCII
// case ignored): the driver rows after the software line whose value name
// does not start with "~", the subkey registrations, and each display
// adapter's OpenGLDriverName, or its OpenGLDriverNameWow when this 32-bit
// program runs on a 64-bit Windows and the adapter has one. Writes at most
// capacity names into names; returns how many.
int EnabledDllNames(const ReportData& report, const char** names, int capacity);

// The advice lines in the order they are given, each at most once and
// without the "Advice: " the text puts before them, into lines, each ended
// by a NUL. Returns how many: none when the acceleration is full, and only
// the remote session's when it is partial.
int BuildAdvice(const ReportData& report, TextBuffer& lines);

// The line after line in a buffer BuildAdvice filled.
inline const char* NextAdviceLine(const char* line)
{
    while (*line != '\0')
        ++line;
    return line + 1;
}
