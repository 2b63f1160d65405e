// The whole report: copied or saved from the dialog's context menu or its
// system menu, and printed by the console companion, each checked against
// what the dialog shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/report_menu.h"
#include "app/resources/resource_ids.h"
#include "app_driver.h"
#include "platform/fetch_function.h"

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

// The system's text for error, its line end dropped.
std::string SystemText(DWORD error)
{
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                   sizeof text, nullptr);
    std::string trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == '\r'))
        trimmed.pop_back();
    return trimmed;
}

BOOL CALLBACK AppendChildText(HWND child, LPARAM texts)
{
    *reinterpret_cast<std::string*>(texts) += WindowText(child) + "\n";
    return TRUE;
}

// The texts of a window's controls, a message box's message among them.
std::string AllTexts(HWND window)
{
    std::string texts;
    EnumChildWindows(window, AppendChildText, reinterpret_cast<LPARAM>(&texts));
    return texts;
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

// Each report draws the test picture anew, where it stands: the dialog in its
// view, the companion off screen, and each times its own frames. These drop
// what such a drawing measures (the render check's and draw rate's lines and
// the advice on the test picture), so that two reports compare on the rest.
bool MeasuresTheDrawing(const std::string& line)
{
    return line.compare(0, 14, "Render check: ") == 0 || line.compare(0, 11, "Draw rate: ") == 0 ||
           (line.compare(0, 8, "Advice: ") == 0 && line.find("test picture") != std::string::npos);
}

std::string WithoutMeasurements(const std::string& report)
{
    std::string kept;
    for (const std::string& line : SplitLines(report, "\r\n")) {
        if (!MeasuresTheDrawing(line))
            kept += line + "\r\n";
    }
    return kept;
}

std::string JsonWithoutMeasurements(std::string json)
{
    const size_t from = json.find(",\"renderCheck\":");
    const size_t to = json.find(",\"shadingLanguage\":");
    if (from != std::string::npos && to != std::string::npos && from < to)
        json.erase(from, to - from);
    const size_t advice = json.find("\"advice\":[");
    if (advice == std::string::npos)
        return json;
    const size_t end = json.find(']', advice);
    for (size_t at = json.find("test picture", advice); at != std::string::npos && at < end;
         at = json.find("test picture", advice)) {
        size_t first = json.rfind('"', at);
        size_t last = json.find('"', at) + 1;
        if (json[last] == ',')
            ++last;
        else if (json[first - 1] == ',')
            --first;
        json.erase(first, last - first);
    }
    return json;
}

// How long a wait for a state of the running program may last; each ends as
// soon as the state is there.
const DWORD kStateTimeout = 30000;

class ReportOfTheRunningDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app_.Start()) << "the dialog did not come up";
        EmptyTheClipboard();
    }

    // Something else on the clipboard, so a copy that did nothing shows.
    static void EmptyTheClipboard()
    {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }

    // Alt+Space as the dialog gets it, and the system menu's last item but
    // one (Save report… is last) chosen from the keyboard.
    bool CopyBySystemMenu()
    {
        PostMessageA(app_.Dialog(), WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
        HWND menu = WaitForMenu();
        if (menu == nullptr)
            return false;
        const DWORD changes = GetClipboardSequenceNumber();
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        return WaitForCopy(changes);
    }

    void TearDown() override
    {
        app_.Kill();
        for (const std::string& path : madePaths_)
            DeleteFileA(path.c_str());
    }

    // A path in the temporary folder that no file has yet, removed after the test.
    std::string FreshPath(const char* name)
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        std::string path = std::string(folder) + "glinspect-save-" +
                           std::to_string(GetCurrentProcessId()) + "-" + name;
        DeleteFileA(path.c_str());
        madePaths_.push_back(path);
        return path;
    }

    // Once the program has handled everything posted to it so far.
    bool WaitUntilIdle()
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(app_.Dialog(), WM_NULL, 0, 0, SMTO_NORMAL, kStateTimeout, &result) != 0;
    }

    // "Save report…" by the system menu's command, path typed into the Save
    // dialog; true once the Save dialog is gone and the program idle again.
    bool SaveBySystemCommand(const std::string& path)
    {
        PostMessageA(app_.Dialog(), WM_SYSCOMMAND, kSaveReportCommand, 0);
        if (!AnswerSaveDialog(app_.ProcessId(), path, kStateTimeout))
            return false;
        return WaitUntil([&] { return WaitForSaveDialog(app_.ProcessId(), 0) == nullptr; }, kStateTimeout) &&
               WaitUntilIdle();
    }

    // The clipboard is not opened until the program has put the report on it
    // and closed it again: an open clipboard would make its copy fail.
    static bool WaitForCopy(DWORD changesBefore)
    {
        return WaitUntil([&] {
            return GetClipboardSequenceNumber() != changesBefore && GetOpenClipboardWindow() == nullptr;
        }, kStateTimeout);
    }

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
    // the menu's first item chosen from the keyboard.
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
        return WaitForCopy(changes);
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
        std::vector<std::string> lines = SplitLines(WindowText(app_.Control(IDC_INFO_TEXT)), "\n");
        lines.push_back("");  // the pixel format line, which no control shows
        const std::vector<std::string> gl = ListLines(app_.Control(IDC_GL_EXTENSIONS));
        lines.push_back("OpenGL extensions (" + std::to_string(gl.size()) + "):");
        for (const std::string& line : gl)
            lines.push_back("  " + line);
        const std::vector<std::string> wgl = ListLines(app_.Control(IDC_WGL_EXTENSIONS));
        lines.push_back("WGL extensions (" + std::to_string(wgl.size()) + "):");
        for (const std::string& line : wgl)
            lines.push_back("  " + line);
        lines.push_back("OpenGL drivers (" + ExpectedDriverKey() + "):");
        const std::vector<std::string> drivers = ListLines(app_.Control(IDC_DRIVER_LIST));
        const int selected = ListSelection(app_.Control(IDC_DRIVER_LIST));
        for (size_t i = 0; i < drivers.size(); ++i)
            lines.push_back((static_cast<int>(i) == selected ? "* " : "  ") + drivers[i]);
        return lines;
    }

    // Moves the lines no control shows out of lines into facts: where it ran
    // and the seven after the pixel format with the advice (and the render
    // check and the draw rate), the limits, and the registrations of other shapes.
    static void SeparateDeeperFacts(std::vector<std::string>& lines, std::vector<std::string>& facts)
    {
        std::vector<std::string> kept;
        bool inSection = false;
        for (const std::string& line : lines) {
            const bool heading = line.compare(0, 8, "Limits (") == 0 ||
                                 line == "Registered as subkeys:" || line == "Display adapters:";
            const bool fact = line.compare(0, 8, "System: ") == 0 ||
                              line.compare(0, 16, "Remote session: ") == 0 ||
                              line.compare(0, 9, "Display: ") == 0 ||
                              line.compare(0, 8, "Advice: ") == 0 ||
                              line.compare(0, 14, "Acceleration: ") == 0 ||
                              line.compare(0, 14, "Render check: ") == 0 ||
                              line.compare(0, 11, "Draw rate: ") == 0 ||
                              line.compare(0, 18, "Shading language: ") == 0 ||
                              line.compare(0, 14, "Core profile: ") == 0 ||
                              line.compare(0, 19, "OpenGL ES profile: ") == 0 ||
                              line.compare(0, 14, "Video memory: ") == 0 ||
                              line.compare(0, 12, "Driver DLL: ") == 0 ||
                              line.compare(0, 19, "Extension strings: ") == 0;
            if (heading)
                inSection = true;
            else if (line.compare(0, 2, "  ") != 0)
                inSection = false;
            (heading || fact || inSection ? facts : kept).push_back(line);
        }
        lines = kept;
    }

    void ExpectCopyIsWhatTheDialogShows()
    {
        const std::string copied = ClipboardText();
        ASSERT_TRUE(EndsWith(copied, "\r\n")) << "CRLF line ends";
        std::vector<std::string> lines = SplitLines(copied, "\r\n");
        std::vector<std::string> facts;
        SeparateDeeperFacts(lines, facts);
        ExpectMesaFacts(lines[1].substr(10), facts);
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

    // What Mesa's llvmpipe under Wine gives, in the report's order, after the
    // System and Display lines and with the advice for Wine.
    static void ExpectMesaFacts(const std::string& renderer, std::vector<std::string> facts)
    {
        ASSERT_GE(facts.size(), 10u);
        EXPECT_EQ(facts[0].compare(0, 8, "System: "), 0) << facts[0];
        EXPECT_EQ(facts[1].compare(0, 9, "Display: "), 0) << facts[1];
        EXPECT_EQ(facts[3], "Advice: under Wine, OpenGL is the host's: install or enable the host's GPU "
                            "driver to leave " + renderer);
        facts.erase(facts.begin() + 3);
        facts.erase(facts.begin(), facts.begin() + 2);
        // The advice on the test picture, the render check and the draw rate
        // follow the verdict where the report has them.
        while (facts.size() > 1 && MeasuresTheDrawing(facts[1]))
            facts.erase(facts.begin() + 1);
        EXPECT_EQ(facts[0], "Acceleration: none: " + renderer +
                                " renders in software through an installable driver");
        EXPECT_EQ(facts[1].compare(0, 18, "Shading language: "), 0) << facts[1];
        EXPECT_NE(facts[1], "Shading language: none");
        EXPECT_NE(facts[2].find(" (Core Profile) Mesa "), std::string::npos) << facts[2];
        // Wine 8 offers no OpenGL ES context; Wine tells the video memory.
        EXPECT_EQ(facts[3].compare(0, 19, "OpenGL ES profile: "), 0) << facts[3];
        EXPECT_EQ(facts[4].compare(0, 14, "Video memory: "), 0) << facts[4];
        EXPECT_TRUE(EndsWith(facts[4], " MB (WGL_WINE_query_renderer)")) << facts[4];
        facts.erase(facts.begin() + 3, facts.begin() + 5);
        EXPECT_EQ(facts[3], "Driver DLL: none loaded (OpenGL32.dll renders itself)");
        EXPECT_NE(facts[4].find("; longer than the 4096-byte buffers"), std::string::npos) << facts[4];
        EXPECT_EQ(facts[5], "Limits (" + std::to_string(facts.size() - 6) + "):");
        EXPECT_EQ(facts[6].compare(0, 22, "  GL_MAX_TEXTURE_SIZE "), 0) << facts[6];
    }

    AppDriver app_;
    std::vector<std::string> madePaths_;
};

