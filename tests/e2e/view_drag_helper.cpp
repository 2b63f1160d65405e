// A command-line hand for the view's end-to-end test: the native test script
// runs it once per step, under the same Wine session, to start the program,
// to send mouse messages to its view control, and to ask whether it still
// answers. The script itself captures the view's frames from the X server.
//
//   launch                         start the program; prints PID WIDTH HEIGHT R G B
//                                  (view client size, button-face colour)
//   press PID X Y                  WM_LBUTTONDOWN at client (X, Y)
//   move PID X Y DX DY COUNT [up]  COUNT moves from (X, Y) in steps of (DX, DY);
//                                  "up" sends them without MK_LBUTTON
//   release PID X Y                WM_LBUTTONUP at client (X, Y)
//   copy PID                       "Copy report" from the system menu; prints the
//                                  number of lines it put on the clipboard
//   save PID PATH                  "Save report…" from the system menu, PATH typed
//                                  into its Save dialog; prints the file's size
//   repaint PID                    invalidates the view and has it paint a frame at once
//   alive PID                      exit 0 when the dialog still answers
//   close PID                      close box; prints the program's exit code
//
// Exit status 0 on success, 2 for a bad command line, 3 when the dialog is
// not found or does not answer.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/report_menu.h"
#include "app/resources/resource_ids.h"
#include "app_driver.h"

namespace {

const char kCaption[] = "OpenGL Renderer infos";

HWND FindDialog(DWORD processId)
{
    return FindProcessWindow(processId, kCaption, nullptr);
}

// Client coordinates packed as the window system does: signed 16-bit x low, y high.
LPARAM Position(int x, int y)
{
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(x)) |
                               (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

// Sends to the view and waits for the answer: a drag step repaints before
// it returns, so the frame is on its way once this comes back.
bool SendToView(HWND view, UINT message, WPARAM wparam, LPARAM lparam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(view, message, wparam, lparam, SMTO_NORMAL, 10000, &result) != 0;
}

int Launch()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + AppExePath() + "\"";
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 3;
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(process.dwProcessId)) != nullptr; }, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (dialog == nullptr)
        return 3;
    RECT client = {};
    GetClientRect(GetDlgItem(dialog, IDC_VIEW), &client);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    std::printf("%lu %ld %ld %d %d %d\n", process.dwProcessId, client.right, client.bottom,
                GetRValue(face), GetGValue(face), GetBValue(face));
    return 0;
}

int Close(DWORD processId, HWND dialog)
{
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                 FALSE, processId);
    if (process == nullptr)
        return 3;
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process, &code);
    } else {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
    std::printf("%lu\n", code);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const char* command = argv[1];
    if (std::strcmp(command, "launch") == 0)
        return Launch();
    if (argc < 3)
        return 2;

    const DWORD processId = std::strtoul(argv[2], nullptr, 10);
    HWND dialog = FindDialog(processId);
    if (dialog == nullptr)
        return 3;
    HWND view = GetDlgItem(dialog, IDC_VIEW);
    auto number = [&](int index) { return index < argc ? std::atoi(argv[index]) : 0; };

    if (std::strcmp(command, "alive") == 0) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) ? 0 : 3;
    }
    if (std::strcmp(command, "copy") == 0) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(dialog, WM_SYSCOMMAND, kCopyReportCommand, 0, SMTO_NORMAL, 20000,
                                 &result))
            return 3;
        const std::string text = ClipboardText();
        size_t lines = 0;
        for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
            ++lines;
        std::printf("%u\n", static_cast<unsigned>(lines));
        return lines > 0 ? 0 : 3;
    }
    if (std::strcmp(command, "save") == 0 && argc == 4) {
        DeleteFileA(argv[3]);
        PostMessageA(dialog, WM_SYSCOMMAND, kSaveReportCommand, 0);
        if (!AnswerSaveDialog(processId, argv[3], 20000) ||
            !WaitUntil([&] { return WaitForSaveDialog(processId, 0) == nullptr; }, 20000))
            return 3;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result))
            return 3;
        const std::string saved = ReadWholeFile(argv[3]);
        DeleteFileA(argv[3]);
        std::printf("%u\n", static_cast<unsigned>(saved.size()));
        return saved.empty() ? 3 : 0;
    }
    if (std::strcmp(command, "repaint") == 0)
        return RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW) ? 0 : 3;
    if (std::strcmp(command, "close") == 0)
        return Close(processId, dialog);
    if (std::strcmp(command, "press") == 0 && argc == 5)
        return SendToView(view, WM_LBUTTONDOWN, MK_LBUTTON, Position(number(3), number(4))) ? 0 : 3;
    if (std::strcmp(command, "release") == 0 && argc == 5)
        return SendToView(view, WM_LBUTTONUP, 0, Position(number(3), number(4))) ? 0 : 3;
    if (std::strcmp(command, "move") == 0 && (argc == 8 || argc == 9)) {
        const WPARAM buttons = argc == 9 && std::strcmp(argv[8], "up") == 0 ? 0 : MK_LBUTTON;
        int x = number(3), y = number(4);
        for (int step = 0; step < number(7); ++step) {
            x += number(5);
            y += number(6);
            if (!SendToView(view, WM_MOUSEMOVE, buttons, Position(x, y)))
                return 3;
        }
        return 0;
    }
    return 2;
}
