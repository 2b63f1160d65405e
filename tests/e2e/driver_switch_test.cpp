// The driver list of the running program against the prefix's real registry,
// for the NT family and for the 9x family (Wine reports the family per exe
// from its AppDefaults key). This test process shares the prefix, so it seeds
// and reads HKEY_LOCAL_MACHINE itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "app_driver.h"
#include "tests/support/value_changes_denied.h"

namespace {

using Values = std::map<std::string, std::string>;

const char kNtKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\OpenGLdrivers";
const char k9xKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\OpenGLdrivers";
// The dialog and its console companion see the same Windows version.
const char* const kAppDefaults[] = {"Software\\Wine\\AppDefaults\\glinspect.exe",
                                    "Software\\Wine\\AppDefaults\\glinspect-report.exe"};
const char kSoftwareLine[] = "Software (MICROSOFT): OpenGL32.dll";

bool KeyExists(const char* key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

Values ReadValues(const char* key)
{
    Values values;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        BYTE data[16384];
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(handle, index, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS)
            break;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_TRUE(dataLength > 0 && data[dataLength - 1] == '\0') << name << ": length counts the NUL";
        values[name] = std::string(reinterpret_cast<char*>(data), dataLength > 0 ? dataLength - 1 : 0);
    }
    RegCloseKey(handle);
    return values;
}

// Leaves key holding exactly values.
void ReplaceValues(const char* key, const Values& values)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    for (const auto& value : ReadValues(key))
        RegDeleteValueA(handle, value.first.c_str());
    for (const auto& value : values)
        RegSetValueExA(handle, value.first.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.second.c_str()),
                       static_cast<DWORD>(value.second.size() + 1));
    RegCloseKey(handle);
}

// The Windows version Wine reports to the two programs alone.
void SetAppVersion(const char* version)
{
    for (const char* program : kAppDefaults) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, program, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(strlen(version) + 1));
        RegCloseKey(handle);
    }
}

// What reg.exe shows for key, for the test log.
std::string RegQuery(const char* key)
{
    std::string out, err;
    RunCapturingOutput(std::string("reg.exe query \"HKLM\\") + key + "\"", &out, &err, 15000);
    return out + err;
}

struct Family {
    const char* name;
    const char* version;  // as Wine's AppDefaults spells it
    const char* key;      // where the program must look
    const char* otherKey; // the other family's key, which it must leave alone
};

void PrintTo(const Family& family, std::ostream* out)
{
    *out << family.name << " family";
}

const Family kFamilies[] = {
    {"NT", "winxp", kNtKey, k9xKey},
    {"Win9x", "win98", k9xKey, kNtKey},
};

class DriverSwitchUnderWine : public ::testing::TestWithParam<Family> {
protected:
    void SetUp() override
    {
        const Family& family = GetParam();
        // In the version matrix, Wine already reports one version: only its
        // family's key is in play.
        const std::string matrixVersion = MatrixWindowsVersion();
        if (!matrixVersion.empty() && Is9xVersion(matrixVersion) != (family.key == k9xKey))
            GTEST_SKIP() << matrixVersion << " is not of the " << family.name << " family";
        SetAppVersion(matrixVersion.empty() ? family.version : matrixVersion.c_str());
        savedKey_ = ReadValues(family.key);
        savedOtherKey_ = ReadValues(family.otherKey);
        keyExisted_ = KeyExists(family.key);
        otherKeyExisted_ = KeyExists(family.otherKey);
        // A registration the program must not see in the other family's key.
        ReplaceValues(family.otherKey, {{"OtherFamily", "other.dll"}});
    }

    void TearDown() override
    {
        if (IsSkipped())
            return;
        app_.Kill();
        const Family& family = GetParam();
        RestoreKey(family.key, keyExisted_, savedKey_);
        RestoreKey(family.otherKey, otherKeyExisted_, savedOtherKey_);
        if (MatrixWindowsVersion().empty())
            for (const char* program : kAppDefaults)
                RegDeleteKeyA(HKEY_CURRENT_USER, program);
    }

