// The pixel-format table as the companion prints it after the report, in a
// file of its own so that the dialog, which never has the table, does not
// carry it.
#include <cstring>

#include "document/report_document.h"

namespace {

const char kLineEnd[] = "\r\n";

// Whether any row carries samples, which DescribePixelFormat cannot give.
bool PixelFormatsHaveSamples(const ReportData& report)
{
    for (int i = 0; i < report.pixelFormatCount; ++i) {
        if (report.pixelFormats[i].sampleBuffers >= 0 || report.pixelFormats[i].samples >= 0)
            return true;
    }
    return false;
}

// The table's columns: each as wide as its title, one space apart; numbers
// right-aligned, words left-aligned.
const char* const kFormatColumns[] = {"Index",   "Window", "Accel  ", "Colour", "Alpha", "Depth",
                                      "Stencil", "Double", "SampleBuffers", "Samples"};
constexpr int kFormatColumnsWithoutSamples = 8;

int ColumnWidth(int column)
{
    return static_cast<int>(std::strlen(kFormatColumns[column]));
}

void AppendSpaces(TextBuffer& out, int count)
{
    for (; count > 0; --count)
        out.AppendChar(' ');
}

void AppendWordColumn(TextBuffer& out, int column, const char* word)
{
    out.AppendChar(' ');
    out.Append(word);
    AppendSpaces(out, ColumnWidth(column) - static_cast<int>(std::strlen(word)));
}

// At least one space before it, however wide the number.
void AppendNumberColumn(TextBuffer& out, int column, long value)
{
    int digits = value < 0 ? 2 : 1;
    for (long rest = value / 10; rest != 0; rest /= 10)
        ++digits;
    out.AppendChar(' ');
    AppendSpaces(out, ColumnWidth(column) - digits);
    out.AppendNumber(value);
}

// A row's sample value, or "-" where it has none (-1).
void AppendSampleColumn(TextBuffer& out, int column, int value)
{
    if (value >= 0) {
        AppendNumberColumn(out, column, value);
        return;
    }
    out.AppendChar(' ');
    AppendSpaces(out, ColumnWidth(column) - 1);
    out.AppendChar('-');
}

void AppendPixelFormats(TextBuffer& out, const ReportData& report)
{
    AppendHeading(out, "Pixel formats", report.pixelFormatCount);
    if (report.pixelFormatCount <= 0)
        return;
    const int columns = PixelFormatsHaveSamples(report) ? 10 : kFormatColumnsWithoutSamples;
    out.AppendChar(' ');
    for (int column = 0; column < columns; ++column) {
        out.AppendChar(' ');
        out.Append(kFormatColumns[column]);
    }
    out.Append(kLineEnd);
    for (int i = 0; i < report.pixelFormatCount; ++i) {
        const PixelFormatRow& row = report.pixelFormats[i];
        out.Append(row.index == report.pixelFormat ? "*" : " ");
        AppendNumberColumn(out, 0, row.index);
        AppendWordColumn(out, 1, row.drawToWindow ? "yes" : "no");
        AppendWordColumn(out, 2, FormatAccelerationName(row.acceleration));
        AppendNumberColumn(out, 3, row.colorBits);
        AppendNumberColumn(out, 4, row.alphaBits);
        AppendNumberColumn(out, 5, row.depthBits);
        AppendNumberColumn(out, 6, row.stencilBits);
        if (columns > kFormatColumnsWithoutSamples) {
            AppendWordColumn(out, 7, row.doubleBuffered ? "yes" : "no");
            AppendSampleColumn(out, 8, row.sampleBuffers);
            AppendSampleColumn(out, 9, row.samples);
        } else {
            out.AppendChar(' ');
            out.Append(row.doubleBuffered ? "yes" : "no");
        }
        out.Append(kLineEnd);
    }
}

}  // namespace

bool HasPixelFormatTable(const ReportData& report)
{
    return report.pixelFormatsAsked || report.pixelFormatCount > 0;
}

const char* FormatAccelerationName(FormatAcceleration acceleration)
{
    switch (acceleration) {
    case kFormatAccelerationFull:
        return "full";
    case kFormatAccelerationGeneric:
        return "generic";
    default:
        return "none";
    }
}

void WritePixelFormatTable(const ReportData& report, TextBuffer& out)
{
    if (HasPixelFormatTable(report))
        AppendPixelFormats(out, report);
}
