// The report's items in the system's own menus, its text in the system's
// code page, and the report saved whole or not at all, in this process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/clipboard_text.h"
#include "app/main_dialog.h"
#include "app/report_menu.h"
#include "app/resources/resource_ids.h"
#include "app/save_dialog_type.h"
#include "app/whole_file.h"
#include "platform/ansi_text.h"
#include "document/report_document.h"

#include <commdlg.h>  // after <windows.h>, which the lean build leaves it out of

namespace {

TEST(ReportMenu, TheSystemMenuEndsWithASeparatorCopyReportAndSaveReport)
{
    HWND window = CreateWindowExA(0, "STATIC", "menu", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const int before = GetMenuItemCount(GetSystemMenu(window, FALSE));
    AddReportToSystemMenu(window);
    HMENU menu = GetSystemMenu(window, FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_EQ(count, before + 3);
    EXPECT_NE(GetMenuState(menu, count - 3, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    char text[32] = {};
    GetMenuStringA(menu, count - 2, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "Copy report");
    EXPECT_EQ(GetMenuItemID(menu, count - 2), kCopyReportCommand);

    // The ellipsis as the system's code page writes it: one byte on 1252.
    GetMenuStringA(menu, count - 1, text, sizeof(text), MF_BYPOSITION);
    wchar_t wide[32] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 32);
    EXPECT_STREQ(wide, L"Save report\u2026") << text;
    if (GetACP() == 1252) {
        EXPECT_STREQ(text, "Save report\x85");
    }
    EXPECT_EQ(GetMenuItemID(menu, count - 1), kSaveReportCommand);
    DestroyWindow(window);
}

TEST(AnsiText, JsonCarriesTheTextOfTheSystemCodePage)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "code page " << GetACP();
    TextBuffer out;
    AppendJsonString(out, "Vendor\x99 \x80", SystemAnsiToUtf16);
    EXPECT_STREQ(out.Text(), "\"Vendor\\u2122 \\u20ac\"");
}

// A moveable global block holding bytes, for SetClipboardData.
HGLOBAL GlobalBytes(const std::string& bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    return memory;
}

// The clipboard's bytes of format; "(none)" when it has no such format.
std::string ClipboardBytes(UINT format)
{
    std::string bytes = "(none)";
    if (!OpenClipboard(nullptr))
        return "(not opened)";
    HANDLE data = GetClipboardData(format);
    const char* locked = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (locked != nullptr) {
        bytes.assign(locked, GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// SetClipboardData that refuses the next refusals calls, as when memory runs out.
int refusals = 0;
HANDLE WINAPI RefusingSetClipboardData(UINT format, HANDLE data)
{
    if (refusals > 0) {
        --refusals;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return SetClipboardData(format, data);
}

TEST(ClipboardText, AHandOverThatFailsLeavesWhatTheClipboardHeld)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const UINT other = RegisterClipboardFormatA("glinspect test bytes");
    const std::string otherBytes("\x01\x00\x02 other", 9);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, GlobalBytes(std::string("old text", 9)));
    SetClipboardData(other, GlobalBytes(otherBytes));
    CloseClipboard();

    refusals = 1;
    EXPECT_FALSE(SetClipboardText(owner, "new text", 8, RefusingSetClipboardData));
    EXPECT_STREQ(ClipboardBytes(CF_TEXT).c_str(), "old text");
    EXPECT_EQ(ClipboardBytes(other), otherBytes);

    // Handed over: the text alone, the old formats gone.
    refusals = 0;
    EXPECT_TRUE(SetClipboardText(owner, "new text", 8, RefusingSetClipboardData));
    EXPECT_STREQ(ClipboardBytes(CF_TEXT).c_str(), "new text");
    EXPECT_EQ(ClipboardBytes(other), "(none)");
    DestroyWindow(owner);
}

TEST(SaveDialogType, OnlyTheDialogsOf95And98AndNt4KeepTheirDefaultExtension)
{
    // What GetVersion() answers on each.
    EXPECT_TRUE(SaveDialogKeepsDefaultExtension(0xC0000004));   // 95
    EXPECT_TRUE(SaveDialogKeepsDefaultExtension(0xC0000A04));   // 98
    EXPECT_TRUE(SaveDialogKeepsDefaultExtension(0xC0005A04));   // Me
    EXPECT_TRUE(SaveDialogKeepsDefaultExtension(0x05650004));   // NT 4.0
    EXPECT_FALSE(SaveDialogKeepsDefaultExtension(0x08930005));  // 2000
    EXPECT_FALSE(SaveDialogKeepsDefaultExtension(0x0A280105));  // XP
    EXPECT_FALSE(SaveDialogKeepsDefaultExtension(0x23F00206));  // 8 and later, unmanifested
}

// The default extensions the hook's dialog was given, in order.
std::vector<std::string> defaultExtensions;
LRESULT CALLBACK SaveDialogStandIn(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == CDM_SETDEFEXT)
        defaultExtensions.push_back(reinterpret_cast<const char*>(lparam));
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST(SaveDialogType, AChangeOfTypeMakesItsExtensionTheDefault)
{
    WNDCLASSA standIn = {};
    standIn.lpfnWndProc = SaveDialogStandIn;
    standIn.lpszClassName = "glinspect save dialog stand-in";
    RegisterClassA(&standIn);
    HWND dialog = CreateWindowExA(0, standIn.lpszClassName, "Save report", WS_OVERLAPPED, 0, 0, 100, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    // The hook's own window, a child of the dialog as in the Explorer style.
    HWND hook = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, dialog, nullptr, nullptr, nullptr);
    ASSERT_NE(hook, nullptr);

    OPENFILENAMEA request = {};
    OFNOTIFYA notify = {};
    notify.hdr.hwndFrom = dialog;
    notify.lpOFN = &request;
    defaultExtensions.clear();
    for (DWORD filter : {2u, 1u}) {
        request.nFilterIndex = filter;
        notify.hdr.code = CDN_TYPECHANGE;
        EXPECT_EQ(SaveTypeHook(hook, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify)), 0u);
        notify.hdr.code = CDN_SELCHANGE;
        SaveTypeHook(hook, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    }
    EXPECT_EQ(defaultExtensions, (std::vector<std::string>{"json", "txt"}));
    DestroyWindow(dialog);
}

// A folder of its own under the temporary folder, for files written by the
// program's code; emptied and removed at the end.
class SaveFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "glinspect-save-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    }
    void TearDown() override
    {
        for (const std::string& name : Names())
            DeleteFileA(Path(name.c_str()).c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::string Path(const char* name) const { return folder_ + "\\" + name; }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(Path("*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

    std::string Read(const char* name) const
    {
        std::string bytes;
        HANDLE file = CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "(none)";
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            bytes.append(buffer, got);
        CloseHandle(file);
        return bytes;
    }

    void Write(const char* name, const std::string& bytes)
    {
        ASSERT_EQ(WriteWholeFile(Path(name).c_str(), bytes.data(), bytes.size()), 0u) << name;
    }

    std::string folder_;
};

// WriteFile for a disk that fills after the first chunk.
BOOL WINAPI WriteThenDiskFull(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED)
{
    static int calls = 0;
    if (++calls % 2 == 0) {
        *written = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return WriteFile(file, bytes, count / 2, written, nullptr);
}

TEST_F(SaveFolder, AWholeFileReplacesTheOldOneOrLeavesItAsItWas)
{
    Write("report.txt", "old");
    EXPECT_EQ(Read("report.txt"), "old");
    Write("report.txt", std::string(70000, 'x'));  // more than one chunk
    EXPECT_EQ(Read("report.txt"), std::string(70000, 'x'));
    Write("report.txt", "");
    EXPECT_EQ(Read("report.txt"), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"}) << "no temporary file left";

    Write("report.txt", "old");
    const std::string path = Path("report.txt");
    EXPECT_EQ(WriteWholeFile(path.c_str(), "new and longer", 14, WriteThenDiskFull),
              static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(Read("report.txt"), "old");
    EXPECT_EQ(WriteWholeFile(Path("new.txt").c_str(), "new and longer", 14, WriteThenDiskFull),
              static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"}) << "no partial or temporary file";

    // A folder that is a file: nothing can be made there.
    const std::string under = path + "\\report.txt";
    EXPECT_NE(WriteWholeFile(under.c_str(), "x", 1), 0u);
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});

    // Neither a read-only file nor a folder of that name is replaced.
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteWholeFile(path.c_str(), "x", 1), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Read("report.txt"), "old");
    EXPECT_EQ(WriteWholeFile(folder_.c_str(), "x", 1), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});
}

// The main dialog made from the exe's template by the program's own
// procedure, in this process, so that the report is made from its controls.
class ReportFromTheDialog : public SaveFolder {
protected:
    void SetUp() override
    {
        SaveFolder::SetUp();
        std::string exe = std::string("Z:") + GLINSPECT_EXE;
        for (char& c : exe)
            if (c == '/')
                c = '\\';
        module_ = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << exe;
        appInstance = reinterpret_cast<HINSTANCE>(module_);
        dialog_ = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr,
                                     MainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override
    {
        if (dialog_ != nullptr)
            DestroyWindow(dialog_);
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // posted by the dialog's end
        if (module_ != nullptr)
            FreeLibrary(module_);
        SaveFolder::TearDown();
    }

    // A list whose lines say they are 2 GB long: reading the report from it
    // runs out of memory.
    static LRESULT CALLBACK HugeLinesProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam)
    {
        if (message == LB_GETTEXTLEN)
            return 0x7FFFFFF0;
        return CallWindowProcA(listProc_, list, message, wparam, lparam);
    }
    void MakeTheReportRunOutOfMemory()
    {
        listProc_ = reinterpret_cast<WNDPROC>(SetWindowLongA(
            dialogControls.glExtensionList, GWL_WNDPROC, reinterpret_cast<LONG>(HugeLinesProc)));
    }

    HMODULE module_ = nullptr;
    HWND dialog_ = nullptr;
    static WNDPROC listProc_;
};
WNDPROC ReportFromTheDialog::listProc_ = nullptr;

TEST_F(ReportFromTheDialog, AReportThatRunsOutOfMemoryLeavesClipboardAndFilesAsTheyWere)
{
    // Made whole first, so that only the memory makes the difference.
    ASSERT_TRUE(SaveReportTo(dialog_, Path("report.txt").c_str()));
    EXPECT_NE(Read("report.txt").find("\r\nOpenGL drivers ("), std::string::npos);
    Write("report.txt", "old");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    const DWORD clipboardChanges = GetClipboardSequenceNumber();

    MakeTheReportRunOutOfMemory();
    EXPECT_FALSE(CopyReportToClipboard(dialog_));
    EXPECT_FALSE(SaveReportTo(dialog_, Path("report.txt").c_str()));
    EXPECT_FALSE(SaveReportTo(dialog_, Path("new.json").c_str()));
    EXPECT_EQ(GetClipboardSequenceNumber(), clipboardChanges);
    EXPECT_EQ(Read("report.txt"), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});
}

}  // namespace