    static void RestoreKey(const char* key, bool existed, const Values& values)
    {
        if (existed)
            ReplaceValues(key, values);
        else
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    }

    void StartApp() { ASSERT_TRUE(app_.Start()) << "the dialog did not come up"; }

    void CloseApp()
    {
        PostMessageA(app_.Control(IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(app_.WaitForExit(15000), 0u);
        app_.Kill();
    }

    HWND List() const { return app_.Control(IDC_DRIVER_LIST); }

    // The selection change the list reports when a line is picked, sent
    // synchronously: the registry has been written when this returns.
    void SelectLine(int line)
    {
        SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(line), 0);
        SendMessageA(app_.Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DRIVER_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(List()));
    }

    // A left click in the middle of a line, as the mouse delivers it.
    void ClickLine(int line)
    {
        const LRESULT height = SendMessageA(List(), LB_GETITEMHEIGHT, 0, 0);
        const LRESULT top = SendMessageA(List(), LB_GETTOPINDEX, 0, 0);
        const LPARAM point = MAKELPARAM(10, (line - top) * height + height / 2);
        PostMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(List(), WM_LBUTTONUP, 0, point);
    }

    bool WaitForValues(const Values& expected)
    {
        return WaitUntil([&] { return ReadValues(GetParam().key) == expected; }, 10000);
    }

    void Log(const char* when)
    {
        std::printf("[%s family, %s]\n%s", GetParam().name, when, RegQuery(GetParam().key).c_str());
    }

    AppDriver app_;

private:
    Values savedKey_, savedOtherKey_;
    bool keyExisted_ = false, otherKeyExisted_ = false;
};

TEST_P(DriverSwitchUnderWine, RoundTripOfOneDriverThroughTheDialog)
{
    const Values enabled = {{"VendorGL", "vendorgl.dll"}};
    const Values disabled = {{"~VendorGL", "vendorgl.dll"}};
    const std::vector<std::string> lines = {kSoftwareLine, "VendorGL: vendorgl.dll"};
    ReplaceValues(GetParam().key, enabled);
    Log("before");

    StartApp();
    EXPECT_EQ(ListLines(List()), lines);
    EXPECT_EQ(ListSelection(List()), 1) << "the enabled driver is in effect";

    ClickLine(0);
    EXPECT_TRUE(WaitForValues(disabled)) << RegQuery(GetParam().key);
    Log("after picking the software line");
    EXPECT_EQ(ListLines(List()), lines) << "the lines stay as read at start";
    EXPECT_EQ(ListSelection(List()), 0);

    ClickLine(1);
    EXPECT_TRUE(WaitForValues(enabled)) << RegQuery(GetParam().key);
    Log("after picking the driver line");
    CloseApp();

    EXPECT_EQ(ReadValues(GetParam().otherKey), (Values{{"OtherFamily", "other.dll"}}));
}

TEST_P(DriverSwitchUnderWine, DisabledDriverIsShownAsSuchAndEnabledAgain)
{
    ReplaceValues(GetParam().key, {{"VendorGL", "vendorgl.dll"}});
    StartApp();
    SelectLine(0);
    EXPECT_EQ(ReadValues(GetParam().key), (Values{{"~VendorGL", "vendorgl.dll"}}));
    CloseApp();

    StartApp();
    EXPECT_EQ(ListLines(List()), (std::vector<std::string>{kSoftwareLine, "~VendorGL: vendorgl.dll"}));
    EXPECT_EQ(ListSelection(List()), 0) << "a disabled driver leaves the software line in effect";
    SelectLine(1);
    EXPECT_EQ(ReadValues(GetParam().key), (Values{{"VendorGL", "vendorgl.dll"}}));
    CloseApp();

    StartApp();
    EXPECT_EQ(ListSelection(List()), 1);
    CloseApp();
}

TEST_P(DriverSwitchUnderWine, MissingKeyIsCreatedAndNothingIsWritten)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, GetParam().key);
    ASSERT_FALSE(KeyExists(GetParam().key));

    StartApp();
    EXPECT_EQ(ListLines(List()), std::vector<std::string>{kSoftwareLine});
    EXPECT_EQ(ListSelection(List()), 0);
    EXPECT_TRUE(KeyExists(GetParam().key)) << "opened creating when missing";
    SelectLine(0);
    CloseApp();

    EXPECT_TRUE(ReadValues(GetParam().key).empty());
    EXPECT_EQ(ReadValues(GetParam().otherKey), (Values{{"OtherFamily", "other.dll"}}));
}

