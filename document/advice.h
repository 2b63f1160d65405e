// What to do when OpenGL is not accelerated, from the facts of a report.
#pragma once

#include "document/report_document.h"

// The most names EnabledDllNames gives: three driver rows, and room for
// subkeys and the adapters' 32 class subkeys.
constexpr int kMaxEnabledDlls = 48;
// The most advice lines a report can have: one per name and adapter, and a few more.
constexpr int kMaxAdviceLines = 96;

// The DLLs of the enabled registrations, as registered and each once (ASCII
// case ignored): the driver rows after the software line whose value name
// does not start with "~", the subkey registrations, and each display
// adapter's OpenGLDriverName. When this 32-bit program runs on a 64-bit
// Windows, an adapter's 32-bit driver is its OpenGLDriverNameWow, and an
// adapter without one gives no name: its OpenGLDriverName is a 64-bit DLL
// that this program can neither find nor load. Writes at most capacity names
// into names; returns how many.
int EnabledDllNames(const ReportData& report, const char** names, int capacity);

// Whether the adapter registers only a 64-bit driver on the 64-bit Windows
// the report was made on.
bool LacksThirtyTwoBitDriver(const ReportData& report, const DisplayAdapter& adapter);

// What ConcludeReport works out, held for as long as the report is used.
struct ReportConclusion {
    TextBuffer text;  // the advice lines, each ended by a NUL
    const char* lines[kMaxAdviceLines];
};

// Sets report.verdict from the view's format and the renderer string, then
// report.advice from every fact, in the order the lines are given and each at
// most once, without the "Advice: " the text puts before them: none on the
// acceleration when it is full; in a Remote Desktop session only its own
// line, since Windows draws OpenGL in software there on purpose. After them,
// at any acceleration, what the render check found wrong: nothing drawn,
// drawn wrong, or drawn and not shown. False when memory ran out.
bool ConcludeReport(ReportData& report, ReportConclusion& conclusion);
