// "Copy report": the one item of the dialog's context menu, and an item of
// its system menu too; either copies the whole report.
#pragma once

#include "platform/windows_headers.h"

// The command of both items. None of the dialog's own ids (IDOK, IDCANCEL,
// its controls); below 0xF000 and with the low four bits clear, as the
// system menu's own commands need.
constexpr UINT kCopyReportCommand = 0x0110;

// Appends a separator and "Copy report" to the dialog's system menu.
void AddReportToSystemMenu(HWND dialog);

// Shows the menu at the position WM_CONTEXTMENU gives (screen coordinates;
// -1, -1 from the keyboard, which puts it at the dialog's top left corner)
// and copies the report when its item is chosen.
void ShowReportMenu(HWND dialog, LPARAM position);

// Puts the report on the clipboard as CF_TEXT. False when that failed.
bool CopyReportToClipboard(HWND dialog);
