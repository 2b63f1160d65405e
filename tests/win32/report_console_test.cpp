// The companion's report printed in this process, its standard handles
// pointed at files: a gathering that runs out of memory part way is told on
// standard error with status 1, never printed as a shorter report. Output
// goes out in chunks a console takes, and a write that fails is an error.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/report_console.h"
#include "app/std_output.h"
#include "platform/fact_pool.h"

namespace {

// Points one standard handle at a temporary file while it lives.
class CapturedStd {
public:
    explicit CapturedStd(DWORD which) : which_(which), previous_(GetStdHandle(which))
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        GetTempFileNameA(folder, "gls", 0, path_);
        file_ = CreateFileA(path_, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        SetStdHandle(which_, file_);
    }
    ~CapturedStd()
    {
        SetStdHandle(which_, previous_);
        CloseHandle(file_);
    }
    CapturedStd(const CapturedStd&) = delete;
    CapturedStd& operator=(const CapturedStd&) = delete;

    std::string Text() const
    {
        std::string text(GetFileSize(file_, nullptr), '\0');
        DWORD read = 0;
        SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
        ReadFile(file_, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
        text.resize(read);
        return text;
    }

private:
    DWORD which_;
    HANDLE previous_;
    char path_[MAX_PATH] = {};
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

TEST(ReportConsole, MemoryThatRunsOutWhileGatheringIsAnErrorNeverAShortReport)
{
    bool failedOnce = false;
    bool printedOnce = false;
    // From none allowed to enough for the whole report, each step failing
    // later: one by one through the first ones, then twice as many each time
    // through the copies of the lists' lines.
    for (int allowed = 0; allowed <= 65536 && !printedOnce; allowed = allowed < 40 ? allowed + 1 : allowed * 2) {
        CapturedStd out(STD_OUTPUT_HANDLE);
        CapturedStd err(STD_ERROR_HANDLE);
        LimitFactAllocations(allowed);
        const int status = PrintReport(ReportOptions{false, false, false});
        LimitFactAllocations(-1);
        if (status == 0) {
            printedOnce = true;
            EXPECT_EQ(out.Text().compare(0, 8, "Vendor: "), 0) << out.Text();
            EXPECT_NE(out.Text().find("\r\nOpenGL drivers ("), std::string::npos) << out.Text();
            EXPECT_EQ(err.Text(), "");
        } else {
            failedOnce = true;
            EXPECT_EQ(status, 1);
            EXPECT_EQ(out.Text(), "") << allowed << " allocations allowed";
            EXPECT_EQ(err.Text(), "Out of memory: the report could not be gathered\r\n");
        }
    }
    EXPECT_TRUE(failedOnce);
    EXPECT_TRUE(printedOnce) << "the report needs more than 65536 allocations";
}

// A WriteFile that keeps what it is given: at most shortBy less than asked
// each time, and from failAfter bytes on it fails (a full disk, a closed pipe).
struct FakeOutput {
    std::string bytes;
    std::vector<DWORD> asked;
    DWORD shortBy = 0;
    std::size_t failAfter = std::string::npos;
    bool reportNothing = false;  // succeeds without writing a byte
};
FakeOutput fake;

BOOL WINAPI FakeWrite(HANDLE, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED)
{
    fake.asked.push_back(count);
    *written = 0;
    if (fake.bytes.size() >= fake.failAfter) {
        SetLastError(ERROR_NO_DATA);
        return FALSE;
    }
    if (!fake.reportNothing) {
        *written = count > fake.shortBy ? count - fake.shortBy : 1;
        fake.bytes.append(static_cast<const char*>(bytes), *written);
    }
    return TRUE;
}

TEST(StdOutput, GoesOutInChunksOfAtMost16KBAndGoesOnAfterAShortWrite)
{
    std::string text(100000, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);
    for (DWORD shortBy : {0u, 1000u, 16383u}) {
        fake = FakeOutput();
        fake.shortBy = shortBy;
        EXPECT_TRUE(WriteInChunks(nullptr, text.data(), text.size(), FakeWrite)) << shortBy;
        EXPECT_TRUE(fake.bytes == text) << shortBy << ": " << fake.bytes.size() << " bytes written";
        EXPECT_LE(*std::max_element(fake.asked.begin(), fake.asked.end()), 16384u) << shortBy;
    }
}

TEST(StdOutput, AWriteThatFailsOrWritesNothingIsAnErrorOnStandardError)
{
    const std::string text(50000, 'x');
    fake = FakeOutput();
    fake.failAfter = 20000;
    EXPECT_FALSE(WriteInChunks(nullptr, text.data(), text.size(), FakeWrite));
    fake = FakeOutput();
    fake.reportNothing = true;
    EXPECT_FALSE(WriteInChunks(nullptr, text.data(), text.size(), FakeWrite));
    EXPECT_EQ(fake.asked.size(), 1u) << "no endless retry";

    CapturedStd err(STD_ERROR_HANDLE);
    fake = FakeOutput();
    fake.failAfter = 0;
    EXPECT_FALSE(PrintToStdOutput(text.data(), text.size(), FakeWrite));
    EXPECT_EQ(err.Text(), "Standard output refused the text: it was not written whole\r\n");
}

}  // namespace