TEST_F(ReportOfTheRunningDialog, RightClickOnTheSummaryCopiesWhatTheDialogShows)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(IDC_INFO_TEXT)));
    ExpectCopyIsWhatTheDialogShows();
}

// The line of the copied report that starts with prefix; empty when none does.
std::string LineStarting(const std::string& report, const std::string& prefix)
{
    for (const std::string& line : SplitLines(report, "\r\n")) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line;
    }
    return "";
}

// The name the report gives each Windows the version matrix has Wine report.
std::string MatrixWindowsName(const std::string& version)
{
    static const char* const kNames[][2] = {
        {"win95", "Windows 95"}, {"win98", "Windows 98 Second Edition"}, {"winme", "Windows Me"},
        {"nt40", "Windows NT 4.0"}, {"winxp", "Windows XP"}, {"win7", "Windows 7"}, {"win10", "Windows 10"},
    };
    for (const auto& name : kNames) {
        if (version == name[0])
            return name[1];
    }
    return "";
}

TEST_F(ReportOfTheRunningDialog, SaysOnWhichWindowsWineAndDisplayItRan)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(IDC_INFO_TEXT)));
    const std::string report = ClipboardText();

    // Wine as this test reads it from ntdll itself.
    typedef const char*(CDECL * WineVersion)();
    typedef void(CDECL * WineHost)(const char**, const char**);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const WineVersion wineVersion = FetchFunction<WineVersion>(ntdll, "wine_get_version");
    const WineHost wineHost = FetchFunction<WineHost>(ntdll, "wine_get_host_version");
    ASSERT_NE(wineVersion, nullptr) << "runs under Wine";
    const char* hostSystem = nullptr;
    const char* hostRelease = nullptr;
    if (wineHost != nullptr)
        wineHost(&hostSystem, &hostRelease);
    std::string wine = std::string(" under Wine ") + wineVersion();
    if (hostSystem != nullptr)
        wine += std::string(" on ") + hostSystem + (hostRelease != nullptr ? std::string(" ") + hostRelease : "");

    const std::string system = LineStarting(report, "System: ");
    const std::string matrix = MatrixWindowsVersion();
    if (!matrix.empty()) {
        // Only the programs under test are told the matrix's version.
        const std::string named = "System: " + MatrixWindowsName(matrix) + " (";
        EXPECT_EQ(system.compare(0, named.size(), named), 0) << system;
    } else {
        // NOTE: GetVersionExA answers 6.2 on Windows 10 to a program without a manifest.
        typedef LONG(WINAPI * RtlGetVersion)(OSVERSIONINFOW*);
        const RtlGetVersion getVersion = FetchFunction<RtlGetVersion>(ntdll, "RtlGetVersion");
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof version;
        ASSERT_TRUE(getVersion != nullptr && getVersion(&version) == 0);
        const std::string numbers = " (" + std::to_string(version.dwMajorVersion) + "." +
                                    std::to_string(version.dwMinorVersion) + "." +
                                    std::to_string(version.dwBuildNumber & 0xFFFF);
        EXPECT_NE(system.find(numbers), std::string::npos) << system << " lacks" << numbers;
    }
    EXPECT_TRUE(EndsWith(system, ")" + wine)) << system << " does not end with" << wine;

    // The screen as this test reads it.
    HDC screen = GetDC(nullptr);
    std::string display = "Display: " + std::to_string(GetDeviceCaps(screen, HORZRES)) + "x" +
                          std::to_string(GetDeviceCaps(screen, VERTRES)) + ", " +
                          std::to_string(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES)) + " bits";
    const int refresh = GetDeviceCaps(screen, VREFRESH);
    if (refresh > 1)
        display += ", " + std::to_string(refresh) + " Hz";
    display += ", " + std::to_string(GetDeviceCaps(screen, LOGPIXELSX)) + " dpi";
    ReleaseDC(nullptr, screen);
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesA(nullptr, i, &device, 0); ++i) {
        if ((device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0 && device.DeviceString[0] != '\0') {
            display += std::string(", ") + device.DeviceString;
            break;
        }
    }
    EXPECT_EQ(LineStarting(report, "Display: "), display);
    EXPECT_EQ(GetSystemMetrics(0x1000), 0) << "SM_REMOTESESSION";
    EXPECT_EQ(LineStarting(report, "Remote session: "), "");
}

