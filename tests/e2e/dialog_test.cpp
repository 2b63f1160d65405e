// The dialog as a user meets it: its controls, what they show, and every way
// of closing it.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/wglext.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "app_driver.h"

namespace {

// The strings of an OpenGL context of this test's own, on a hidden window.
struct ReferenceStrings {
    std::string vendor, renderer, version, glExtensions, wglExtensions;
    bool ok = false;
};

std::string GlText(GLenum name)
{
    const char* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "";
}

ReferenceStrings ReadReferenceStrings()
{
    ReferenceStrings strings;
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 32;
    request.cDepthBits = 24;
    const int format = ChoosePixelFormat(dc, &request);
    HGLRC context = nullptr;
    if (format != 0 && SetPixelFormat(dc, format, &request))
        context = wglCreateContext(dc);
    if (context != nullptr && wglMakeCurrent(dc, context)) {
        strings.vendor = GlText(GL_VENDOR);
        strings.renderer = GlText(GL_RENDERER);
        strings.version = GlText(GL_VERSION);
        strings.glExtensions = GlText(GL_EXTENSIONS);
        auto getExtensions = reinterpret_cast<PFNWGLGETEXTENSIONSSTRINGARBPROC>(
            reinterpret_cast<void (*)()>(wglGetProcAddress("wglGetExtensionsStringARB")));
        if (getExtensions != nullptr && getExtensions(dc) != nullptr)
            strings.wglExtensions = getExtensions(dc);
        strings.ok = true;
        wglMakeCurrent(nullptr, nullptr);
    }
    if (context != nullptr)
        wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return strings;
}

// The lines an extension string gives: one per space-separated token, empty
// tokens included, no line for the text after a trailing space.
std::vector<std::string> Tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    size_t start = 0;
    for (size_t space; (space = text.find(' ', start)) != std::string::npos; start = space + 1)
        tokens.push_back(text.substr(start, space - start));
    if (start < text.size())
        tokens.push_back(text.substr(start));
    return tokens;
}

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Whether the lines stand in the order a sorted list box keeps.
bool InListBoxOrder(const std::vector<std::string>& lines)
{
    for (size_t i = 1; i < lines.size(); ++i) {
        const int order = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, lines[i - 1].c_str(),
                                         -1, lines[i].c_str(), -1);
        if (order == CSTR_GREATER_THAN)
            return false;
    }
    return true;
}

struct ChildInfo {
    int id;
    std::string className;
    std::string text;
    LONG style;
};

std::vector<ChildInfo> Children(HWND dialog)
{
    std::vector<ChildInfo> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back({GetDlgCtrlID(child), WindowClass(child), WindowText(child),
                            GetWindowLongA(child, GWL_STYLE)});
    }
    return children;
}

class RunningDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app_.Start()) << "the dialog did not come up"; }

    void ExpectEndsWithStatusZero()
    {
        EXPECT_EQ(app_.WaitForExit(15000), 0u);
    }

    AppDriver app_;
};

TEST_F(RunningDialog, HasItsCaptionAndSixControlsInTemplateOrder)
{
    EXPECT_EQ(WindowText(app_.Dialog()), "OpenGL Renderer infos");
    const std::vector<ChildInfo> children = Children(app_.Dialog());
    ASSERT_EQ(children.size(), 6u);
    const int ids[] = {IDC_VIEW, IDOK, IDC_GL_EXTENSIONS, IDC_INFO_TEXT, IDC_DRIVER_LIST,
                       IDC_WGL_EXTENSIONS};
    const char* classes[] = {"Static", "Button", "ListBox", "Static", "ListBox", "ListBox"};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(children[i].id, ids[i]) << "control " << i;
        EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, children[i].className.c_str(),
                                 -1, classes[i], -1),
                  CSTR_EQUAL)
            << children[i].className;
    }
    EXPECT_EQ(children[1].text, "OK");
    EXPECT_TRUE(children[2].style & LBS_SORT);
    EXPECT_FALSE(children[4].style & LBS_SORT) << "the driver list keeps table order";
    EXPECT_TRUE(children[5].style & LBS_SORT);
    app_.Kill();
}

TEST_F(RunningDialog, ShowsTheSummaryAndExactlyTheExtensionsOfTheContext)
{
    const ReferenceStrings reference = ReadReferenceStrings();
    ASSERT_TRUE(reference.ok) << "this test could not make an OpenGL context of its own";

    EXPECT_EQ(WindowText(app_.Control(IDC_INFO_TEXT)),
              "Vendor: " + reference.vendor + "\nRenderer: " + reference.renderer +
                  "\nVersion: " + reference.version);

    const std::vector<std::string> glLines = ListLines(app_.Control(IDC_GL_EXTENSIONS));
    EXPECT_FALSE(glLines.empty());
    EXPECT_EQ(Sorted(glLines), Sorted(Tokens(reference.glExtensions)));
    EXPECT_TRUE(InListBoxOrder(glLines));

    const std::vector<std::string> wglLines = ListLines(app_.Control(IDC_WGL_EXTENSIONS));
    EXPECT_FALSE(wglLines.empty()) << "Wine's WGL offers extensions";
    EXPECT_EQ(Sorted(wglLines), Sorted(Tokens(reference.wglExtensions)));
    EXPECT_TRUE(InListBoxOrder(wglLines));

    EXPECT_EQ(ListLines(app_.Control(IDC_DRIVER_LIST)).front(),
              "Software (MICROSOFT): OpenGL32.dll");
    app_.Kill();
}

TEST_F(RunningDialog, EnterEndsTheProgramWithStatusZero)
{
    PostMessageA(app_.Control(IDOK), WM_KEYDOWN, VK_RETURN, 0);
    ExpectEndsWithStatusZero();
}

TEST_F(RunningDialog, EscapeEndsTheProgramWithStatusZero)
{
    PostMessageA(app_.Control(IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    ExpectEndsWithStatusZero();
}

TEST_F(RunningDialog, TheOkButtonEndsTheProgramWithStatusZero)
{
    PostMessageA(app_.Control(IDOK), BM_CLICK, 0, 0);
    ExpectEndsWithStatusZero();
}

TEST_F(RunningDialog, TheCloseBoxEndsTheProgramWithStatusZero)
{
    PostMessageA(app_.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndsWithStatusZero();
}

// Run only on a display without GLX (see run-without-glx.sh).
TEST(NoGlx, ShowsTheErrorBoxAfterTheDriverListAndExitsWithZero)
{
    AppDriver app;
    ASSERT_TRUE(app.Launch());
    HWND box = app.WaitForWindow("OpenGL Error", 20000);
    ASSERT_NE(box, nullptr) << "no error box";

    bool textFound = false;
    int buttons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string text = WindowText(child);
        if (text == "OpenGL Error : Initialization Failed")
            textFound = true;
        if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, WindowClass(child).c_str(), -1,
                           "Button", -1) == CSTR_EQUAL && IsWindowVisible(child)) {
            ++buttons;
            EXPECT_EQ(text, "OK");
        }
    }
    EXPECT_TRUE(textFound);
    EXPECT_EQ(buttons, 1);

    // The dialog exists, still hidden, and its driver list is already filled.
    HWND dialog = FindWindowA(nullptr, "OpenGL Renderer infos");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog));
    const std::vector<std::string> drivers = ListLines(GetDlgItem(dialog, IDC_DRIVER_LIST));
    ASSERT_FALSE(drivers.empty());
    EXPECT_EQ(drivers.front(), "Software (MICROSOFT): OpenGL32.dll");

    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(app.WaitForExit(15000), 0u);
}

}  // namespace
