#include "platform/extension_tokens.h"

#include <cstdlib>
#include <cstring>

// Passes the token [start, start + length) to sink as a C string. Short tokens
// go through a stack buffer; longer ones get a heap copy of their own, and
// are skipped only if that memory cannot be had.
static void EmitToken(const char* start, std::size_t length, ExtensionLineSink sink, void* context)
{
    if (length < kExtensionLineCapacity) {
        char line[kExtensionLineCapacity];
        std::strncpy(line, start, length);
        line[length] = '\0';
        sink(context, line);
        return;
    }
    char* line = static_cast<char*>(std::malloc(length + 1));
    if (line == nullptr)
        return;
    std::memcpy(line, start, length);
    line[length] = '\0';
    sink(context, line);
    std::free(line);
}

void ForEachExtensionToken(const char* text, ExtensionLineSink sink, void* context)
{
    if (text == nullptr)
        return;
    const char* tokenStart = text;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == ' ') {
            EmitToken(tokenStart, static_cast<std::size_t>(p - tokenStart), sink, context);
            tokenStart = p + 1;
        }
    }
    // The last token is already terminated by the text itself.
    if (*tokenStart != '\0')
        sink(context, tokenStart);
}

bool ContainsWholeToken(const char* haystack, const char* name)
{
    if (haystack == nullptr || name == nullptr || *name == '\0')
        return false;
    const std::size_t nameLength = std::strlen(name);
    for (const char* hit = std::strstr(haystack, name); hit != nullptr;
         hit = std::strstr(hit + 1, name)) {
        const bool startsToken = hit == haystack || hit[-1] == ' ';
        const char after = hit[nameLength];
        if (startsToken && (after == '\0' || after == ' '))
            return true;
    }
    return false;
}