TEST_F(ReportOfTheRunningDialog, TheMenuComesFromTheListsAndTheBackgroundToo)
{
    for (HWND control : {app_.Control(IDC_GL_EXTENSIONS), app_.Control(IDC_WGL_EXTENSIONS),
                         app_.Control(IDC_DRIVER_LIST), app_.Dialog()}) {
        SCOPED_TRACE(WindowClass(control));
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        ASSERT_TRUE(CopyByRightClickOn(control));
        EXPECT_EQ(ClipboardText().compare(0, 8, "Vendor: "), 0);
    }
}

TEST_F(ReportOfTheRunningDialog, TheSystemMenuCopiesTheSameReport)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(IDC_INFO_TEXT)));
    const std::string fromContextMenu = ClipboardText();

    EmptyTheClipboard();
    ASSERT_TRUE(CopyBySystemMenu()) << "no Copy report last but one in the system menu";
    EXPECT_EQ(WithoutMeasurements(ClipboardText()), WithoutMeasurements(fromContextMenu));

    // The command as the system sends it, its low four bits its own.
    EmptyTheClipboard();
    const DWORD changes = GetClipboardSequenceNumber();
    PostMessageA(app_.Dialog(), WM_SYSCOMMAND, kCopyReportCommand | 3, 0);
    ASSERT_TRUE(WaitForCopy(changes));
    EXPECT_EQ(WithoutMeasurements(ClipboardText()), WithoutMeasurements(fromContextMenu));
    EXPECT_TRUE(IsWindowVisible(app_.Dialog()));
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
    EXPECT_GT(captionMenu, 2 * reportMenu) << "the system menu's items, not the report menu's two";
}

