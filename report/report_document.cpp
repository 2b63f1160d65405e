#include "report/report_document.h"

namespace {

const char kLineEnd[] = "\r\n";

void AppendLine(TextBuffer& out, const char* prefix, const char* text)
{
    out.Append(prefix);
    out.Append(text);
    out.Append(kLineEnd);
}

// "Heading (N):" and then the lines, indented.
void AppendList(TextBuffer& out, const char* heading, const LineList& list)
{
    out.Append(heading);
    out.Append(" (");
    out.AppendNumber(list.count);
    out.Append("):");
    out.Append(kLineEnd);
    for (int i = 0; i < list.count; ++i)
        AppendLine(out, "  ", list.lines[i]);
}

void AppendJsonArray(TextBuffer& out, const LineList& list)
{
    out.AppendChar('[');
    for (int i = 0; i < list.count; ++i) {
        if (i > 0)
            out.AppendChar(',');
        AppendJsonString(out, list.lines[i]);
    }
    out.AppendChar(']');
}

void AppendJsonMember(TextBuffer& out, const char* name, const char* value)
{
    AppendJsonString(out, name);
    out.AppendChar(':');
    AppendJsonString(out, value);
}

const char* LineAt(const LineList& list, int i)
{
    return i < list.count ? list.lines[i] : "";
}

}  // namespace

void AppendJsonString(TextBuffer& out, const char* text)
{
    static const char kHex[] = "0123456789abcdef";
    out.AppendChar('"');
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text != nullptr ? text : "");
         *p != '\0'; ++p) {
        const unsigned char c = *p;
        if (c == '"' || c == '\\') {
            out.AppendChar('\\');
            out.AppendChar(static_cast<char>(c));
        } else if (c == '\n') {
            out.Append("\\n");
        } else if (c == '\r') {
            out.Append("\\r");
        } else if (c == '\t') {
            out.Append("\\t");
        } else if (c < 0x20 || c >= 0x7F) {
            const char escape[7] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15], '\0'};
            out.Append(escape);
        } else {
            out.AppendChar(static_cast<char>(c));
        }
    }
    out.AppendChar('"');
}

void WriteReportText(const ReportData& report, TextBuffer& out)
{
    const char* line = report.summary != nullptr ? report.summary : "";
    for (const char* p = line;; ++p) {
        if (*p == '\n' || *p == '\0') {
            out.Append(line, static_cast<std::size_t>(p - line));
            out.Append(kLineEnd);
            if (*p == '\0')
                break;
            line = p + 1;
        }
    }

    out.Append("Pixel format: ");
    out.AppendNumber(report.pixelFormat);
    out.Append(", samples: ");
    if (report.samples > 0)
        out.AppendNumber(report.samples);
    else
        out.Append("none");
    out.Append(kLineEnd);

    AppendList(out, "OpenGL extensions", report.glExtensions);
    AppendList(out, "WGL extensions", report.wglExtensions);

    out.Append("OpenGL drivers (");
    out.Append(report.driverKey);
    out.Append("):");
    out.Append(kLineEnd);
    for (int i = 0; i < report.driverLines.count; ++i)
        AppendLine(out, i == report.selectedDriver ? "* " : "  ", report.driverLines.lines[i]);
}

void WriteReportJson(const ReportData& report, TextBuffer& out)
{
    out.AppendChar('{');
    AppendJsonMember(out, "vendor", report.vendor);
    out.AppendChar(',');
    AppendJsonMember(out, "renderer", report.renderer);
    out.AppendChar(',');
    AppendJsonMember(out, "version", report.version);
    out.Append(",\"pixelFormat\":{\"index\":");
    out.AppendNumber(report.pixelFormat);
    out.Append(",\"samples\":");
    if (report.samples > 0)
        out.AppendNumber(report.samples);
    else
        out.Append("null");
    out.Append("},\"glExtensions\":");
    AppendJsonArray(out, report.glExtensions);
    out.Append(",\"wglExtensions\":");
    AppendJsonArray(out, report.wglExtensions);
    out.Append(",\"drivers\":{");
    AppendJsonMember(out, "key", report.driverKey);
    out.Append(",\"entries\":[");
    for (int i = 0; i < report.driverLines.count; ++i) {
        if (i > 0)
            out.AppendChar(',');
        out.AppendChar('{');
        AppendJsonMember(out, "line", report.driverLines.lines[i]);
        out.AppendChar(',');
        AppendJsonMember(out, "valueName", LineAt(report.driverValueNames, i));
        out.AppendChar(',');
        AppendJsonMember(out, "dllName", LineAt(report.driverDllNames, i));
        out.Append(",\"selected\":");
        out.Append(i == report.selectedDriver ? "true" : "false");
        out.AppendChar('}');
    }
    out.Append("]}}\n");
}
