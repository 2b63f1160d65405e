// Splitting an extension string into names, and finding a whole name in one.
// Only the byte 0x20 separates names: tabs and line breaks belong to a name.
#pragma once

#include <cstddef>

// Receives one token, NUL-terminated.
typedef void (*ExtensionLineSink)(void* context, const char* line);

// The longest token copied through the fixed line buffer, without its NUL.
constexpr std::size_t kExtensionLineCapacity = 1000;

// Calls sink once per token of text, in order. Every space ends a token, so a
// leading space or two spaces in a row give an empty token; the token after
// the last space is passed only when it is not empty. A null text is empty.
// Tokens too long for the line buffer are passed whole.
void ForEachExtensionToken(const char* text, ExtensionLineSink sink, void* context);

// Whether name stands in haystack as a whole token: at the start or right
// after a space, and followed by a space or the end. A null haystack and an
// empty name never match.
bool ContainsWholeToken(const char* haystack, const char* name);
