// The companion's --compare: two JSON reports read and what changed printed.
#pragma once

// Prints on standard output what changed from the report in the file before
// to the one in after, as text or as one JSON object. Returns the exit status,
// as diff's: 0 when they agree, 1 when they differ, 2 with the reason on
// standard error (and nothing on standard output) when a file cannot be read
// as a report or memory ran out.
int PrintComparison(const char* before, const char* after, bool json);
