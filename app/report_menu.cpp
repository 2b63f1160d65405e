#include "app/report_menu.h"

#include <cstring>

#include "app/main_dialog.h"
#include "app/resources/resource_ids.h"
#include "app/report_gather.h"
#include "app/report_collect.h"

static_assert((kCopyReportCommand & 0xF) == 0 && kCopyReportCommand < 0xF000,
              "the system menu keeps the low four bits of a command for itself");
static_assert(kCopyReportCommand != IDOK && kCopyReportCommand != IDCANCEL &&
                  (kCopyReportCommand < IDC_VIEW || kCopyReportCommand > IDC_WGL_EXTENSIONS),
              "a command of its own, not one of the dialog's ids");

static const char kCopyReportText[] = "Copy report";

// Hands text to the clipboard, which then owns the memory.
static bool SetClipboardText(HWND owner, const char* text, size_t length)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (memory == nullptr)
        return false;
    char* copy = static_cast<char*>(GlobalLock(memory));
    if (copy == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(copy, text, length + 1);
    GlobalUnlock(memory);

    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool handedOver = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!handedOver)
        GlobalFree(memory);
    return handedOver;
}

bool CopyReportToClipboard(HWND dialog)
{
    const ReportControls controls = {dialogControls.infoText, dialogControls.glExtensionList,
                                     dialogControls.wglExtensionList, dialogControls.driverList};
    CollectedReport report;
    ReportFacts facts;
    if (!report.Collect(controls) || !facts.Gather())
        return false;
    ReportData data = report.Data();
    facts.HandTo(data);
    TextBuffer text;
    WriteReportText(data, text);
    return text.Ok() && SetClipboardText(dialog, text.Text(), text.Length());
}

void ShowReportMenu(HWND dialog, LPARAM position)
{
    POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        at.x = 0;
        at.y = 0;
        ClientToScreen(dialog, &at);
    }
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return;
    AppendMenuA(menu, MF_STRING, kCopyReportCommand, kCopyReportText);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
        dialog, nullptr));
    DestroyMenu(menu);
    if (chosen == kCopyReportCommand)
        CopyReportToClipboard(dialog);
}

void AddReportToSystemMenu(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (menu == nullptr)
        return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCopyReportCommand, kCopyReportText);
}
