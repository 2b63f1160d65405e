// The extension lists, filled into real sorted list boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/renderer_report.h"

namespace {

class SortedListBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        list_ = CreateWindowExA(0, "LISTBOX", "", LBS_SORT | LBS_NOTIFY, 0, 0, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(list_, nullptr);
    }
    void TearDown() override { DestroyWindow(list_); }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::string line(static_cast<size_t>(SendMessageA(list_, LB_GETTEXTLEN, i, 0)), '\0');
            SendMessageA(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
            lines.push_back(line);
        }
        return lines;
    }

    HWND list_ = nullptr;
};

TEST_F(SortedListBox, ShowsEachNameOnceInSortedOrder)
{
    FillExtensionList(list_, "GL_EXT_b GL_ARB_c GL_ARB_a ");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"GL_ARB_a", "GL_ARB_c", "GL_EXT_b"}));
}

TEST_F(SortedListBox, KeepsEmptyTokensAndTabsAsTheyStand)
{
    FillExtensionList(list_, " a  b\tc");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"", "", "a", "b\tc"}));
}

TEST_F(SortedListBox, NullOrEmptyTextAddsNothing)
{
    FillExtensionList(list_, nullptr);
    FillExtensionList(list_, "");
    EXPECT_TRUE(Lines().empty());
}

}  // namespace