TEST_F(ReportOfTheRunningDialog, TheCompanionPrintsTheSameTextAndAgreeingJson)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(IDC_INFO_TEXT)));
    std::string text, json, err;
    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\"", &text, &err), 0u) << err;
    EXPECT_EQ(WithoutMeasurements(text), WithoutMeasurements(ClipboardText()));

    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\" --json", &json, &err), 0u) << err;
    ASSERT_FALSE(json.empty());
    EXPECT_EQ(json.front(), '{');
    // Every extension line of the dialog stands in the JSON as a string, in order.
    size_t at = json.find("\"glExtensions\":[");
    ASSERT_NE(at, std::string::npos);
    for (const std::string& line : ListLines(app_.Control(IDC_GL_EXTENSIONS))) {
        const size_t next = json.find("\"" + line + "\"", at);
        ASSERT_NE(next, std::string::npos) << line;
        at = next + line.size() + 2;
    }
    EXPECT_NE(json.find(",\"samples\":4},"), std::string::npos);
}

// The report proves the view draws: the dialog's check reads its own back
// buffer and the screen, the companion's a framebuffer object. Debian 12's
// Wine 8 never shows OpenGL in a child window, and the report says so.
TEST_F(ReportOfTheRunningDialog, TheRenderCheckSaysTheCubeIsDrawnAndWhetherTheScreenShowsIt)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(IDC_INFO_TEXT)));
    const std::string text = ClipboardText();
    typedef const char*(CDECL * WineGetVersion)();
    const auto wineVersion = FetchFunction<WineGetVersion>(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    const bool wine8 = wineVersion != nullptr && std::strncmp(wineVersion(), "8.", 2) == 0;
    const size_t check = text.find("\r\nRender check: drawn (");
    ASSERT_NE(check, std::string::npos) << text;
    const std::string line = text.substr(check + 2, text.find("\r\n", check + 2) - check - 2);
    EXPECT_NE(line.find(wine8 ? "; not shown on screen: " : "; shown on screen"), std::string::npos) << line;
    EXPECT_EQ(line.find("off screen"), std::string::npos) << line;
    EXPECT_EQ(text.find("Advice: this Wine shows no OpenGL in child windows") != std::string::npos, wine8);
    EXPECT_NE(text.find("\r\nDraw rate: "), std::string::npos);

    std::string json, err;
    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\" --json", &json, &err), 0u) << err;
    EXPECT_NE(json.find("\"renderCheck\":{\"result\":\"drawn\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"target\":\"framebufferObject\",\"screen\":null}"), std::string::npos);
}

