// The three-line renderer summary.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "report/summary_text.h"

namespace {

TEST(RendererSummary, PutsVendorRendererAndVersionOnThreeLines)
{
    char summary[kSummaryCapacity];
    FormatRendererSummary(summary, "Mesa/X.org", "llvmpipe", "4.5 Mesa 22.3.6");
    EXPECT_STREQ(summary, "Vendor: Mesa/X.org\nRenderer: llvmpipe\nVersion: 4.5 Mesa 22.3.6");
}

TEST(RendererSummary, ShowsAMissingStringAsEmptyText)
{
    char summary[kSummaryCapacity];
    FormatRendererSummary(summary, nullptr, "r", nullptr);
    EXPECT_STREQ(summary, "Vendor: \nRenderer: r\nVersion: ");
}

TEST(RendererSummary, StopsAtTheBufferAndStaysTerminated)
{
    char summary[kSummaryCapacity + 16];
    std::memset(summary, 'Z', sizeof(summary));
    const std::string vendor(2000, 'v');
    FormatRendererSummary(*reinterpret_cast<char(*)[kSummaryCapacity]>(summary), vendor.c_str(),
                          "r", "v");
    EXPECT_EQ(std::strlen(summary), kSummaryCapacity - 1);
    EXPECT_EQ(std::string(summary, 8), "Vendor: ");
    EXPECT_EQ(summary[kSummaryCapacity], 'Z') << "written past the buffer";
}

}  // namespace
