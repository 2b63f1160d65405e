// "Copy report" and "Save report…": the items of the dialog's context menu,
// and items of its system menu too; either takes the whole report.
#pragma once

#include "app/whole_file.h"
#include "platform/windows_headers.h"

// The commands of the items. None of the dialog's own ids (IDOK, IDCANCEL,
// its controls); below 0xF000 and with the low four bits clear, as the
// system menu's own commands need.
constexpr UINT kCopyReportCommand = 0x0110;
constexpr UINT kSaveReportCommand = 0x0120;

// Appends a separator, "Copy report" and "Save report…" to the dialog's system menu.
void AddReportToSystemMenu(HWND dialog);

// Shows the menu at the position WM_CONTEXTMENU gives (screen coordinates;
// -1, -1 from the keyboard, which puts it at the dialog's top left corner)
// and carries out the item chosen.
void ShowReportMenu(HWND dialog, LPARAM position);

// Carries out kCopyReportCommand or kSaveReportCommand; false for any other command.
bool RunReportCommand(HWND dialog, UINT command);

// Puts the report on the clipboard as CF_TEXT. False, with a beep and the
// clipboard as it was, when that failed.
bool CopyReportToClipboard(HWND dialog);

// Asks for a file with the common Save dialog and saves the report there;
// cancelling saves nothing.
void SaveReport(HWND dialog);

// Writes the report to path: JSON when the name ends in ".json" (in any
// case), else the clipboard's text. True when path holds it. When the report
// cannot be made (memory) it beeps; when the file cannot be written a
// message box owned by dialog gives the system's reason, and path keeps
// what it held.
bool SaveReportTo(HWND dialog, const char* path, WriteFileFunction write = WriteFile);
