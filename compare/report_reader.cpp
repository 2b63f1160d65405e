#include "compare/report_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compare/report_members.h"
#include "document/report_document.h"

namespace {

// A file's name, and how many bytes come before its JSON (a byte-order mark).
struct Where {
    const char* name;
    std::size_t skipped;
};

void StartError(TextBuffer& error, const char* name, std::size_t offset)
{
    error.Append(name);
    error.Append(": byte ");
    error.AppendNumber(static_cast<long>(offset));
    error.Append(": ");
}

// Each known member's type, below value at path; unknown members are not
// looked into. False with the first member of a wrong type.
bool CheckTypes(const JsonDocument& report, int value, MemberPath& path, const Where& where,
                TextBuffer& error)
{
    const bool array = report.Kind(value) == kJsonArray;
    // An array's items share one path.
    const KnownMember* items = nullptr;
    if (array) {
        path.PushItem();
        items = FindKnownMember(path);
        path.Pop();
    }
    for (int i = 0; i < report.Count(value); ++i) {
        int child = report.Item(value, i);
        const KnownMember* known = items;
        if (array) {
            path.PushItem();
        } else {
            std::size_t length = 0;
            const char* memberName = report.String(child, length);
            path.PushName(memberName, length);
            child = report.MemberValue(value, i);
            known = FindKnownMember(path);
        }
        if (known != nullptr) {
            const unsigned type = JsonTypeOf(report, child);
            if ((type & known->types) == 0) {
                StartError(error, where.name, where.skipped + report.Offset(child));
                error.Append(path.Text());
                error.Append(" is ");
                AppendTypeNames(error, type);
                error.Append(", not ");
                AppendTypeNames(error, known->types);
                return false;
            }
            if ((type & (kTypeArray | kTypeObject)) != 0 && !CheckTypes(report, child, path, where, error))
                return false;
        }
        path.Pop();
    }
    return true;
}

// "MAJOR.MINOR" with the major this program writes; a report without the
// member is from before it and has the members of 1.0.
bool CheckSchemaVersion(const JsonDocument& report, const Where& where, TextBuffer& error)
{
    const int value = report.Find(0, "schemaVersion");
    if (value < 0 || report.Kind(value) != kJsonString)
        return true;
    std::size_t length = 0;
    const char* text = report.String(value, length);
    std::size_t dot = 0;
    while (dot < length && text[dot] >= '0' && text[dot] <= '9')
        ++dot;
    bool digits = dot > 0 && dot < length && text[dot] == '.' && dot + 1 < length;
    for (std::size_t i = dot + 1; digits && i < length; ++i)
        digits = text[i] >= '0' && text[i] <= '9';
    const std::size_t majorLength =
        static_cast<std::size_t>(std::strchr(kReportSchemaVersion, '.') - kReportSchemaVersion);
    if (digits && dot == majorLength && std::memcmp(text, kReportSchemaVersion, dot) == 0)
        return true;
    StartError(error, where.name, where.skipped + report.Offset(value));
    error.Append("schemaVersion \"");
    AppendJsonEscaped(error, text, length);
    error.Append(digits ? "\" has a major version this program does not know (it reads "
                        : "\" is not MAJOR.MINOR (this program reads ");
    error.Append(kReportSchemaVersion, majorLength);
    error.Append(".x)");
    return false;
}

}  // namespace

bool ReadReportText(const char* name, const char* text, std::size_t length, JsonDocument& report,
                    TextBuffer& error)
{
    if (length > kReportMaxBytes) {
        StartError(error, name, kReportMaxBytes);
        error.Append("larger than 16 MB, more than any report");
        return false;
    }
    // NOTE: Windows PowerShell 5's > writes UTF-16 with a byte-order mark,
    // Notepad's "UTF-8 with BOM" a UTF-8 one.
    const bool utf16 = length >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') ||
                                       (text[0] == '\xFE' && text[1] == '\xFF'));
    if (utf16) {
        StartError(error, name, 0);
        error.Append("UTF-16 text, as Windows PowerShell's > writes it: save the report from cmd.exe, "
                     "or with Out-File -Encoding ascii");
        return false;
    }
    const std::size_t bom = length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    JsonError problem;
    if (!report.Load(text + bom, length - bom, problem)) {
        StartError(error, name, bom + problem.offset);
        error.Append(problem.message.Text());
        return false;
    }
    if (report.Kind(0) != kJsonObject) {
        StartError(error, name, bom + report.Offset(0));
        error.Append("not a report: the top level is ");
        AppendTypeNames(error, JsonTypeOf(report, 0));
        error.Append(", not an object");
        return false;
    }
    MemberPath path;
    const Where where{name, bom};
    return CheckTypes(report, 0, path, where, error) && CheckSchemaVersion(report, where, error);
}

bool ReadReportFile(const char* path, JsonDocument& report, TextBuffer& error)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        error.Append(path);
        error.Append(": cannot be opened");
        return false;
    }
    // Up to one byte more than a report may have: enough to tell it is too large.
    std::size_t capacity = 64 * 1024, length = 0;
    char* bytes = static_cast<char*>(std::malloc(capacity));
    bool readFailed = false;
    while (bytes != nullptr && length <= kReportMaxBytes) {
        if (length == capacity) {
            capacity *= 2;
            char* grown = static_cast<char*>(std::realloc(bytes, capacity));
            if (grown == nullptr) {
                std::free(bytes);
                bytes = nullptr;
                break;
            }
            bytes = grown;
        }
        const std::size_t got = std::fread(bytes + length, 1, capacity - length, file);
        length += got;
        if (got == 0) {
            readFailed = std::ferror(file) != 0;
            break;
        }
    }
    std::fclose(file);
    bool read = false;
    if (bytes == nullptr) {
        error.Append(path);
        error.Append(": out of memory");
    } else if (readFailed) {
        error.Append(path);
        error.Append(": cannot be read");
    } else {
        read = ReadReportText(path, bytes, length, report, error);
    }
    std::free(bytes);
    return read;
}
