// A JSON text held as a tree of values: tokenized by jsmn, then checked
// strictly (separators, numbers, literals, UTF-8, nesting, repeated member
// names) and its strings decoded to UTF-8. Values are numbered; 0 is the top.
#pragma once

#include <cstddef>

#include "document/text_buffer.h"

enum JsonKind { kJsonNull, kJsonBoolean, kJsonNumber, kJsonString, kJsonArray, kJsonObject };

// How deep arrays and objects may nest; a report needs four levels.
constexpr int kJsonMaxDepth = 64;

// Why a text is not one the reader takes, and the byte where that shows.
struct JsonError {
    std::size_t offset = 0;
    TextBuffer message;
};

class JsonDocument {
public:
    JsonDocument() = default;
    ~JsonDocument();
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    // Reads length bytes of text (a copy is kept), once for a document. False
    // with the reason when they are not one JSON value, or memory ran out.
    bool Load(const char* text, std::size_t length, JsonError& error);

    JsonKind Kind(int value) const { return static_cast<JsonKind>(nodes_[value].kind); }
    // Where the value starts in the text (a string's opening quote).
    std::size_t Offset(int value) const { return static_cast<std::size_t>(nodes_[value].begin); }
    bool Boolean(int value) const { return text_[nodes_[value].begin] == 't'; }
    // A number as the text writes it.
    const char* NumberText(int value, std::size_t& length) const;
    // Whether a number is written without fraction or exponent.
    bool IsInteger(int value) const;
    // A string's decoded bytes (UTF-8; not terminated).
    const char* String(int value, std::size_t& length) const;

    // The items of an array, or the members of an object, in the text's order
    // (none for other values).
    int Count(int value) const { return Kind(value) >= kJsonArray ? nodes_[value].count : 0; }
    int Item(int array, int i) const { return children_[nodes_[array].first + i]; }
    // A member's name (a string value) and its value.
    int MemberName(int object, int i) const { return children_[nodes_[object].first + i]; }
    int MemberValue(int object, int i) const { return MemberName(object, i) + 1; }
    // The i-th member in the order of the names' bytes.
    int SortedMemberName(int object, int i) const { return sorted_[nodes_[object].first + i]; }
    // The value of the member called name, or -1.
    int Find(int object, const char* name) const;

private:
    struct Node {
        unsigned char kind;
        int begin;   // the value's first byte in text_
        int first;   // containers: the first child in children_; strings: offset in strings_
        int count;   // containers: children; strings: decoded length; numbers: text length
    };

    bool Check(const void* tokens, int count, JsonError& error);
    bool Index(const void* tokens, int count, JsonError& error);

    char* text_ = nullptr;
    Node* nodes_ = nullptr;
    int* children_ = nullptr;
    int* sorted_ = nullptr;
    char* strings_ = nullptr;
};

// -1, 0 or 1: an order of values across two documents, 0 for equal ones
// (numbers by value, exactly; strings by bytes, objects whatever their members' order).
int CompareJsonValues(const JsonDocument& a, int x, const JsonDocument& b, int y);
// -1, 0 or 1 for the bytes of two decoded strings.
int CompareJsonStrings(const JsonDocument& a, int x, const JsonDocument& b, int y);

// A value as compact JSON in plain ASCII: what is not printable ASCII is
// written as \u escapes.
void AppendJsonValue(TextBuffer& out, const JsonDocument& document, int value);
// UTF-8 bytes as the inside of a JSON string, in plain ASCII.
void AppendJsonEscaped(TextBuffer& out, const char* bytes, std::size_t length);

// Sorts count ints in place by order(a, b, context) (negative: a first),
// keeping equal ones in their order. False when memory ran out.
bool SortIndices(int* items, int count, int (*order)(int a, int b, const void* context),
                 const void* context);
