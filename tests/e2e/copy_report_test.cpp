// The whole report: copied from the dialog's context menu, and printed by the
// console companion, each checked against what the dialog shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app_driver.h"

namespace {

std::vector<std::string> SplitLines(const std::string& text, const std::string& end)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t found; (found = text.find(end, start)) != std::string::npos; start = found + end.size())
        lines.push_back(text.substr(start, found - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// The menu the running program shows, when it is up.
HWND FindPopupMenu(DWORD processId)
{
    return FindProcessWindow(processId, nullptr, "#32768");
}

// The registrations key the program reads, as the report names it.
std::string ExpectedDriverKey()
{
    return Is9xVersion(MatrixWindowsVersion())
               ? "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers"
               : "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\OpenGLdrivers";
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// How long a wait for a state of the running program may last; each ends as
// soon as the state is there.
const DWORD kStateTimeout = 30000;

class ReportOfTheRunningDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app_.Start()) << "the dialog did not come up";
        // Something else on the clipboard, so a copy that did nothing shows.
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
    void TearDown() override { app_.Kill(); }

    // The program's menu once it is up; null when none came.
    HWND WaitForMenu()
    {
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = FindPopupMenu(app_.ProcessId())) != nullptr; }, kStateTimeout);
        return menu;
    }

    bool WaitForNoMenu()
    {
        return WaitUntil([&] { return FindPopupMenu(app_.ProcessId()) == nullptr; }, kStateTimeout);
    }

    // A right click in the middle of control, as the mouse delivers it, and
    // the menu's one item chosen from the keyboard.
    bool CopyByRightClickOn(HWND control)
    {
        RECT client;
        GetClientRect(control, &client);
        const LPARAM point = MAKELPARAM(client.right / 2, client.bottom / 2);
        PostMessageA(control, WM_RBUTTONDOWN, MK_RBUTTON, point);
        PostMessageA(control, WM_RBUTTONUP, 0, point);
        HWND menu = WaitForMenu();
        if (menu == nullptr)
            return false;
        const DWORD changes = GetClipboardSequenceNumber();
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        // The clipboard is not opened until the program has put the report on
        // it and closed it again: an open clipboard would make its copy fail.
        return WaitUntil([&] {
            return GetClipboardSequenceNumber() != changes && GetOpenClipboardWindow() == nullptr;
        }, kStateTimeout);
    }

    // Posts the context menu message for a screen point of the dialog and
    // returns the height of the menu that comes, closed again by Escape.
    int MenuHeightForContextMenuAt(POINT screen)
    {
        PostMessageA(app_.Dialog(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app_.Dialog()),
                     MAKELPARAM(screen.x, screen.y));
        HWND menu = WaitForMenu();
        if (menu == nullptr)
            return 0;
        RECT frame;
        GetWindowRect(menu, &frame);
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitForNoMenu());
        return frame.bottom - frame.top;
    }

    // The report as the dialog's own controls show it.
    std::vector<std::string> ShownLines()
    {
        std::vector<std::string> lines = SplitLines(WindowText(app_.Control(1004)), "\n");
        lines.push_back("");  // the pixel format line, which no control shows
        const std::vector<std::string> gl = ListLines(app_.Control(1003));
        lines.push_back("OpenGL extensions (" + std::to_string(gl.size()) + "):");
        for (const std::string& line : gl)
            lines.push_back("  " + line);
        const std::vector<std::string> wgl = ListLines(app_.Control(1006));
        lines.push_back("WGL extensions (" + std::to_string(wgl.size()) + "):");
        for (const std::string& line : wgl)
            lines.push_back("  " + line);
        lines.push_back("OpenGL drivers (" + ExpectedDriverKey() + "):");
        const std::vector<std::string> drivers = ListLines(app_.Control(1005));
        const int selected = ListSelection(app_.Control(1005));
        for (size_t i = 0; i < drivers.size(); ++i)
            lines.push_back((static_cast<int>(i) == selected ? "* " : "  ") + drivers[i]);
        return lines;
    }

    void ExpectCopyIsWhatTheDialogShows()
    {
        const std::string copied = ClipboardText();
        ASSERT_TRUE(EndsWith(copied, "\r\n")) << "CRLF line ends";
        std::vector<std::string> lines = SplitLines(copied, "\r\n");
        std::vector<std::string> shown = ShownLines();
        ASSERT_EQ(lines.size(), shown.size());
        // Mesa offers a 4-sample format, which the view gets.
        EXPECT_EQ(lines[3].compare(0, 14, "Pixel format: "), 0) << lines[3];
        EXPECT_TRUE(EndsWith(lines[3], ", samples: 4")) << lines[3];
        EXPECT_GT(std::atoi(lines[3].c_str() + 14), 0) << lines[3];
        shown[3] = lines[3];
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i], shown[i]) << "line " << i;
    }

    AppDriver app_;
};

TEST_F(ReportOfTheRunningDialog, RightClickOnTheSummaryCopiesWhatTheDialogShows)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(1004)));
    ExpectCopyIsWhatTheDialogShows();
}

TEST_F(ReportOfTheRunningDialog, TheMenuComesFromTheListsAndTheBackgroundToo)
{
    for (HWND control : {app_.Control(1003), app_.Control(1006), app_.Control(1005), app_.Dialog()}) {
        SCOPED_TRACE(WindowClass(control));
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        ASSERT_TRUE(CopyByRightClickOn(control));
        EXPECT_EQ(ClipboardText().compare(0, 8, "Vendor: "), 0);
    }
}

TEST_F(ReportOfTheRunningDialog, TheCaptionKeepsItsSystemMenu)
{
    RECT frame;
    GetWindowRect(app_.Dialog(), &frame);
    POINT client = {0, 0};
    ClientToScreen(app_.Dialog(), &client);
    const POINT inClient = {client.x + 20, client.y + 20};
    const POINT onCaption = {(frame.left + frame.right) / 2, (frame.top + client.y) / 2};

    const int reportMenu = MenuHeightForContextMenuAt(inClient);
    ASSERT_GT(reportMenu, 0) << "the report menu in the client area";
    const int captionMenu = MenuHeightForContextMenuAt(onCaption);
    ASSERT_GT(captionMenu, 0) << "the system menu on the caption";
    EXPECT_GT(captionMenu, 2 * reportMenu) << "the system menu's items, not the report menu's one";
}

TEST_F(ReportOfTheRunningDialog, TheCompanionPrintsTheSameTextAndAgreeingJson)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(1004)));
    std::string text, json, err;
    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\"", &text, &err), 0u) << err;
    EXPECT_EQ(text, ClipboardText());

    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\" --json", &json, &err), 0u) << err;
    ASSERT_FALSE(json.empty());
    EXPECT_EQ(json.front(), '{');
    // Every extension line of the dialog stands in the JSON as a string, in order.
    size_t at = json.find("\"glExtensions\":[");
    ASSERT_NE(at, std::string::npos);
    for (const std::string& line : ListLines(app_.Control(1003))) {
        const size_t next = json.find("\"" + line + "\"", at);
        ASSERT_NE(next, std::string::npos) << line;
        at = next + line.size() + 2;
    }
    EXPECT_NE(json.find(",\"samples\":4},"), std::string::npos);
}

TEST(NoGlx, TheCompanionSaysSoOnStandardErrorAndExitsWithOne)
{
    std::string out, err;
    EXPECT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\"", &out, &err), 1u);
    EXPECT_EQ(err, "OpenGL Error : Initialization Failed\r\n");
    EXPECT_TRUE(out.empty());
}

}  // namespace
