// The compiled resources of glinspect.exe: the dialog template and the icon,
// read back from the exe itself; and the version resource and the manifest of
// both programs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "app/resources/resource_ids.h"
#include "tests/support/windows_path.h"

namespace {

const WORD kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = WindowsPath(GLINSPECT_EXE);
        module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << path;
    }
    void TearDown() override { FreeLibrary(module_); }

    // The bytes of a resource in French (France); empty when there is none.
    std::vector<unsigned char> Resource(LPCSTR type, LPCSTR name) const
    {
        HRSRC found = FindResourceExA(module_, type, name, kFrench);
        if (found == nullptr)
            return {};
        const unsigned char* bytes =
            static_cast<const unsigned char*>(LockResource(LoadResource(module_, found)));
        return std::vector<unsigned char>(bytes, bytes + SizeofResource(module_, found));
    }

    HMODULE module_ = nullptr;
};

// Walks a DLGTEMPLATEEX, whose fields are packed 16-bit words.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    WORD Word()
    {
        WORD value = 0;
        if (offset_ + sizeof(value) > bytes_.size()) {
            ADD_FAILURE() << "the template ends early";
            return 0;
        }
        std::memcpy(&value, &bytes_[offset_], sizeof(value));
        offset_ += 2;
        return value;
    }
    DWORD Dword()
    {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    short Short() { return static_cast<short>(Word()); }
    // A string, or an ordinal written as "#n".
    std::string SzOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        std::string text;
        for (; first != 0; first = Word())
            text += static_cast<char>(first);
        return text;
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }

private:
    const std::vector<unsigned char>& bytes_;
    size_t offset_ = 0;
};

// A predefined control class, whether the template names it or gives its
// ordinal, as its upper-case name.
std::string PredefinedClass(std::string name)
{
    if (name == "#128")
        return "BUTTON";
    if (name == "#130")
        return "STATIC";
    if (name == "#131")
        return "LISTBOX";
    CharUpperA(&name[0]);
    return name;
}

struct ItemExpectation {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    DWORD id;
    const char* windowClass;
    const char* title;
};

TEST_F(ExeResources, DialogTemplateIsTheMainDialogExactly)
{
    const std::vector<unsigned char> bytes = Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN_DIALOG));
    ASSERT_FALSE(bytes.empty()) << "no French main dialog";
    TemplateReader reader(bytes);

    EXPECT_EQ(reader.Word(), 1);       // dlgVer
    EXPECT_EQ(reader.Word(), 0xFFFF);  // signature: an extended template
    reader.Dword();                    // helpID
    EXPECT_EQ(reader.Dword(), 0u);     // exStyle
    EXPECT_EQ(reader.Dword(),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    ASSERT_EQ(reader.Word(), 6);  // cDlgItems
    EXPECT_EQ(reader.Short(), 22);
    EXPECT_EQ(reader.Short(), 17);
    EXPECT_EQ(reader.Short(), 237);
    EXPECT_EQ(reader.Short(), 329);
    EXPECT_EQ(reader.SzOrOrdinal(), "");  // no menu
    EXPECT_EQ(reader.SzOrOrdinal(), "");  // the predefined dialog class
    EXPECT_EQ(reader.SzOrOrdinal(), "OpenGL Renderer infos");
    EXPECT_EQ(reader.Word(), 8);  // point size
    EXPECT_EQ(reader.Word(), 0);  // weight
    const WORD italicAndCharset = reader.Word();
    EXPECT_EQ(italicAndCharset & 0xFF, 0);       // not italic
    EXPECT_EQ(italicAndCharset >> 8, DEFAULT_CHARSET);
    EXPECT_EQ(reader.SzOrOrdinal(), "MS Sans Serif");

    const DWORD list = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOTIFY |
                       LBS_NOINTEGRALHEIGHT;
    const ItemExpectation items[6] = {
        {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY, WS_EX_CLIENTEDGE, 154, 8, 75, 71, IDC_VIEW,
         "STATIC", "OpenGL Shape"},
        {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 179, 306, 50, 14, IDOK, "BUTTON", "OK"},
        {list | LBS_SORT, 0, 8, 84, 221, 144, IDC_GL_EXTENSIONS, "LISTBOX", ""},
        {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0, 8, 8, 142, 70, IDC_INFO_TEXT, "STATIC",
         "Infos:"},
        {list, 0, 8, 296, 164, 24, IDC_DRIVER_LIST, "LISTBOX", ""},
        {list | LBS_SORT, 0, 8, 232, 221, 59, IDC_WGL_EXTENSIONS, "LISTBOX", ""},
    };
    for (const ItemExpectation& item : items) {
        SCOPED_TRACE(item.id);
        reader.AlignToDword();
        reader.Dword();  // helpID
        EXPECT_EQ(reader.Dword(), item.exStyle);
        EXPECT_EQ(reader.Dword(), item.style);
        EXPECT_EQ(reader.Short(), item.x);
        EXPECT_EQ(reader.Short(), item.y);
        EXPECT_EQ(reader.Short(), item.cx);
        EXPECT_EQ(reader.Short(), item.cy);
        EXPECT_EQ(reader.Dword(), item.id);
        EXPECT_EQ(PredefinedClass(reader.SzOrOrdinal()), item.windowClass);
        EXPECT_EQ(reader.SzOrOrdinal(), item.title);
        EXPECT_EQ(reader.Word(), 0);  // no creation data
    }
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ExeResources, IconHasThreeBitmapImagesOfTheRightSizesAndDepths)
{
    const std::vector<unsigned char> group =
        Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_GLINSPECT));
    ASSERT_GE(group.size(), 6u) << "no French program icon group";
    WORD count = 0;
    std::memcpy(&count, &group[4], sizeof(count));
    ASSERT_EQ(count, 3);
    ASSERT_EQ(group.size(), 6 + 3 * sizeof(IconDirEntry));

    const struct { int size, bits; } expected[3] = {{32, 8}, {16, 32}, {32, 32}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        IconDirEntry entry;
        std::memcpy(&entry, &group[6 + i * sizeof(IconDirEntry)], sizeof(entry));
        EXPECT_EQ(entry.width, expected[i].size);
        EXPECT_EQ(entry.height, expected[i].size);
        EXPECT_EQ(entry.bitCount, expected[i].bits);

        const std::vector<unsigned char> image = Resource(RT_ICON, MAKEINTRESOURCEA(entry.id));
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, image.data(), sizeof(header));
        EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER)) << "a DIB, not a PNG";
        EXPECT_EQ(header.biWidth, expected[i].size);
        EXPECT_EQ(header.biHeight, 2 * expected[i].size);  // colour and mask
        EXPECT_EQ(header.biBitCount, expected[i].bits);
    }
}

