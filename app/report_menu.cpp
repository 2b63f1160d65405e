#include "app/report_menu.h"

#include <commdlg.h>

#include <cstring>

#include "app/clipboard_text.h"
#include "app/main_dialog.h"
#include "app/resources/resource_ids.h"
#include "app/report_gather.h"
#include "app/save_dialog_type.h"
#include "platform/fetch_function.h"
#include "platform/ansi_text.h"

static_assert((kCopyReportCommand & 0xF) == 0 && kCopyReportCommand < 0xF000 &&
                  (kSaveReportCommand & 0xF) == 0 && kSaveReportCommand < 0xF000,
              "the system menu keeps the low four bits of a command for itself");
static_assert(kCopyReportCommand != IDOK && kCopyReportCommand != IDCANCEL &&
                  (kCopyReportCommand < IDC_VIEW || kCopyReportCommand > IDC_WGL_EXTENSIONS) &&
                  kSaveReportCommand != IDOK && kSaveReportCommand != IDCANCEL &&
                  (kSaveReportCommand < IDC_VIEW || kSaveReportCommand > IDC_WGL_EXTENSIONS) &&
                  kSaveReportCommand != kCopyReportCommand,
              "commands of their own, not one of the dialog's ids");

static const char kCopyReportText[] = "Copy report";
static const char kSaveReportCaption[] = "Save report";

// "Save report…" in the system's code page, for the menus' 8-bit text; three
// dots where the code page has no ellipsis (or, as UTF-8 does, refuses to say).
static void SaveReportText(char* text, int capacity)
{
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, L"Save report\u2026", -1, text, capacity, nullptr,
                            &usedDefault) == 0 ||
        usedDefault)
        lstrcpynA(text, "Save report...", capacity);
}

static void AppendReportItems(HMENU menu)
{
    char saveText[32];
    SaveReportText(saveText, sizeof saveText);
    AppendMenuA(menu, MF_STRING, kCopyReportCommand, kCopyReportText);
    AppendMenuA(menu, MF_STRING, kSaveReportCommand, saveText);
}

// The report from the dialog's controls and the facts gathered now: the
// clipboard's text, or JSON. False when memory ran out.
static bool MakeReport(bool json, TextBuffer& text)
{
    const ReportControls controls = {dialogControls.view, dialogControls.infoText, dialogControls.glExtensionList,
                                     dialogControls.wglExtensionList, dialogControls.driverList};
    GatheredReport report{};
    if (!report.Gather(controls))
        return false;
    if (json)
        WriteReportJson(report.Data(), text, SystemAnsiToUtf16);
    else
        WriteReportText(report.Data(), text);
    return text.Ok();
}

bool CopyReportToClipboard(HWND dialog)
{
    TextBuffer text;
    if (MakeReport(false, text) && SetClipboardText(dialog, text.Text(), text.Length()))
        return true;
    MessageBeep(MB_ICONEXCLAMATION);
    return false;
}

static bool EndsWithJson(const char* path)
{
    const size_t length = std::strlen(path);
    return length >= 5 && lstrcmpiA(path + length - 5, ".json") == 0;
}

// The message box of a file that could not be written: its name and the
// system's text for error.
static void ShowSaveError(HWND dialog, const char* path, DWORD error)
{
    char reason[512];
    reason[0] = '\0';  // what stays when the system has no text for error
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason, nullptr);
    // NOTE: wsprintfA writes at most 1024 characters, its NUL included.
    char message[1024];
    wsprintfA(message, "The report could not be saved as %s:\r\n%s", path, reason);
    MessageBoxA(dialog, message, kSaveReportCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool SaveReportTo(HWND dialog, const char* path, WriteFileFunction write)
{
    TextBuffer text;
    if (!MakeReport(EndsWithJson(path), text)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    const DWORD error = WriteWholeFile(path, text.Text(), text.Length(), write);
    if (error != 0)
        ShowSaveError(dialog, path, error);
    return error == 0;
}

// COMDLG32 is loaded only when a report is saved: it brings SHELL32, OLE32
// and more with it, which would cost every start some 4 MB and time.
struct SaveDialogFunctions {
    HMODULE module;
    BOOL(WINAPI* getSaveFileName)(OPENFILENAMEA*);
    DWORD(WINAPI* extendedError)();
};

static bool LoadSaveDialog(SaveDialogFunctions& functions)
{
    functions.module = LoadLibraryA("comdlg32.dll");
    if (functions.module == nullptr)
        return false;
    functions.getSaveFileName =
        FetchFunction<BOOL(WINAPI*)(OPENFILENAMEA*)>(functions.module, "GetSaveFileNameA");
    functions.extendedError = FetchFunction<DWORD(WINAPI*)()>(functions.module, "CommDlgExtendedError");
    if (functions.getSaveFileName != nullptr && functions.extendedError != nullptr)
        return true;
    FreeLibrary(functions.module);
    return false;
}

void SaveReport(HWND dialog)
{
    SaveDialogFunctions comdlg = {};
    bool failed = !LoadSaveDialog(comdlg);
    if (!failed) {
        // Off the stack, where the request's members then sit at short
        // offsets, less code; the Save dialog is modal: one name at a time.
        static char path[MAX_PATH];
        lstrcpyA(path, "glinspect-report.txt");
        OPENFILENAMEA request = {};
        // The size that Windows 95 and NT 4.0 know; later Windows take it too.
        request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
        request.hwndOwner = dialog;
        request.lpstrFilter = "Text files (*.txt)\0*.txt\0JSON files (*.json)\0*.json\0";
        request.nFilterIndex = 1;
        request.lpstrFile = path;
        request.nMaxFile = sizeof path;
        request.lpstrTitle = kSaveReportCaption;
        // The chosen filter's extension is added to a name typed without one.
        request.lpstrDefExt = "txt";
        request.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                        OFN_NOCHANGEDIR;
        if (SaveDialogKeepsDefaultExtension(GetVersion())) {
            // NOTE: with a hook, Windows 98 sizes the dialog only when asked to.
            request.Flags |= OFN_ENABLEHOOK | OFN_ENABLESIZING;
            request.lpfnHook = SaveTypeHook;
        }
        if (comdlg.getSaveFileName(&request))
            SaveReportTo(dialog, path);
        else
            failed = comdlg.extendedError() != 0;  // not cancelled: the dialog could not be shown
        FreeLibrary(comdlg.module);
    }
    if (failed)
        MessageBeep(MB_ICONEXCLAMATION);
}

bool RunReportCommand(HWND dialog, UINT command)
{
    if (command == kCopyReportCommand)
        CopyReportToClipboard(dialog);
    else if (command == kSaveReportCommand)
        SaveReport(dialog);
    else
        return false;
    return true;
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
    AppendReportItems(menu);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
        dialog, nullptr));
    DestroyMenu(menu);
    RunReportCommand(dialog, chosen);
}

void AddReportToSystemMenu(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (menu == nullptr)
        return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendReportItems(menu);
}
