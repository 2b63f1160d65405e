#include "app/main_dialog.h"

#include "app/report_menu.h"
#include "app/resources/resource_ids.h"
#include "drivers/driver_table.h"
#include "platform/gl_strings.h"
#include "report/renderer_report.h"
#include "view/gl_view.h"
#include "view/view_window.h"

DialogControls dialogControls;
HINSTANCE appInstance = nullptr;
HCURSOR dragCursor = nullptr;

void DialogControls::LookUpControls()
{
    view = GetDlgItem(dialog, IDC_VIEW);
    previousViewWindowProc = reinterpret_cast<WNDPROC>(GetWindowLongA(view, GWL_WNDPROC));
    SetWindowLongA(view, GWL_WNDPROC, reinterpret_cast<LONG>(ViewWindowProc));

    infoText = GetDlgItem(dialog, IDC_INFO_TEXT);
    glExtensionList = GetDlgItem(dialog, IDC_GL_EXTENSIONS);
    wglExtensionList = GetDlgItem(dialog, IDC_WGL_EXTENSIONS);
    driverList = GetDlgItem(dialog, IDC_DRIVER_LIST);
}

static void SetDialogIcons(HWND dialog)
{
    HICON icon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_GLINSPECT));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

// Returns 1 when no rendering context could be had; the program then ends.
static INT_PTR OnInitDialog(HWND dialog)
{
    dialogControls.dialog = dialog;
    dialogControls.LookUpControls();
    SetWindowLongA(dialog, GWL_WNDPROC, reinterpret_cast<LONG>(MainWindowProc));
    FillDriverList(dialogControls.driverList);

    if (!glView.Attach(dialogControls.view)) {
        MessageBoxA(nullptr, "OpenGL Error : Initialization Failed", "OpenGL Error", MB_OK);
        PostQuitMessage(-1);
        return 1;
    }
    glView.SetupView(-1, -1, -1.0);
    ShowRendererSummary(dialogControls.infoText);
    SetDialogIcons(dialog);
    AddReportToSystemMenu(dialog);
    FillExtensionList(dialogControls.glExtensionList, GlString(GL_EXTENSIONS));
    FillExtensionList(dialogControls.wglExtensionList, QueryWglExtensions());
    return 0;
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog(dialog);
    return 0;
}

static void OnEraseBackground(HWND window, HDC deviceContext)
{
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(deviceContext, &client, brush);
    DeleteObject(brush);
}

// The message's own parameters are not used: the view counts only when it is
// the window under the pointer right now.
static bool OnSetCursor()
{
    POINT pointer = {0, 0};
    GetCursorPos(&pointer);
    if (WindowFromPoint(pointer) != dialogControls.view)
        return false;
    SetCursor(dragCursor);
    return true;
}

// The report menu belongs to the client area; a right click on the caption
// keeps the system menu that default processing shows there.
static bool OnContextMenu(HWND window, LPARAM position)
{
    POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (!(at.x == -1 && at.y == -1)) {
        RECT client;
        GetClientRect(window, &client);
        ScreenToClient(window, &at);
        if (!PtInRect(&client, at))
            return false;
    }
    ShowReportMenu(window, position);
    return true;
}

// The system menu's own commands keep their meaning in the high twelve bits.
static bool OnSysCommand(HWND window, WPARAM command)
{
    return RunReportCommand(window, static_cast<UINT>(command & 0xFFF0));
}

// A switch that could not be written (no administrator rights, say) was
// undone: the list shows the line in effect again. When the undo failed too,
// the registry holds part of the switch, and the list is read from it again
// so that it shows what the registry holds.
static void OnDriverSelectionChange()
{
    const LRESULT selection = SendMessageA(dialogControls.driverList, LB_GETCURSEL, 0, 0);
    if (selection < 0)
        return;
    const SwitchOutcome outcome = SwitchDriver(static_cast<int>(selection));
    if (outcome == SwitchOutcome::kWritten)
        return;
    if (outcome == SwitchOutcome::kUndoFailed)
        RefillDriverList(dialogControls.driverList);
    else  // Set by program: the list sends no LBN_SELCHANGE, so nothing is switched.
        SendMessageA(dialogControls.driverList, LB_SETCURSEL,
                     static_cast<WPARAM>(DriverLineInEffect), 0);
    MessageBeep(MB_ICONEXCLAMATION);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_DESTROY:
        glView.Release();
        PostQuitMessage(0);
        break;
    case WM_ERASEBKGND:
        OnEraseBackground(window, reinterpret_cast<HDC>(wparam));
        break;
    case WM_SETCURSOR:
        if (OnSetCursor())
            return 1;
        break;
    case WM_CONTEXTMENU:
        if (OnContextMenu(window, lparam))
            return 0;
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(window, wparam))
            return 0;
        break;
    case WM_COMMAND: {
        const WORD id = LOWORD(wparam);
        if (id == IDOK || id == IDCANCEL) {
            glView.Release();
            EndDialog(window, id);
            return 1;
        }
        if (id == IDC_DRIVER_LIST && HIWORD(wparam) == LBN_SELCHANGE)
            OnDriverSelectionChange();
        break;
    }
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
