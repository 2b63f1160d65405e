// Two reports read back and compared, and the input the reader refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "compare/report_compare.h"
#include "compare/report_reader.h"

namespace {

struct Outcome {
    bool read = false;
    std::string error;
    long differences = -1;
    std::string text;
};

Outcome Compare(const std::string& before, const std::string& after, bool json = false)
{
    JsonDocument older, newer;
    TextBuffer error, out;
    Outcome outcome;
    outcome.read = ReadReportText("old.json", before.data(), before.size(), older, error) &&
                   ReadReportText("new.json", after.data(), after.size(), newer, error);
    outcome.error = error.Text();
    if (outcome.read) {
        outcome.differences = CompareReports(older, newer, json, out);
        outcome.text = out.Text();
    }
    return outcome;
}

const char kOld[] =
    R"({"schemaVersion":"1.0","vendor":"V","renderer":"R1","version":"4.5",)"
    R"("pixelFormat":{"index":7,"samples":4},"glExtensions":["GL_a","GL_b","GL_c"],"wglExtensions":["WGL_x"],)"
    R"("drivers":{"key":"K","view32Key":null,"entries":[)"
    R"({"line":"Software: OpenGL32.dll","valueName":"Software","dllName":"OpenGL32.dll","selected":false},)"
    R"({"line":"Vendor: v.dll","valueName":"Vendor","dllName":"v.dll","selected":true}]},)"
    R"("acceleration":{"level":"full","reason":"r"},)"
    R"("limits":[{"name":"GL_MAX_TEXTURE_SIZE","values":[16384]},{"name":"GL_MAX_VIEWPORT_DIMS","values":[16384,16384]},)"
    R"({"name":"GL_MAX_GONE","values":[1]}],"esProfile":null,"gone":1})";

// Members in another order, a driver switched off, one extension gone and
// one new, and members this program knows nothing of.
const char kNew[] =
    R"({"schemaVersion":"1.1","vendor":"V","renderer":"R2","version":"4.5",)"
    R"("pixelFormat":{"samples":null,"index":7},"glExtensions":["GL_c","GL_d","GL_a"],"wglExtensions":["WGL_x"],)"
    R"("drivers":{"key":"K","view32Key":null,"entries":[)"
    R"({"line":"Software: OpenGL32.dll","valueName":"Software","dllName":"OpenGL32.dll","selected":true},)"
    R"({"line":"~Vendor: v.dll","valueName":"~Vendor","dllName":"v.dll","selected":false}]},)"
    R"("acceleration":{"level":"none","reason":"r"},)"
    R"("limits":[{"name":"GL_MAX_TEXTURE_SIZE","values":[8192]},{"name":"GL_MAX_VIEWPORT_DIMS","values":[16384,16384]},)"
    R"({"name":"GL_MAX_NEW","values":[2]}],"esProfile":{"version":"3.2"},)"
    R"("entryPoints":{"checked":10,"missing":[{"of":"GL_a","command":"glA"}]}})";

TEST(ReportCompare, SaysEachDifferenceOnceInTheNewReportsOrder)
{
    const Outcome outcome = Compare(kOld, kNew);
    ASSERT_TRUE(outcome.read) << outcome.error;
    EXPECT_EQ(outcome.differences, 15);
    EXPECT_EQ(outcome.text,
              "schemaVersion: \"1.0\" -> \"1.1\"\r\n"
              "renderer: \"R1\" -> \"R2\"\r\n"
              "pixelFormat.samples: 4 -> null\r\n"
              "glExtensions: 3 -> 3 (1 removed, 1 added)\r\n"
              "  - \"GL_b\"\r\n"
              "  + \"GL_d\"\r\n"
              "drivers.entries[\"OpenGL32.dll\"].selected: false -> true\r\n"
              "drivers.entries[\"v.dll\"].line: \"Vendor: v.dll\" -> \"~Vendor: v.dll\"\r\n"
              "drivers.entries[\"v.dll\"].valueName: \"Vendor\" -> \"~Vendor\"\r\n"
              "drivers.entries[\"v.dll\"].selected: true -> false\r\n"
              "acceleration.level: \"full\" -> \"none\"\r\n"
              "limits[\"GL_MAX_TEXTURE_SIZE\"].values: [16384] -> [8192]\r\n"
              "limits[\"GL_MAX_NEW\"]: added {\"name\":\"GL_MAX_NEW\",\"values\":[2]}\r\n"
              "limits[\"GL_MAX_GONE\"]: removed {\"name\":\"GL_MAX_GONE\",\"values\":[1]}\r\n"
              "esProfile: null -> {\"version\":\"3.2\"}\r\n"
              "entryPoints: added {\"checked\":10,\"missing\":[{\"of\":\"GL_a\",\"command\":\"glA\"}]}\r\n"
              "gone: removed 1\r\n");

    const Outcome back = Compare(kNew, kOld);
    EXPECT_EQ(back.differences, 15);
    EXPECT_NE(back.text.find("entryPoints: removed {"), std::string::npos);
    EXPECT_EQ(Compare(kNew, kNew).differences, 0);
    EXPECT_EQ(Compare(kNew, kNew).text, "");
}

TEST(ReportCompare, GivesTheDifferencesAsOneJsonObject)
{
    const char before[] = R"({"schemaVersion":"1.0","glExtensions":["GL_a","GL_b"],)"
                          R"("limits":[{"name":"GL_MAX_X","values":[1]}],"extra":{"n":1}})";
    const char after[] = R"({"schemaVersion":"1.0","glExtensions":["GL_b","GL_c\u00e9"],)"
                         R"("limits":[{"name":"GL_MAX_X","values":[2]}],"more":true})";
    const Outcome outcome = Compare(before, after, true);
    ASSERT_TRUE(outcome.read) << outcome.error;
    EXPECT_EQ(outcome.differences, 4);
    EXPECT_EQ(outcome.text,
              R"({"schemaVersion":"1.0","differences":[)"
              R"({"path":["glExtensions"],"change":"items","oldCount":2,"newCount":2,"removed":["GL_a"],"added":["GL_c\u00e9"]},)"
              R"({"path":["limits",{"name":"GL_MAX_X"},"values"],"change":"changed","old":[1],"new":[2]},)"
              R"({"path":["more"],"change":"added","new":true},)"
              R"({"path":["extra"],"change":"removed","old":{"n":1}}]})"
              "\n");
    EXPECT_EQ(Compare(before, before, true).text, "{\"schemaVersion\":\"1.0\",\"differences\":[]}\n");
}

TEST(ReportCompare, TakesEqualValuesAsEqualHoweverTheyAreWritten)
{
    // Numbers by value, strings by what their escapes mean, objects in any
    // member order; items that repeat count as often as they do.
    const Outcome outcome = Compare(
        "{\"n\":[100, 0.5, -0, 1.50],\"s\":\"caf\\u00e9 \\ud83d\\ude00\",\"o\":{\"a\":1,\"b\":2},\"advice\":[\"x\",\"x\"]}",
        " {\"o\":{\"b\":2,\"a\":1}, \"n\":[1e2, 5E-1, 0, 15e-1],\"s\":\"caf\xc3\xa9 \xf0\x9f\x98\x80\",\"advice\":[\"x\"]}\n");
    ASSERT_TRUE(outcome.read) << outcome.error;
    EXPECT_EQ(outcome.text, "advice: 2 -> 1 (1 removed, 0 added)\r\n  - \"x\"\r\n");
    EXPECT_EQ(Compare("\xEF\xBB\xBF{\"vendor\":\"V\"}", R"({"vendor":"V"})").differences, 0);
    EXPECT_EQ(Compare(R"({"n":[1.25]})", R"({"n":[1.2500001]})").differences, 1);
    EXPECT_EQ(Compare(R"({"n":[-2]})", R"({"n":[-10]})").differences, 1);
}

TEST(ReportCompare, KnowsTheRenderCheckAndTheDrawRateAndTheirFractions)
{
    const char before[] = R"({"schemaVersion":"1.1","renderCheck":{"result":"drawn","reason":null,)"
                          R"("angles":[45.000,-30.250],"counts":{"red":2381},"edgesBlended":true,)"
                          R"("screen":{"result":"shown","counts":null}},)"
                          R"("drawRate":{"framesPerSecond":1234.5,"msPerFrame":0.810,"swapInterval":1,"note":null}})";
    const char after[] = R"({"schemaVersion":"1.1","renderCheck":{"result":"drawnWrong","reason":"no blue faces",)"
                         R"("angles":[45,-30.25],"counts":null,"edgesBlended":null,"screen":null},)"
                         R"("drawRate":{"framesPerSecond":null,"msPerFrame":0.81,"swapInterval":null,"note":"slow"}})";
    // The angles as the other writes them are the same.
    const Outcome outcome = Compare(before, after);
    ASSERT_TRUE(outcome.read) << outcome.error;
    EXPECT_EQ(outcome.text,
              "renderCheck.result: \"drawn\" -> \"drawnWrong\"\r\n"
              "renderCheck.reason: null -> \"no blue faces\"\r\n"
              "renderCheck.counts: {\"red\":2381} -> null\r\n"
              "renderCheck.edgesBlended: true -> null\r\n"
              "renderCheck.screen: {\"result\":\"shown\",\"counts\":null} -> null\r\n"
              "drawRate.framesPerSecond: 1234.5 -> null\r\n"
              "drawRate.swapInterval: 1 -> null\r\n"
              "drawRate.note: null -> \"slow\"\r\n");
}

TEST(ReportCompare, ComparesItemsWhoseKeysRepeatAsACollection)
{
    const Outcome outcome = Compare(
        R"({"driverDlls":[{"path":"a.dll","version":"1"},{"path":"a.dll","version":"2"}]})",
        R"({"driverDlls":[{"path":"a.dll","version":"2"}]})");
    ASSERT_TRUE(outcome.read) << outcome.error;
    EXPECT_EQ(outcome.text, "driverDlls: 2 -> 1 (1 removed, 0 added)\r\n  - {\"path\":\"a.dll\",\"version\":\"1\"}\r\n");
}

TEST(ReportCompare, CountsWhatTenThousandExtensionsLostAndGained)
{
    std::string before = R"({"glExtensions":[)", after = before;
    for (int i = 0; i < 10000; ++i) {
        const std::string name = "\"GL_x_" + std::to_string(i) + "\"";
        before += (i > 0 ? "," : "") + name;
        if (i % 100 != 0)
            after += (after.back() != '[' ? "," : "") + name;
    }
    for (int i = 0; i < 50; ++i)
        after += ",\"GL_new_" + std::to_string(i) + "\"";
    const Outcome outcome = Compare(before + "]}", after + "]}");
    ASSERT_TRUE(outcome.read) << outcome.error;
    EXPECT_EQ(outcome.differences, 1);
    EXPECT_EQ(outcome.text.rfind("glExtensions: 10000 -> 9950 (100 removed, 50 added)\r\n  - \"GL_x_0\"\r\n"
                                 "  - \"GL_x_100\"\r\n", 0), 0u);
    EXPECT_NE(outcome.text.find("  - \"GL_x_9900\"\r\n  + \"GL_new_0\"\r\n"), std::string::npos);
    EXPECT_EQ(std::count(outcome.text.begin(), outcome.text.end(), '\n'), 151);
}

struct BadInput {
    std::string text;
    std::string at;  // the text from the offset the message must name on
    const char* says;
    std::size_t offset = std::string::npos;  // where at does not tell
};

TEST(ReportReader, RefusesWhatIsNotAReportNamingTheFileAndTheByte)
{
    const std::string deep = "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
    const BadInput cases[] = {
        {"", "", "not JSON: no value"},
        {"   \r\n", "", "not JSON: no value"},
        {R"({"vendor" "V"})", R"("V"})", "not JSON: ':' expected"},
        {R"({"vendor":"V" "renderer":"R"})", R"("renderer")", "not JSON: ',' expected"},
        {R"({"vendor":"V":"renderer":"R"})", R"(:"renderer")", "not JSON: ',' expected, not ':'"},
        {R"({"vendor":"V";"renderer":"R"})", R"(;)", "not JSON: unexpected ';'"},
        {R"({"vendor":"V",})", ",}", "not JSON: unexpected ','"},
        {R"({"vendor":tru})", "tru}", "not JSON: an invalid number or literal"},
        {R"({"n":01})", "01}", "not JSON: an invalid number or literal"},
        {R"({"vendor":"V"}{})", "{}", "not JSON: more text after the value"},
        {R"({"vendor":"V"}])", "]", "not JSON: a bracket that closes nothing open: ']'"},
        {R"({"vendor":"V")", "", "truncated"},
        {R"({"vendor":"V)", "", "truncated"},
        {R"([{"vendor":"V"}])", "[", "not a report: the top level is an array, not an object"},
        {R"("report")", "\"", "not a report: the top level is a string, not an object"},
        {R"({"schemaVersion":"2.0","vendor":"V"})", "\"2.0\"", "schemaVersion \"2.0\" has a major version this program does not know (it reads 1.x)"},
        {R"({"schemaVersion":"one"})", "\"one\"", "schemaVersion \"one\" is not MAJOR.MINOR"},
        {R"({"schemaVersion":1.0})", "1.0", "schemaVersion is a number with a fraction or exponent, not a string"},
        {R"({"pixelFormat":{"index":"7"}})", "\"7\"", "pixelFormat.index is a string, not an integer"},
        {R"({"display":{"refresh":60.5}})", "60.5", "display.refresh is a number with a fraction or exponent, not an integer or null"},
        {R"({"glExtensions":["GL_a",2]})", "2]", "glExtensions[] is an integer, not a string"},
        {R"({"drawRate":{"msPerFrame":"0.81"}})", "\"0.81\"", "drawRate.msPerFrame is a string, not a number or null"},
        {R"({"system":[]})", "[]", "system is an array, not an object or null"},
        {deep, "[", "nested more than 64 levels deep", 5 + 63},
        {R"({"vendor":"a\x"})", "\\x", "not JSON: an invalid escape in a string"},
        {R"({"vendor":"a\u12G4"})", "\\u12G4", "not JSON: an invalid escape in a string"},
        {"{\"vendor\":\"a\xff\"}", "\xff", "not JSON: bytes that are not UTF-8 in a string"},
        {"{\"vendor\":\"a\xc0\xaf\"}", "\xc0", "not JSON: bytes that are not UTF-8 in a string"},
        {"{\"vendor\":\"a\xed\xa0\x80\"}", "\xed", "not JSON: bytes that are not UTF-8 in a string"},
        {"{\"vendor\":\"a\x01\"}", "\x01", "not JSON: a control character in a string"},
        {std::string("{\"vendor\":\"a\0\"}", 15), std::string("\0\"}", 3), "not JSON: byte 0x00"},
        {"{\"vendor\":\"V\"}\xef", "\xef", "not JSON: unexpected byte 0xef"},
        {R"({"vendor":"V","vendor":"W"})", R"("vendor":"W")", "a member name given twice in one object: \"vendor\""},
        {"\xEF\xBB\xBF{\"vendor\":1}", "1}", "vendor is an integer, not a string"},
        {"\xFF\xFE{\0\"\0", "\xFF", "UTF-16 text, as Windows PowerShell's > writes it"},
    };
    for (const BadInput& bad : cases) {
        const Outcome outcome = Compare(R"({"vendor":"V"})", bad.text);
        const std::size_t offset = bad.offset != std::string::npos ? bad.offset
                                   : bad.at.empty()                ? bad.text.size()
                                                                   : bad.text.find(bad.at);
        ASSERT_NE(offset, std::string::npos) << bad.says;
        EXPECT_FALSE(outcome.read) << bad.text;
        EXPECT_EQ(outcome.error.rfind("new.json: byte " + std::to_string(offset) + ": " + bad.says, 0), 0u)
            << outcome.error;
        EXPECT_EQ(outcome.text, "");
    }

    std::string large = R"({"vendor":")" + std::string(kReportMaxBytes, 'x') + "\"}";
    EXPECT_EQ(Compare(large, R"({})").error, "old.json: byte 16777216: larger than 16 MB, more than any report");
}

TEST(ReportReader, ReadsFilesAndSaysWhichCannotBeRead)
{
    JsonDocument report;
    TextBuffer error;
    EXPECT_FALSE(ReadReportFile("no-such-folder/old.json", report, error));
    EXPECT_STREQ(error.Text(), "no-such-folder/old.json: cannot be opened");

    const std::string path = ::testing::TempDir() + "report_compare_test.json";
    for (const std::size_t size : {std::size_t{2}, kReportMaxBytes + 1}) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string text = "{" + std::string(size - 2, ' ') + "}";
        ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
        std::fclose(file);
        JsonDocument read;
        TextBuffer problem;
        EXPECT_EQ(ReadReportFile(path.c_str(), read, problem), size == 2) << problem.Text();
        if (size != 2) {
            EXPECT_EQ(std::string(problem.Text()), path + ": byte 16777216: larger than 16 MB, more than any report");
        }
    }
    std::remove(path.c_str());
}

}  // namespace
