#include "app_driver.h"

#include "tests/support/windows_path.h"

namespace {

struct WindowSearch {
    DWORD processId;
    const char* caption;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    if (search->caption != nullptr && WindowText(window) != search->caption)
        return TRUE;
    if (search->className != nullptr && WindowClass(window) != search->className)
        return TRUE;
    search->found = window;
    return FALSE;
}

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size,
                        nullptr, nullptr);
    return text;
}

}  // namespace

std::string AppExePath()
{
    return WindowsPath(GLINSPECT_EXE);
}

std::string ReportExePath()
{
    return WindowsPath(GLINSPECT_REPORT_EXE);
}

std::string ReadWholeFile(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// A new file in the temporary folder, its name in path, open for writing
// with a handle a child process inherits. A file, not a pipe: nothing can
// block on a full pipe.
static HANDLE InheritableTemporaryFile(const char* prefix, char (&path)[MAX_PATH])
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    GetTempFileNameA(folder, prefix, 0, path);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

DWORD RunWithStandardOutput(const std::string& commandLine, HANDLE output, std::string* err,
                            DWORD timeoutMs)
{
    char errPath[MAX_PATH];
    HANDLE errFile = InheritableTemporaryFile("err", errPath);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    DWORD code = STILL_ACTIVE;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(errFile);
    if (err != nullptr)
        *err = ReadWholeFile(errPath);
    DeleteFileA(errPath);
    return code;
}

DWORD RunCapturingOutput(const std::string& commandLine, std::string* out, std::string* err,
                         DWORD timeoutMs)
{
    char outPath[MAX_PATH];
    HANDLE outFile = InheritableTemporaryFile("out", outPath);
    const DWORD code = RunWithStandardOutput(commandLine, outFile, err, timeoutMs);
    CloseHandle(outFile);
    if (out != nullptr)
        *out = ReadWholeFile(outPath);
    DeleteFileA(outPath);
    return code;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The file name control of the common Save dialog: the combo box of the
// Explorer style (cmb13) or its plain edit (edt1).
static HWND FileNameControl(HWND saveDialog)
{
    HWND control = GetDlgItem(saveDialog, 0x47C);
    return control != nullptr ? control : GetDlgItem(saveDialog, 0x480);
}

HWND WaitForSaveDialog(DWORD processId, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] {
        found = FindProcessWindow(processId, "Save report", "#32770");
        return found != nullptr && FileNameControl(found) != nullptr;
    }, timeoutMs);
    return found != nullptr && FileNameControl(found) != nullptr ? found : nullptr;
}

bool AnswerSaveDialog(DWORD processId, const std::string& path, DWORD timeoutMs, WORD button, int filter)
{
    HWND saveDialog = WaitForSaveDialog(processId, timeoutMs);
    if (saveDialog == nullptr)
        return false;
    DWORD_PTR result = 0;
    if (filter > 0) {
        // The file type list (cmb1), and the notifications a choice by the user sends.
        HWND types = GetDlgItem(saveDialog, 0x470);
        SendMessageTimeoutA(types, CB_SETCURSEL, static_cast<WPARAM>(filter - 1), 0, SMTO_NORMAL,
                            timeoutMs, &result);
        for (WORD notification : {CBN_SELCHANGE, CBN_SELENDOK})
            SendMessageTimeoutA(saveDialog, WM_COMMAND, MAKEWPARAM(0x470, notification),
                                reinterpret_cast<LPARAM>(types), SMTO_NORMAL, timeoutMs, &result);
    }
    SendMessageTimeoutA(FileNameControl(saveDialog), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, timeoutMs, &result);
    PostMessageA(saveDialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(saveDialog, button)));
    return true;
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data != nullptr) {
        if (const char* locked = static_cast<const char*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string MatrixWindowsVersion()
{
    char version[32] = {};
    const DWORD length = GetEnvironmentVariableA("GLINSPECT_WINDOWS_VERSION", version, sizeof(version));
    return length > 0 && length < sizeof(version) ? version : "";
}

bool Is9xVersion(const std::string& version)
{
    return version == "win95" || version == "win98" || version == "winme";
}

AppDriver::~AppDriver()
{
    Kill();
}

bool AppDriver::Launch()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + AppExePath() + "\"";
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process_) != FALSE;
}

bool AppDriver::Start(DWORD timeoutMs)
{
    if (!Launch())
        return false;
    dialog_ = WaitForWindow("OpenGL Renderer infos", timeoutMs);
    if (dialog_ == nullptr)
        return false;
    // The dialog shows only after its initialisation, which fills every control.
    return true;
}

HWND FindProcessWindow(DWORD processId, const char* caption, const char* className)
{
    WindowSearch search = {processId, caption, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND AppDriver::WaitForWindow(const char* caption, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(process_.dwProcessId, caption, nullptr)) != nullptr; },
              timeoutMs);
    return found;
}

DWORD AppDriver::WaitForExit(DWORD timeoutMs)
{
    if (process_.hProcess == nullptr)
        return STILL_ACTIVE;
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void AppDriver::Kill()
{
    if (process_.hProcess == nullptr)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION();
    dialog_ = nullptr;
}

void AppDriver::Detach()
{
    if (process_.hProcess == nullptr)
        return;
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION();
}

std::string WindowText(HWND window)
{
    wchar_t text[4096];
    const LRESULT length = SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return Narrow(std::wstring(text, static_cast<size_t>(length > 0 ? length : 0)));
}

std::vector<std::string> ListLines(HWND list)
{
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring line(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
        line.resize(static_cast<size_t>(got > 0 ? got : 0));
        lines.push_back(Narrow(line));
    }
    return lines;
}

int ListSelection(HWND list)
{
    return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

std::string WindowClass(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}
