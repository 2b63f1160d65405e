// Starts the real glinspect.exe and drives its dialog from this second
// process, as a user would: windows found by caption, text read back with the
// "W" messages (Wine returns UTF-16 for cross-process LB_GETTEXT either way).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class AppDriver {
public:
    AppDriver() = default;
    ~AppDriver();
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    // Launches the exe and waits up to timeoutMs for its main dialog to show
    // a filled summary. False when it did not come up.
    bool Start(DWORD timeoutMs = 20000);
    // Launches the exe without waiting for anything.
    bool Launch();

    HWND Dialog() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    DWORD ProcessId() const { return process_.dwProcessId; }
    HANDLE Process() const { return process_.hProcess; }

    // A top-level window of the app with this caption, waited for up to timeoutMs.
    HWND WaitForWindow(const char* caption, DWORD timeoutMs) const;

    // Exit code once the process has ended within timeoutMs, else STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeoutMs);
    // Ends the process if it still runs.
    void Kill();
    // Lets the process run on after this driver is gone.
    void Detach();

private:
    PROCESS_INFORMATION process_ = {};
    HWND dialog_ = nullptr;
};

// The program under test, as a Windows path.
std::string AppExePath();
// The console companion, as a Windows path.
std::string ReportExePath();

// Runs a console program to its end (at most timeoutMs), with its standard
// output and error read into out and err. Returns its exit code, or
// STILL_ACTIVE when it had to be ended.
DWORD RunCapturingOutput(const std::string& commandLine, std::string* out, std::string* err,
                         DWORD timeoutMs = 30000);
// The same with standard output on the inheritable handle output, which the
// caller owns.
DWORD RunWithStandardOutput(const std::string& commandLine, HANDLE output, std::string* err,
                            DWORD timeoutMs = 30000);

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Whether path names a file or a folder.
bool PathExists(const std::string& path);

// The program's Save dialog (caption "Save report") once it is up; null when
// none came within timeoutMs.
HWND WaitForSaveDialog(DWORD processId, DWORD timeoutMs);
// Types path into that Save dialog, picks its filter number filter (from 1;
// 0 keeps the one it has) and presses its button (IDOK or IDCANCEL); false
// when no Save dialog came.
bool AnswerSaveDialog(DWORD processId, const std::string& path, DWORD timeoutMs, WORD button = IDOK,
                      int filter = 0);

// The text on the clipboard as CF_TEXT; empty when there is none.
std::string ClipboardText();

// The Windows version the version matrix has Wine report to the program
// (GLINSPECT_WINDOWS_VERSION: win95, win98, nt40, winxp, win10), or empty
// outside the matrix.
std::string MatrixWindowsVersion();
// Whether a Wine version name belongs to the 9x family.
bool Is9xVersion(const std::string& version);

// A visible top-level window of process with this caption and class; a null
// caption or class matches any. Null when there is none.
HWND FindProcessWindow(DWORD processId, const char* caption, const char* className);

// Window text and list lines of any window, read across processes.
std::string WindowText(HWND window);
std::vector<std::string> ListLines(HWND list);
int ListSelection(HWND list);
std::string WindowClass(HWND window);

// Polls predicate every 20 ms until it holds or timeoutMs has passed.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}