// A driver whose extension names are longer than any real one, as a broken
// or hostile driver may give them: Mesa adds the names that
// MESA_EXTENSION_OVERRIDE asks for and it does not know to its string (ctest
// runs these tests with it set: Wine hands a child process the Unix
// environment it started with). The dialog shows them and copies them, and
// the companion prints them, whatever their length or bytes.
size_t AsciiPrefixLength(const std::string& text)
{
    size_t length = 0;
    while (length < text.size() && static_cast<unsigned char>(text[length]) < 0x80)
        ++length;
    return length;
}

class ReportOfLongExtensionNames : public ReportOfTheRunningDialog {
protected:
    void SetUp() override
    {
        const char* overrides = std::getenv("MESA_EXTENSION_OVERRIDE");
        if (overrides == nullptr)
            GTEST_SKIP() << "MESA_EXTENSION_OVERRIDE is not set";
        for (const std::string& name : SplitLines(overrides, " ")) {
            if (name.size() > 1 && name[0] == '+')
                names_.push_back(name.substr(1));
        }
        ReportOfTheRunningDialog::SetUp();
    }

    std::vector<std::string> names_;
};

TEST_F(ReportOfLongExtensionNames, AreCopiedAndPrintedWhole)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(IDC_INFO_TEXT)));
    const std::string copied = ClipboardText();
    // NOTE: the names reach this process through the code page and Mesa as
    // UTF-8, so a name with bytes above 0x7F is compared up to them.
    size_t longest = 0;
    for (const std::string& name : names_) {
        const size_t ascii = AsciiPrefixLength(name);
        const std::string line = "\r\n  " + name.substr(0, ascii) + (ascii == name.size() ? "\r\n" : "");
        const size_t at = copied.find(line);
        EXPECT_NE(at, std::string::npos) << name.substr(0, 40);
        if (at != std::string::npos && ascii < name.size()) {
            EXPECT_GE(static_cast<unsigned char>(copied[at + line.size()]), 0x80);
        }
        longest = name.size() > longest ? name.size() : longest;
    }
    EXPECT_GE(longest, 5000u);

    std::string text, json, err;
    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\"", &text, &err), 0u) << err.substr(0, 200);
    EXPECT_EQ(WithoutMeasurements(text), WithoutMeasurements(copied));
    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\" --json", &json, &err), 0u) << err.substr(0, 200);
    // A name with bytes of 0x80 and above stands there up to them, then escaped.
    for (const std::string& name : names_) {
        const size_t ascii = AsciiPrefixLength(name);
        const std::string expected =
            ascii == name.size() ? "\"" + name + "\"" : "\"" + name.substr(0, ascii) + "\\u";
        EXPECT_NE(json.find(expected), std::string::npos) << name.substr(0, 40);
    }
}

