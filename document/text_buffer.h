// A growable, always-terminated text buffer on the C heap, for output whose
// length is not known up front. No exceptions: a failed allocation marks the
// buffer as failed and later appends do nothing.
#pragma once

#include <cstddef>

class TextBuffer {
public:
    TextBuffer() = default;
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void Append(const char* text);
    void Append(const char* text, std::size_t length);
    void AppendChar(char c) { Append(&c, 1); }
    void AppendNumber(long value);
    // value rounded to decimals places (1 or more), all of them written:
    // "1234.5", "0.810". Beyond what a long holds at that scale (and NaN), 0.
    void AppendDecimal(double value, int decimals);

    // The text so far; "" before anything was appended.
    const char* Text() const { return data_ != nullptr ? data_ : ""; }
    std::size_t Length() const { return length_; }
    // False once an allocation failed: the text is then incomplete.
    bool Ok() const { return !failed_; }

private:
    bool Reserve(std::size_t length);

    char* data_ = nullptr;
    std::size_t length_ = 0;
    std::size_t capacity_ = 0;
    bool failed_ = false;
};

// Text built in a fixed buffer of the caller's, for the summary, the driver
// lines and other fields of a known size: what does not fit is cut, and the
// text always stays terminated.
class BoundedText {
public:
    // capacity counts the terminator and is at least 1.
    BoundedText(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity)
    {
        buffer_[0] = '\0';
    }

    // Appends text up to one byte short of the end; a null text appends nothing.
    BoundedText& Append(const char* text);
    std::size_t Length() const { return length_; }

private:
    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};
