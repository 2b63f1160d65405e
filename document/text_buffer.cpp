#include "document/text_buffer.h"

#include <cstdlib>
#include <cstring>

TextBuffer::~TextBuffer()
{
    std::free(data_);
}

bool TextBuffer::Reserve(std::size_t length)
{
    if (failed_)
        return false;
    if (length + 1 <= capacity_)
        return true;
    std::size_t capacity = capacity_ != 0 ? capacity_ : 256;
    while (capacity < length + 1)
        capacity *= 2;
    char* grown = static_cast<char*>(std::realloc(data_, capacity));
    if (grown == nullptr) {
        failed_ = true;
        return false;
    }
    data_ = grown;
    capacity_ = capacity;
    return true;
}

void TextBuffer::Append(const char* text, std::size_t length)
{
    if (!Reserve(length_ + length))
        return;
    std::memcpy(data_ + length_, text, length);
    length_ += length;
    data_[length_] = '\0';
}

void TextBuffer::Append(const char* text)
{
    if (text != nullptr)
        Append(text, std::strlen(text));
}

void TextBuffer::AppendNumber(long value)
{
    char digits[24];
    std::size_t count = 0;
    unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value)
                                        : static_cast<unsigned long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        AppendChar('-');
    while (count > 0)
        AppendChar(digits[--count]);
}

void TextBuffer::AppendDecimal(double value, int decimals)
{
    if (value < 0) {
        AppendChar('-');
        value = -value;
    }
    long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    value = value * static_cast<double>(scale) + 0.5;
    // The comparison is false for NaN too.
    const long units = value < 2e9 ? static_cast<long>(value) : 0;
    AppendNumber(units / scale);
    // The decimals with a digit before them, that digit then made the point.
    AppendNumber(units % scale + scale);
    if (!failed_)
        data_[length_ - static_cast<std::size_t>(decimals) - 1] = '.';
}

BoundedText& BoundedText::Append(const char* text)
{
    if (text == nullptr)
        return *this;
    while (*text != '\0' && length_ + 1 < capacity_)
        buffer_[length_++] = *text++;
    buffer_[length_] = '\0';
    return *this;
}