TEST_F(ReportOfTheRunningDialog, SaveReportWritesTheClipboardsBytesOrTheCompanionsJson)
{
    ASSERT_TRUE(CopyByRightClickOn(app_.Control(IDC_INFO_TEXT)));
    const std::string copied = ClipboardText();

    // The context menu's second item; the name as the Save dialog offers it
    // is replaced by a full path.
    const std::string text = FreshPath("report.txt");
    RECT client;
    GetClientRect(app_.Control(IDC_INFO_TEXT), &client);
    const LPARAM point = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageA(app_.Control(IDC_INFO_TEXT), WM_RBUTTONDOWN, MK_RBUTTON, point);
    PostMessageA(app_.Control(IDC_INFO_TEXT), WM_RBUTTONUP, 0, point);
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(AnswerSaveDialog(app_.ProcessId(), text, kStateTimeout)) << "no Save dialog";
    ASSERT_TRUE(WaitUntil([&] { return PathExists(text); }, kStateTimeout));
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(WithoutMeasurements(ReadWholeFile(text)), WithoutMeasurements(copied));

    // A name ending in .json, in any case, gets the JSON the companion prints.
    const std::string json = FreshPath("report.JSON");
    ASSERT_TRUE(SaveBySystemCommand(json));
    std::string printed, err;
    ASSERT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\" --json", &printed, &err), 0u) << err;
    EXPECT_EQ(JsonWithoutMeasurements(ReadWholeFile(json)), JsonWithoutMeasurements(printed));

    // A name typed without an extension takes the chosen type's.
    const std::string typed = FreshPath("typed.json");
    PostMessageA(app_.Dialog(), WM_SYSCOMMAND, kSaveReportCommand, 0);
    ASSERT_TRUE(AnswerSaveDialog(app_.ProcessId(), typed.substr(0, typed.size() - 5), kStateTimeout,
                                 IDOK, 2));
    ASSERT_TRUE(WaitUntil([&] { return PathExists(typed); }, kStateTimeout));
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(JsonWithoutMeasurements(ReadWholeFile(typed)), JsonWithoutMeasurements(printed));

    // Cancelled: nothing written, the dialog goes on.
    const std::string cancelled = FreshPath("cancelled.txt");
    PostMessageA(app_.Dialog(), WM_SYSCOMMAND, kSaveReportCommand, 0);
    ASSERT_TRUE(AnswerSaveDialog(app_.ProcessId(), cancelled, kStateTimeout, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return WaitForSaveDialog(app_.ProcessId(), 0) == nullptr; }, kStateTimeout));
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_FALSE(PathExists(cancelled));
    EXPECT_TRUE(IsWindowVisible(app_.Dialog()));
}

