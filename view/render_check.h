// The render check: the test scene drawn once more when a report is made, at
// the view's angles, size and format, read back and judged; in the dialog,
// then what the screen shows in the view's place; and the draw rate.
#pragma once

#include "document/report_facts.h"
#include "platform/windows_headers.h"

// Needs the view's context current and leaves it current, set up for the
// view's size. A view on screen, uncovered, is drawn into its own back
// buffer, shown, and read back from the screen; a hidden view (the
// companion's), a covered one or a minimised dialog's is drawn off screen.
// samples: the view's format's.
void CheckRender(HWND view, int samples, RenderCheckFacts& check, DrawRateFacts& rate);
