// The whole report as text and as JSON.
#include <gtest/gtest.h>

#include <string>

#include "report/report_document.h"

namespace {

const char* const kGl[] = {"", "GL_ARB_a", "GL_EXT_b"};
const char* const kLines[] = {"Software (MICROSOFT): OpenGL32.dll", "~Vendor: v.dll"};
const char* const kNames[] = {"Software (MICROSOFT)", "~Vendor"};
const char* const kDlls[] = {"OpenGL32.dll", "v.dll"};

ReportData SmallReport()
{
    ReportData report = {};
    report.summary = "Vendor: V\nRenderer: R \"x\"\nVersion: 1.1";
    report.vendor = "V";
    report.renderer = "R \"x\"";
    report.version = nullptr;
    report.pixelFormat = 7;
    report.samples = 0;
    report.glExtensions = {kGl, 3};
    report.wglExtensions = {nullptr, 0};
    report.driverKey = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers";
    report.driverLines = {kLines, 2};
    report.driverValueNames = {kNames, 2};
    report.driverDllNames = {kDlls, 2};
    report.selectedDriver = 0;
    return report;
}

TEST(ReportText, ListsEverythingInOrderWithCrLfLineEnds)
{
    TextBuffer out;
    WriteReportText(SmallReport(), out);
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(std::string(out.Text()),
              "Vendor: V\r\n"
              "Renderer: R \"x\"\r\n"
              "Version: 1.1\r\n"
              "Pixel format: 7, samples: none\r\n"
              "OpenGL extensions (3):\r\n"
              "  \r\n"
              "  GL_ARB_a\r\n"
              "  GL_EXT_b\r\n"
              "WGL extensions (0):\r\n"
              "OpenGL drivers (HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers):\r\n"
              "* Software (MICROSOFT): OpenGL32.dll\r\n"
              "  ~Vendor: v.dll\r\n");
}

TEST(ReportText, MarksTheSelectedDriverAndGivesTheSampleCount)
{
    ReportData report = SmallReport();
    report.samples = 4;
    report.selectedDriver = 1;
    TextBuffer out;
    WriteReportText(report, out);
    const std::string text = out.Text();
    EXPECT_NE(text.find("Pixel format: 7, samples: 4\r\n"), std::string::npos);
    EXPECT_NE(text.find("  Software (MICROSOFT): OpenGL32.dll\r\n* ~Vendor: v.dll\r\n"), std::string::npos);
}

TEST(ReportJson, HoldsTheSameFacts)
{
    TextBuffer out;
    WriteReportJson(SmallReport(), out);
    EXPECT_EQ(std::string(out.Text()),
              "{\"vendor\":\"V\",\"renderer\":\"R \\\"x\\\"\",\"version\":\"\","
              "\"pixelFormat\":{\"index\":7,\"samples\":null},"
              "\"glExtensions\":[\"\",\"GL_ARB_a\",\"GL_EXT_b\"],\"wglExtensions\":[],"
              "\"drivers\":{\"key\":\"HKEY_LOCAL_MACHINE\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\OpenGLdrivers\","
              "\"entries\":[{\"line\":\"Software (MICROSOFT): OpenGL32.dll\",\"valueName\":\"Software (MICROSOFT)\","
              "\"dllName\":\"OpenGL32.dll\",\"selected\":true},"
              "{\"line\":\"~Vendor: v.dll\",\"valueName\":\"~Vendor\",\"dllName\":\"v.dll\",\"selected\":false}]}}\n");
}

TEST(ReportJson, EscapesWhatJsonCannotHoldAsItIs)
{
    TextBuffer out;
    AppendJsonString(out, "a\"b\\c\nd\re\tf\x01g\x7f\xe9");
    EXPECT_STREQ(out.Text(), "\"a\\\"b\\\\c\\nd\\re\\tf\\u0001g\\u007f\\u00e9\"");
}

TEST(TextBuffer, GrowsPastItsFirstBlockAndWritesNumbers)
{
    TextBuffer out;
    const std::string chunk(300, 'x');
    for (int i = 0; i < 20; ++i)
        out.Append(chunk.c_str());
    out.AppendNumber(-2147483647L - 1);
    out.AppendNumber(0);
    EXPECT_EQ(out.Length(), 6000u + 11u + 1u);
    EXPECT_EQ(std::string(out.Text()).substr(6000), "-21474836480");
    EXPECT_TRUE(out.Ok());
}

}  // namespace
