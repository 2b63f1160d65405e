// The members of a report this program knows, by path ("pixelFormat.index",
// "limits[].values[]": "[]" for an array's items): their types, and for arrays
// of objects the member that tells their items apart.
#pragma once

#include <cstddef>

#include "compare/json_document.h"

enum : unsigned {
    kTypeNull = 1,
    kTypeBoolean = 2,
    kTypeInteger = 4,
    kTypeString = 8,
    kTypeArray = 16,
    kTypeObject = 32,
    // A number with a fraction or exponent: a known member of kTypeNumber
    // takes it, and an integer alike.
    kTypeFraction = 64,
    kTypeNumber = kTypeInteger | kTypeFraction,
};

struct KnownMember {
    const char* path;
    unsigned types;
    // Arrays of objects: the member whose value names an item (null: none).
    const char* key;
};

// The path of a value while a document is walked. A path too long for it is
// not a known one.
class MemberPath {
public:
    void PushName(const char* bytes, std::size_t length);
    void PushItem() { PushName(nullptr, 0); }
    void Pop();
    // The path, or null when it did not fit.
    const char* Text() const { return overflow_ == 0 ? text_ : nullptr; }

private:
    char text_[160] = {};
    std::size_t length_ = 0;
    std::size_t saved_[kJsonMaxDepth + 1] = {};
    int depth_ = 0;
    int overflow_ = 0;
};

// The known member at path, or null.
const KnownMember* FindKnownMember(const MemberPath& path);

// The type of a value: a number is kTypeInteger or kTypeFraction.
unsigned JsonTypeOf(const JsonDocument& document, int value);
// "an integer or null", for messages.
void AppendTypeNames(TextBuffer& out, unsigned types);
