// Two reports compared: every member the newer and the older have, walked in
// the report's order, each difference said once. Objects are compared member
// by member; arrays whose items the report names by a member (limits by name,
// driver DLLs by path...) item by item; arrays of numbers as one value; other
// arrays (the extensions, the advice, members this program does not know) as
// collections: the items removed and added.
#pragma once

#include "compare/json_document.h"
#include "document/text_buffer.h"

// The comparison's own JSON, its schemaVersion first.
constexpr const char kComparisonSchemaVersion[] = "1.0";

// Writes what changed from before to after: as text, a line each (CR LF;
// values as JSON writes them), nothing when they agree; or as one JSON
// object, ended by a line feed. Returns how many differences there are, or
// -1 when memory ran out (out is then not whole).
long CompareReports(const JsonDocument& before, const JsonDocument& after, bool json, TextBuffer& out);