struct VersionedExe {
    const char* path;
    const char* fileName;
    const char* testName;
};

void PrintTo(const VersionedExe& exe, std::ostream* out) { *out << exe.fileName; }

class VersionResource : public ::testing::TestWithParam<VersionedExe> {
protected:
    void SetUp() override
    {
        path_ = WindowsPath(GetParam().path);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &ignored);
        ASSERT_NE(size, 0u) << path_ << " has no version resource";
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path_.c_str(), 0, size, block_.data()));
    }

    // A value of the French (France), code page 1252 string table; "" when missing.
    std::string Text(const char* name)
    {
        const std::string key = std::string("\\StringFileInfo\\040C04E4\\") + name;
        char* text = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block_.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) ||
            text == nullptr)
            return "";
        return text;
    }

    std::string path_;
    std::vector<unsigned char> block_;
};

TEST_P(VersionResource, CarriesTheProjectVersionInFrench)
{
    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(GLINSPECT_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(minor, major)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, patch)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], kFrench);
    EXPECT_EQ(translation[1], 1252);

    EXPECT_EQ(Text("FileVersion"), GLINSPECT_VERSION);
    EXPECT_EQ(Text("ProductVersion"), GLINSPECT_VERSION);
    EXPECT_EQ(Text("ProductName"), "glinspect");
    EXPECT_EQ(Text("OriginalFilename"), GetParam().fileName);
    EXPECT_NE(Text("FileDescription"), "");

    // Tagged like every other resource.
    HMODULE module = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(FindResourceExA(module, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), kFrench),
              nullptr);
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, VersionResource,
                         ::testing::Values(VersionedExe{GLINSPECT_EXE, "glinspect.exe", "Dialog"},
                                           VersionedExe{GLINSPECT_REPORT_EXE,
                                                        "glinspect-report.exe", "Companion"}),
                         [](const ::testing::TestParamInfo<VersionedExe>& info) {
                             return std::string(info.param.testName);
                         });

// The application manifest both programs carry, as Windows Vista and later
// read it when the program starts.
class ApplicationManifest : public ::testing::TestWithParam<VersionedExe> {};

// Common Controls 6 for the dialog alone: the companion shows no control, and
// its hidden lists stay USER32's own 8-bit ones.
TEST_P(ApplicationManifest, RunsAsInvokerOnEveryWindowsFromVistaDpiAwareTheDialogWithCommonControls6)
{
    const std::string path = WindowsPath(GetParam().path);
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << path;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr) << "no manifest 1";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(bytes, SizeofResource(module, found));
    FreeLibrary(module);

    EXPECT_EQ(manifest.compare(0, 5, "<?xml"), 0) << "no byte-order mark, nothing before the XML";
    const char* const expected[] = {
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        // Vista, 7, 8, 8.1, and 10 and 11.
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
    };
    for (const char* element : expected)
        EXPECT_NE(manifest.find(element), std::string::npos) << element;
    const bool dialog = std::string(GetParam().testName) == "Dialog";
    EXPECT_EQ(manifest.find("<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
                            "version=\"6.0.0.0\" processorArchitecture=\"*\" "
                            "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>") != std::string::npos,
              dialog);
    EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
    // Every element closed: the last one ends the text.
    const size_t end = manifest.find_last_not_of("\r\n");
    EXPECT_EQ(manifest.compare(end - 10, 11, "</assembly>"), 0);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ApplicationManifest,
                         ::testing::Values(VersionedExe{GLINSPECT_EXE, "glinspect.exe", "Dialog"},
                                           VersionedExe{GLINSPECT_REPORT_EXE,
                                                        "glinspect-report.exe", "Companion"}),
                         [](const ::testing::TestParamInfo<VersionedExe>& info) {
                             return std::string(info.param.testName);
                         });

// The dialog made from the exe's template by the program's own procedure, in
// this process.
// NOTE: Wine 8 answers a WM_GETICON from another process with 0 without
// asking the window, so the running program's icons cannot be read from a test.
TEST_F(ExeResources, TheDialogCarriesTheProgramIconInBothSizes)
{
    appInstance = reinterpret_cast<HINSTANCE>(module_);
    HWND dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr,
                                     MainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0) << "the caption's icon";
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0) << "the task switcher's icon";
    DestroyWindow(dialog);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // posted by the dialog's end
}

}  // namespace
