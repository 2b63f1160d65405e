// The report's items in the system's own menus, and its text in the system's
// code page.
#include <gtest/gtest.h>

#include "app/report_menu.h"
#include "report/ansi_text_win32.h"
#include "report/report_document.h"

namespace {

TEST(ReportMenu, TheSystemMenuEndsWithASeparatorAndCopyReport)
{
    HWND window = CreateWindowExA(0, "STATIC", "menu", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const int before = GetMenuItemCount(GetSystemMenu(window, FALSE));
    AddReportToSystemMenu(window);
    HMENU menu = GetSystemMenu(window, FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_EQ(count, before + 2);
    EXPECT_NE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    char text[32] = {};
    GetMenuStringA(menu, count - 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "Copy report");
    EXPECT_EQ(GetMenuItemID(menu, count - 1), kCopyReportCommand);
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

}  // namespace