// As on Windows NT and later without administrator rights: the key can be
// read, and every write to it fails.
TEST_P(DriverSwitchUnderWine, AWriteThatFailsShowsTheLineInEffectAgain)
{
    const Values enabled = {{"VendorGL", "vendorgl.dll"}};
    const Values disabled = {{"~VendorGL", "vendorgl.dll"}};
    ReplaceValues(GetParam().key, enabled);
    StartApp();
    ASSERT_EQ(ListSelection(List()), 1);
    {
        ValueChangesDenied denied(HKEY_LOCAL_MACHINE, GetParam().key);
        ASSERT_TRUE(denied.Denied());
        SelectLine(0);
        EXPECT_EQ(ListSelection(List()), 1) << "the line selected at start";
        EXPECT_EQ(ReadValues(GetParam().key), enabled);
    }
    SelectLine(0);
    EXPECT_EQ(ListSelection(List()), 0) << "written: the picked line stays";
    EXPECT_EQ(ReadValues(GetParam().key), disabled);
    {
        ValueChangesDenied denied(HKEY_LOCAL_MACHINE, GetParam().key);
        ASSERT_TRUE(denied.Denied());
        SelectLine(1);
        EXPECT_EQ(ListSelection(List()), 0) << "the line of the last pick that was written";
        EXPECT_EQ(ReadValues(GetParam().key), disabled);
    }
    CloseApp();
}

// The companion's driver lines: the indented or marked lines under the
// driver heading of its text report.
std::vector<std::string> CompanionDriverLines()
{
    std::string out, err;
    EXPECT_EQ(RunCapturingOutput("\"" + ReportExePath() + "\"", &out, &err), 0u) << err;
    std::vector<std::string> lines;
    size_t start = out.find("\r\n", out.find("OpenGL drivers ("));
    for (size_t end; start != std::string::npos &&
                     (end = out.find("\r\n", start + 2)) != std::string::npos;
         start = end) {
        const std::string line = out.substr(start + 2, end - start - 2);
        if (line.compare(0, 2, "* ") != 0 && line.compare(0, 2, "  ") != 0)
            break;
        lines.push_back(line);
    }
    return lines;
}

TEST_P(DriverSwitchUnderWine, TheCompanionMarksTheDriverInEffect)
{
    ReplaceValues(GetParam().key, {{"VendorGL", "vendorgl.dll"}});
    EXPECT_EQ(CompanionDriverLines(),
              (std::vector<std::string>{std::string("  ") + kSoftwareLine, "* VendorGL: vendorgl.dll"}));
    ReplaceValues(GetParam().key, {{"~VendorGL", "vendorgl.dll"}});
    EXPECT_EQ(CompanionDriverLines(),
              (std::vector<std::string>{std::string("* ") + kSoftwareLine, "  ~VendorGL: vendorgl.dll"}));
}

TEST_P(DriverSwitchUnderWine, TheCompanionLeavesAMissingKeyMissing)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, GetParam().key);
    ASSERT_FALSE(KeyExists(GetParam().key));
    EXPECT_EQ(CompanionDriverLines(), std::vector<std::string>{std::string("* ") + kSoftwareLine});
    EXPECT_FALSE(KeyExists(GetParam().key));
}

INSTANTIATE_TEST_SUITE_P(Families, DriverSwitchUnderWine, ::testing::ValuesIn(kFamilies),
                         [](const ::testing::TestParamInfo<Family>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
