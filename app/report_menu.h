// The dialog's context menu, whose one item copies the whole report.
#pragma once

#include "platform/windows_headers.h"

// Shows the menu at the position WM_CONTEXTMENU gives (screen coordinates;
// -1, -1 from the keyboard, which puts it at the dialog's top left corner)
// and copies the report when its item is chosen.
void ShowReportMenu(HWND dialog, LPARAM position);

// Puts the report on the clipboard as CF_TEXT. False when that failed.
bool CopyReportToClipboard(HWND dialog);
