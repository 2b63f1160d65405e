#include "view/pixel_format_table.h"

#include "platform/wgl_binding.h"
#include "platform/extension_tokens.h"
#include "platform/gl_strings.h"

static FormatAcceleration AccelerationOfFlags(DWORD flags)
{
    if ((flags & PFD_GENERIC_FORMAT) == 0)
        return kFormatAccelerationFull;
    return (flags & PFD_GENERIC_ACCELERATED) != 0 ? kFormatAccelerationGeneric
                                                   : kFormatAccelerationNone;
}

static bool DescribeRow(HDC deviceContext, int format, PixelFormatRow* row)
{
    PIXELFORMATDESCRIPTOR description = {};
    if (wgl.describePixelFormat(deviceContext, format, sizeof description, &description) == 0)
        return false;
    row->index = format;
    row->drawToWindow = (description.dwFlags & PFD_DRAW_TO_WINDOW) != 0;
    row->acceleration = AccelerationOfFlags(description.dwFlags);
    row->colorBits = description.cColorBits;
    row->alphaBits = description.cAlphaBits;
    row->depthBits = description.cDepthBits;
    row->stencilBits = description.cStencilBits;
    row->doubleBuffered = (description.dwFlags & PFD_DOUBLEBUFFER) != 0;
    row->sampleBuffers = -1;
    row->samples = -1;
    return true;
}

// The attributes of one row, the two sample ones last so that a driver that
// refuses them is asked again without.
static const int kRowAttributes[] = {
    WGL_DRAW_TO_WINDOW_ARB, WGL_ACCELERATION_ARB, WGL_COLOR_BITS_ARB,
    WGL_ALPHA_BITS_ARB,     WGL_DEPTH_BITS_ARB,   WGL_STENCIL_BITS_ARB,
    WGL_DOUBLE_BUFFER_ARB,  WGL_SAMPLE_BUFFERS_ARB, WGL_SAMPLES_ARB,
};
const UINT kRowAttributeCount = sizeof(kRowAttributes) / sizeof(kRowAttributes[0]);
const UINT kSampleAttributeCount = 2;
static_assert(kRowAttributeCount == 9, "the values below are read by position");

static FormatAcceleration AccelerationOfValue(int value)
{
    if (value == WGL_FULL_ACCELERATION_ARB)
        return kFormatAccelerationFull;
    return value == WGL_GENERIC_ACCELERATION_ARB ? kFormatAccelerationGeneric
                                                 : kFormatAccelerationNone;
}

// One row through the attribute query. A driver without WGL_ARB_multisample
// is not asked the sample attributes: its formats have none, so both are 0.
// A format whose sample attributes alone are refused is asked again without
// them, and its samples stay unknown (-1); the next format is asked whole.
static bool QueryRow(PFNWGLGETPIXELFORMATATTRIBIVARBPROC query, HDC deviceContext, int format,
                     bool askSamples, PixelFormatRow* row)
{
    int values[kRowAttributeCount] = {};
    const bool withSamples =
        askSamples &&
        query(deviceContext, format, 0, kRowAttributeCount, kRowAttributes, values) != FALSE;
    if (!withSamples) {
        if (query(deviceContext, format, 0, kRowAttributeCount - kSampleAttributeCount, kRowAttributes,
                  values) == FALSE)
            return false;
        values[7] = askSamples ? -1 : 0;
        values[8] = values[7];
    }
    row->index = format;
    row->drawToWindow = values[0] != 0;
    row->acceleration = AccelerationOfValue(values[1]);
    row->colorBits = values[2];
    row->alphaBits = values[3];
    row->depthBits = values[4];
    row->stencilBits = values[5];
    row->doubleBuffered = values[6] != 0;
    row->sampleBuffers = values[7];
    row->samples = values[8];
    return true;
}

bool ReadPixelFormatTable(HDC deviceContext, FactArray<PixelFormatRow>& rows)
{
    const char* extensions = QueryWglExtensions();
    PFNWGLGETPIXELFORMATATTRIBIVARBPROC query = nullptr;
    if (ContainsWholeToken(extensions, "WGL_ARB_pixel_format"))
        query = FetchGetPixelFormatAttribivARB();
    const bool askSamples = ContainsWholeToken(extensions, "WGL_ARB_multisample");
    int count = 0;
    if (query != nullptr) {
        // NOTE: the format index is ignored for this attribute; 1 always exists.
        const int countAttribute = WGL_NUMBER_PIXEL_FORMATS_ARB;
        if (query(deviceContext, 1, 0, 1, &countAttribute, &count) == FALSE)
            count = 0;
    }
    if (count <= 0) {
        query = nullptr;
        PIXELFORMATDESCRIPTOR description = {};
        count = wgl.describePixelFormat(deviceContext, 1, sizeof description, &description);
    }
    for (int format = 1; format <= count; ++format) {
        PixelFormatRow row = {};
        // A format the attribute query refuses is described instead.
        const bool read = (query != nullptr &&
                           QueryRow(query, deviceContext, format, askSamples, &row)) ||
                          DescribeRow(deviceContext, format, &row);
        if (read && !rows.Add(row))
            return false;
    }
    return rows.Ok();
}