// NOTE: Wine runs as root here, where a read-only folder does not refuse a
// write; a folder that is a file does.
TEST_F(ReportOfTheRunningDialog, ASaveThatFailsShowsTheSystemsReasonAndLeavesNothing)
{
    const std::string notAFolder = ReportExePath();
    const std::string before = ReadWholeFile(notAFolder);
    ASSERT_FALSE(before.empty());
    const std::string path = notAFolder + "\\report.txt";
    PostMessageA(app_.Dialog(), WM_SYSCOMMAND, kSaveReportCommand, 0);
    ASSERT_TRUE(AnswerSaveDialog(app_.ProcessId(), path, kStateTimeout));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        box = FindProcessWindow(app_.ProcessId(), "Save report", "#32770");
        return box != nullptr && GetDlgItem(box, 0x47C) == nullptr && GetDlgItem(box, 0x480) == nullptr;
    }, kStateTimeout)) << "no message box";
    const std::string said = AllTexts(box);
    EXPECT_NE(said.find(path), std::string::npos) << said;
    // What the system says of a folder that is a file (Wine: "Directory name invalid.").
    EXPECT_TRUE(said.find(SystemText(ERROR_DIRECTORY)) != std::string::npos ||
                said.find(SystemText(ERROR_PATH_NOT_FOUND)) != std::string::npos) << said;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kStateTimeout));
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(ReadWholeFile(notAFolder), before);
    EXPECT_TRUE(IsWindowVisible(app_.Dialog()));
}

// Runs the companion with its standard output on a pipe whose reading end is
// already closed; returns its exit code and what it said on standard error.
DWORD RunIntoClosedPipe(const std::string& options, std::string* err)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    if (!CreatePipe(&reading, &writing, &inherit, 0))
        return STILL_ACTIVE;
    CloseHandle(reading);
    const DWORD code = RunWithStandardOutput("\"" + ReportExePath() + "\" " + options, writing, err);
    CloseHandle(writing);
    return code;
}

TEST(ReportCompanion, OutputThatCannotBeWrittenIsAnErrorWithStatusOne)
{
    const char kNotWritten[] = "Standard output refused the text: it was not written whole\r\n";
    for (const char* options : {"", "--json --formats", "--version", "--help"}) {
        std::string err;
        EXPECT_EQ(RunIntoClosedPipe(options, &err), 1u) << options;
        EXPECT_EQ(err, kNotWritten) << options;
    }
}

TEST(NoGlx, TheCompanionSaysSoOnStandardErrorAndExitsWithOne)
{
    std::string out, err;
    EXPECT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\"", &out, &err), 1u);
    EXPECT_EQ(err, "OpenGL Error : Initialization Failed\r\n");
    EXPECT_TRUE(out.empty());
}

}  // namespace
