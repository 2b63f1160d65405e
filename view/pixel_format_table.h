// The table of every pixel format a device context offers, for the
// companion's --formats. In a file of its own, so that the dialog's exe,
// which never shows the table, does not carry it.
#pragma once

#include "platform/fact_pool.h"
#include "platform/windows_headers.h"
#include "document/report_facts.h"

// One row per pixel format deviceContext offers, in index order: through
// wglGetPixelFormatAttribivARB where WGL_ARB_pixel_format is offered, else
// from DescribePixelFormat (samples -1). Each row has its own samples: 0 for
// every row without WGL_ARB_multisample, -1 for a row whose sample attributes
// are refused or that is described because the query refuses it. Needs a
// context current. False when memory ran out.
bool ReadPixelFormatTable(HDC deviceContext, FactArray<PixelFormatRow>& rows);
