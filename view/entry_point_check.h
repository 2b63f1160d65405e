// The companion's --entry-points: every command the context's version and its
// extensions promise, asked of the driver while the context is current.
#pragma once

#include "document/report_document.h"
#include "platform/entry_points.h"

// Handed an EntryPointGathering. With the view's context current (core
// false): the version's commands and those of each extension in the report's
// lists; with a core-profile context current (core true): that version's.
// Marks the pool failed when memory ran out.
void CheckEntryPoints(void* gathering);
