#include "compare/json_document.h"

#include <cstdlib>
#include <cstring>

#include "compare/json_tokens.h"

namespace {

const char kNotJson[] = "not JSON: ";

bool Fail(JsonError& error, std::size_t offset, const char* message, const char* more = nullptr)
{
    error.offset = offset;
    error.message.Append(message);
    error.message.Append(more);
    return false;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// "'x'" for a printable character, else "byte 0xNN".
void DescribeByte(TextBuffer& out, unsigned char c)
{
    static const char kHex[] = "0123456789abcdef";
    if (c > 0x20 && c < 0x7F) {
        const char quoted[4] = {'\'', static_cast<char>(c), '\'', '\0'};
        out.Append(quoted);
    } else {
        const char hex[10] = {'b', 'y', 't', 'e', ' ', '0', 'x', kHex[c >> 4], kHex[c & 15], '\0'};
        out.Append(hex);
    }
}

bool FailAtByte(JsonError& error, const char* text, std::size_t offset, const char* what)
{
    Fail(error, offset, kNotJson, what);
    DescribeByte(error.message, static_cast<unsigned char>(text[offset]));
    return false;
}

// The first byte of a token's text: a string's opening quote.
std::size_t TokenBegin(const jsmntok_t& token)
{
    return static_cast<std::size_t>(token.type == JSMN_STRING ? token.start - 1 : token.start);
}

// Whitespace from from to to, holding separator once when it is not 0.
bool CheckGap(const char* text, std::size_t from, std::size_t to, char separator, JsonError& error)
{
    if (to < from)
        return Fail(error, to, kNotJson, "a value out of place");
    const char expected[] = {'\'', separator, '\'', ' ', 'e', 'x', 'p', 'e', 'c', 't', 'e', 'd', '\0'};
    bool seen = separator == 0;
    for (std::size_t i = from; i < to; ++i) {
        if (IsSpace(text[i]))
            continue;
        if (!seen && text[i] == separator) {
            seen = true;
            continue;
        }
        if (seen)
            return FailAtByte(error, text, i, "unexpected ");
        Fail(error, i, kNotJson, expected);
        error.message.Append(", not ");
        DescribeByte(error.message, static_cast<unsigned char>(text[i]));
        return false;
    }
    return seen || Fail(error, to, kNotJson, expected);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Four hex digits at text, or -1.
long ReadHex4(const char* text, std::size_t available)
{
    if (available < 4)
        return -1;
    long value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

char* PutUtf8(char* out, unsigned long code)
{
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (code >> 18));
        *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// The length of the well-formed UTF-8 sequence at text (at most available
// bytes), or 0.
std::size_t Utf8Length(const unsigned char* text, std::size_t available)
{
    const unsigned char lead = text[0];
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (available < length || text[1] < low || text[1] > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (text[i] < 0x80 || text[i] > 0xBF)
            return 0;
    }
    return length;
}

// Checks a string's bytes and escapes, and writes its decoded UTF-8 at out.
// Returns the end of what it wrote, or null with the error.
char* DecodeString(const char* text, std::size_t start, std::size_t end, char* out, JsonError& error)
{
    static const char kSimple[] = "\"\\/bfnrt";
    static const char kMeans[] = "\"\\/\b\f\n\r\t";
    for (std::size_t i = start; i < end;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20) {
            Fail(error, i, kNotJson, "a control character in a string");
            return nullptr;
        }
        if (c >= 0x80) {
            const std::size_t length = Utf8Length(reinterpret_cast<const unsigned char*>(text) + i, end - i);
            if (length == 0) {
                Fail(error, i, kNotJson, "bytes that are not UTF-8 in a string");
                return nullptr;
            }
            std::memcpy(out, text + i, length);
            out += length;
            i += length;
            continue;
        }
        if (c != '\\') {
            *out++ = static_cast<char>(c);
            ++i;
            continue;
        }
        const char* simple = i + 1 < end ? std::strchr(kSimple, text[i + 1]) : nullptr;
        if (simple != nullptr && *simple != '\0') {
            *out++ = kMeans[simple - kSimple];
            i += 2;
            continue;
        }
        const long unit = i + 1 < end && text[i + 1] == 'u' ? ReadHex4(text + i + 2, end - i - 2) : -1;
        if (unit < 0) {
            Fail(error, i, kNotJson, "an invalid escape in a string");
            return nullptr;
        }
        i += 6;
        unsigned long code = static_cast<unsigned long>(unit);
        // A surrogate pair is one character; a lone surrogate stays as it is.
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < end && text[i] == '\\' && text[i + 1] == 'u') {
            const long low = ReadHex4(text + i + 2, end - i - 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<unsigned long>(low) - 0xDC00);
                i += 6;
            }
        }
        out = PutUtf8(out, code);
    }
    return out;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether text[0, length) is a JSON number.
bool IsNumber(const char* text, std::size_t length)
{
    std::size_t i = 0;
    if (i < length && text[i] == '-')
        ++i;
    if (i < length && text[i] == '0') {
        ++i;
    } else if (i < length && IsDigit(text[i])) {
        while (i < length && IsDigit(text[i]))
            ++i;
    } else {
        return false;
    }
    if (i < length && text[i] == '.') {
        if (++i >= length || !IsDigit(text[i]))
            return false;
        while (i < length && IsDigit(text[i]))
            ++i;
    }
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < length && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (i >= length || !IsDigit(text[i]))
            return false;
        while (i < length && IsDigit(text[i]))
            ++i;
    }
    return i == length;
}

// What jsmn refused at offset, said as well as the byte there tells.
bool DescribeInvalid(const char* text, std::size_t length, std::size_t offset, JsonError& error)
{
    if (offset >= length)
        return Fail(error, length, kNotJson, "an invalid value");
    const char c = text[offset];
    if (c == '"') {
        // A string with a bad escape: find the escape.
        for (std::size_t i = offset + 1; i < length && text[i] != '"'; ++i) {
            if (text[i] != '\\')
                continue;
            if (i + 1 < length && std::strchr("\"\\/bfnrt", text[i + 1]) != nullptr && text[i + 1] != '\0') {
                ++i;
                continue;
            }
            if (i + 1 < length && text[i + 1] == 'u' && ReadHex4(text + i + 2, length - i - 2) >= 0) {
                i += 5;
                continue;
            }
            return Fail(error, i, kNotJson, "an invalid escape in a string");
        }
        return FailAtByte(error, text, offset, "unexpected ");
    }
    if (c == '}' || c == ']')
        return FailAtByte(error, text, offset, "a bracket that closes nothing open: ");
    // A primitive with a byte no primitive has.
    for (std::size_t i = offset; i < length && !IsSpace(text[i]) && std::strchr(",]}", text[i]) == nullptr;
         ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x20 || b >= 0x7F || std::strchr("-+.0123456789eEtrufalsn", text[i]) == nullptr)
            return FailAtByte(error, text, i, "unexpected ");
    }
    return FailAtByte(error, text, offset, "unexpected ");
}

// Whether arrays and objects nest deeper than kJsonMaxDepth, and where; read
// as jsmn reads it (strings to their closing quote, primitives to the next
// delimiter). NOTE: jsmn closes a container by walking up from the last token,
// so text nested N deep costs it N * N steps: 100,000 brackets take seconds.
bool NestsTooDeep(const char* text, std::size_t length, std::size_t& offset)
{
    int depth = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == '"') {
            for (++i; i < length && text[i] != '"'; ++i)
                i += text[i] == '\\' ? 1 : 0;
        } else if (c == '{' || c == '[') {
            if (++depth > kJsonMaxDepth) {
                offset = i;
                return true;
            }
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (!IsSpace(c) && c != ',' && c != ':') {
            while (i + 1 < length && !IsSpace(text[i + 1]) && std::strchr(",]}", text[i + 1]) == nullptr)
                ++i;
        }
    }
    return false;
}

struct MergeContext {
    int (*order)(int, int, const void*);
    const void* context;
};

void MergeSort(int* items, int* scratch, int count, const MergeContext& how)
{
    if (count < 2)
        return;
    const int half = count / 2;
    MergeSort(items, scratch, half, how);
    MergeSort(items + half, scratch, count - half, how);
    int a = 0, b = half, out = 0;
    while (a < half && b < count)
        scratch[out++] = how.order(items[b], items[a], how.context) < 0 ? items[b++] : items[a++];
    while (a < half)
        scratch[out++] = items[a++];
    while (b < count)
        scratch[out++] = items[b++];
    std::memcpy(items, scratch, sizeof(int) * static_cast<std::size_t>(count));
}

// A JSON number as 0.DIGITS x 10^exponent, its digits those from the first to
// the last that is not 0: numbers compare by value without a conversion.
struct Decimal {
    Decimal(const char* text, std::size_t length)
    {
        negative = length > 0 && text[0] == '-';
        std::size_t i = negative ? 1 : 0;
        mantissa = text + i;
        while (i < length && text[i] != 'e' && text[i] != 'E')
            ++i;
        mantissaLength = static_cast<std::size_t>(text + i - mantissa);
        long long exponent10 = 0;
        if (i < length) {
            bool minus = false;
            ++i;
            if (i < length && (text[i] == '+' || text[i] == '-'))
                minus = text[i++] == '-';
            for (; i < length; ++i) {
                if (exponent10 < 1000000000)
                    exponent10 = exponent10 * 10 + (text[i] - '0');
            }
            exponent10 = minus ? -exponent10 : exponent10;
        }
        const char* dot = static_cast<const char*>(std::memchr(mantissa, '.', mantissaLength));
        point = dot != nullptr ? static_cast<std::size_t>(dot - mantissa) : mantissaLength;
        digitCount = mantissaLength - (dot != nullptr ? 1 : 0);
        first = 0;
        while (first < digitCount && Digit(first) == '0')
            ++first;
        last = digitCount;
        while (last > first && Digit(last - 1) == '0')
            --last;
        zero = first == digitCount;
        exponent = exponent10 + static_cast<long long>(point) - static_cast<long long>(first);
    }

    char Digit(std::size_t k) const { return mantissa[k < point ? k : k + 1]; }

    bool negative;
    bool zero;
    const char* mantissa;
    std::size_t mantissaLength;
    std::size_t point;       // the digits before the decimal point
    std::size_t digitCount;  // the mantissa's digits, without the point
    std::size_t first;       // the first digit that is not 0
    std::size_t last;        // one after the last digit that is not 0
    long long exponent;
};

int CompareNumbers(const Decimal& a, const Decimal& b)
{
    if (a.zero || b.zero)
        return a.zero && b.zero ? 0 : a.zero ? (b.negative ? 1 : -1) : (a.negative ? -1 : 1);
    if (a.negative != b.negative)
        return a.negative ? -1 : 1;
    // The magnitudes' order, turned round for negative numbers.
    const int sign = a.negative ? -1 : 1;
    if (a.exponent != b.exponent)
        return a.exponent < b.exponent ? -sign : sign;
    std::size_t i = a.first, j = b.first;
    for (; i < a.last && j < b.last; ++i, ++j) {
        if (a.Digit(i) != b.Digit(j))
            return a.Digit(i) < b.Digit(j) ? -sign : sign;
    }
    if (i < a.last)
        return sign;
    return j < b.last ? -sign : 0;
}

int NameOrder(int a, int b, const void* context)
{
    const JsonDocument& document = *static_cast<const JsonDocument*>(context);
    return CompareJsonStrings(document, a, document, b);
}

}  // namespace

bool SortIndices(int* items, int count, int (*order)(int a, int b, const void* context), const void* context)
{
    if (count < 2)
        return true;
    int* scratch = static_cast<int*>(std::malloc(sizeof(int) * static_cast<std::size_t>(count)));
    if (scratch == nullptr)
        return false;
    MergeSort(items, scratch, count, MergeContext{order, context});
    std::free(scratch);
    return true;
}

JsonDocument::~JsonDocument()
{
    std::free(text_);
    std::free(nodes_);
    std::free(children_);
    std::free(sorted_);
    std::free(strings_);
}

bool JsonDocument::Load(const char* text, std::size_t length, JsonError& error)
{
    // jsmn counts in int; the reader's files are far smaller.
    if (length > 0x7FFFFF00)
        return Fail(error, 0, "too large to read");
    // A line feed after the text ends a number or literal at the top level.
    text_ = static_cast<char*>(std::malloc(length + 2));
    strings_ = static_cast<char*>(std::malloc(length + 1));
    if (text_ == nullptr || strings_ == nullptr)
        return Fail(error, 0, "out of memory");
    std::memcpy(text_, text, length);
    text_[length] = '\n';
    text_[length + 1] = '\0';
    // jsmn would take a NUL for the end of the text.
    const void* nul = std::memchr(text_, '\0', length);
    if (nul != nullptr)
        return FailAtByte(error, text_, static_cast<std::size_t>(static_cast<const char*>(nul) - text_), "");

    std::size_t deep = 0;
    if (NestsTooDeep(text_, length, deep))
        return Fail(error, deep, "nested more than 64 levels deep");

    jsmn_parser parser;
    jsmn_init(&parser);
    unsigned int capacity = 64 + static_cast<unsigned int>(length / 16);
    jsmntok_t* tokens = nullptr;
    int result = JSMN_ERROR_NOMEM;
    while (result == JSMN_ERROR_NOMEM) {
        jsmntok_t* grown = static_cast<jsmntok_t*>(std::realloc(tokens, sizeof(jsmntok_t) * capacity));
        if (grown == nullptr) {
            std::free(tokens);
            return Fail(error, parser.pos, "out of memory");
        }
        tokens = grown;
        result = jsmn_parse(&parser, text_, length + 1, tokens, capacity);
        if (capacity > 0x7FFFFFFF / sizeof(jsmntok_t) / 2)
            break;
        capacity *= 2;
    }
    bool ok = false;
    const int count = static_cast<int>(parser.toknext);
    if (result == JSMN_ERROR_INVAL) {
        DescribeInvalid(text_, length, parser.pos, error);
    } else if (result == JSMN_ERROR_PART) {
        Fail(error, length, "truncated: the text ends inside a value");
    } else if (result < 0) {
        Fail(error, parser.pos, "out of memory");
    } else if (count == 0) {
        Fail(error, length, "not JSON: no value");
    } else {
        nodes_ = static_cast<Node*>(std::calloc(static_cast<std::size_t>(count), sizeof(Node)));
        ok = nodes_ != nullptr ? Check(tokens, count, error) && Index(tokens, count, error)
                               : Fail(error, 0, "out of memory");
    }
    std::free(tokens);
    return ok;
}

// Every byte between the tokens, every string and every primitive; records
// each value's kind and decodes the strings.
bool JsonDocument::Check(const void* tokenArray, int count, JsonError& error)
{
    const jsmntok_t* tokens = static_cast<const jsmntok_t*>(tokenArray);
    struct Frame {
        bool object;
        int items;
        std::size_t end;
    };
    Frame stack[kJsonMaxDepth];
    int depth = 0;
    std::size_t cursor = 0;
    char* decoded = strings_;
    const std::size_t textEnd = std::strlen(text_);
    for (int i = 0; i <= count; ++i) {
        const std::size_t begin = i < count ? TokenBegin(tokens[i]) : textEnd;
        // The containers that close before this token.
        while (depth > 0 && (i == count || stack[depth - 1].end <= begin)) {
            const Frame& frame = stack[depth - 1];
            if (!CheckGap(text_, cursor, frame.end - 1, 0, error))
                return false;
            if (frame.object && frame.items % 2 == 1)
                return Fail(error, frame.end - 1, kNotJson, "a member name without a value");
            cursor = frame.end;
            --depth;
        }
        if (i == count)
            break;
        const jsmntok_t& token = tokens[i];
        char separator = 0;
        if (depth == 0 && i > 0)
            return Fail(error, begin, kNotJson, "more text after the value");
        if (depth > 0) {
            Frame& frame = stack[depth - 1];
            const bool name = frame.object && frame.items % 2 == 0;
            if (name && token.type != JSMN_STRING)
                return Fail(error, begin, kNotJson, "a member name that is not a string");
            separator = frame.object && !name ? ':' : frame.items > 0 ? ',' : 0;
            ++frame.items;
        }
        if (!CheckGap(text_, cursor, begin, separator, error))
            return false;
        Node& node = nodes_[i];
        node.begin = static_cast<int>(begin);
        const std::size_t start = static_cast<std::size_t>(token.start);
        const std::size_t end = static_cast<std::size_t>(token.end);
        if (token.type == JSMN_OBJECT || token.type == JSMN_ARRAY) {
            if (depth == kJsonMaxDepth)
                return Fail(error, begin, "nested more than 64 levels deep");
            node.kind = token.type == JSMN_OBJECT ? kJsonObject : kJsonArray;
            stack[depth++] = Frame{token.type == JSMN_OBJECT, 0, end};
            cursor = begin + 1;
        } else if (token.type == JSMN_STRING) {
            char* next = DecodeString(text_, start, end, decoded, error);
            if (next == nullptr)
                return false;
            node.kind = kJsonString;
            node.first = static_cast<int>(decoded - strings_);
            node.count = static_cast<int>(next - decoded);
            decoded = next;
            cursor = end + 1;
        } else {
            const char* primitive = text_ + start;
            const std::size_t length = end - start;
            if (length == 4 && std::memcmp(primitive, "null", 4) == 0) {
                node.kind = kJsonNull;
            } else if ((length == 4 && std::memcmp(primitive, "true", 4) == 0) ||
                       (length == 5 && std::memcmp(primitive, "false", 5) == 0)) {
                node.kind = kJsonBoolean;
            } else if (IsNumber(primitive, length)) {
                node.kind = kJsonNumber;
                node.count = static_cast<int>(length);
            } else {
                return Fail(error, begin, kNotJson, "an invalid number or literal");
            }
            cursor = end;
        }
    }
    return CheckGap(text_, cursor, textEnd, 0, error);
}

// Each container's children in order, and each object's names sorted;
// refuses a name an object has twice.
bool JsonDocument::Index(const void* tokenArray, int count, JsonError& error)
{
    const jsmntok_t* tokens = static_cast<const jsmntok_t*>(tokenArray);
    children_ = static_cast<int*>(std::malloc(sizeof(int) * static_cast<std::size_t>(count)));
    sorted_ = static_cast<int*>(std::malloc(sizeof(int) * static_cast<std::size_t>(count)));
    if (children_ == nullptr || sorted_ == nullptr)
        return Fail(error, 0, "out of memory");
    // Arrays hold their items, objects their names; a value's parent is its name.
    int next = 0;
    for (int i = 0; i < count; ++i) {
        if (nodes_[i].kind == kJsonArray || nodes_[i].kind == kJsonObject) {
            nodes_[i].first = next;
            next += tokens[i].size;
        }
    }
    for (int i = 1; i < count; ++i) {
        const int parent = tokens[i].parent;
        if (parent < 0 || (nodes_[parent].kind != kJsonArray && nodes_[parent].kind != kJsonObject))
            continue;
        Node& container = nodes_[parent];
        if (container.count >= tokens[parent].size)
            return Fail(error, nodes_[i].begin, kNotJson, "a value out of place");
        children_[container.first + container.count++] = i;
    }
    std::memcpy(sorted_, children_, sizeof(int) * static_cast<std::size_t>(next));
    for (int i = 0; i < count; ++i) {
        const Node& node = nodes_[i];
        if (node.kind != kJsonObject)
            continue;
        int* names = sorted_ + node.first;
        if (!SortIndices(names, node.count, NameOrder, this))
            return Fail(error, 0, "out of memory");
        for (int m = 1; m < node.count; ++m) {
            if (CompareJsonStrings(*this, names[m - 1], *this, names[m]) == 0) {
                Fail(error, Offset(names[m]), "a member name given twice in one object: \"");
                std::size_t length = 0;
                const char* name = String(names[m], length);
                AppendJsonEscaped(error.message, name, length);
                error.message.AppendChar('"');
                return false;
            }
        }
    }
    return true;
}

const char* JsonDocument::NumberText(int value, std::size_t& length) const
{
    length = static_cast<std::size_t>(nodes_[value].count);
    return text_ + nodes_[value].begin;
}

bool JsonDocument::IsInteger(int value) const
{
    std::size_t length = 0;
    const char* text = NumberText(value, length);
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '.' || text[i] == 'e' || text[i] == 'E')
            return false;
    }
    return true;
}

const char* JsonDocument::String(int value, std::size_t& length) const
{
    length = static_cast<std::size_t>(nodes_[value].count);
    return strings_ + nodes_[value].first;
}

int JsonDocument::Find(int object, const char* name) const
{
    const std::size_t length = std::strlen(name);
    int low = 0, high = Count(object);
    while (low < high) {
        const int middle = (low + high) / 2;
        const int key = SortedMemberName(object, middle);
        std::size_t keyLength = 0;
        const char* keyText = String(key, keyLength);
        const std::size_t common = keyLength < length ? keyLength : length;
        int order = std::memcmp(keyText, name, common);
        if (order == 0)
            order = keyLength < length ? -1 : keyLength > length ? 1 : 0;
        if (order == 0)
            return key + 1;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return -1;
}

int CompareJsonStrings(const JsonDocument& a, int x, const JsonDocument& b, int y)
{
    std::size_t lengthA = 0, lengthB = 0;
    const char* textA = a.String(x, lengthA);
    const char* textB = b.String(y, lengthB);
    const int order = std::memcmp(textA, textB, lengthA < lengthB ? lengthA : lengthB);
    if (order != 0)
        return order < 0 ? -1 : 1;
    return lengthA < lengthB ? -1 : lengthA > lengthB ? 1 : 0;
}

int CompareJsonValues(const JsonDocument& a, int x, const JsonDocument& b, int y)
{
    const JsonKind kind = a.Kind(x);
    if (kind != b.Kind(y))
        return kind < b.Kind(y) ? -1 : 1;
    switch (kind) {
    case kJsonNull:
        return 0;
    case kJsonBoolean:
        return a.Boolean(x) == b.Boolean(y) ? 0 : a.Boolean(x) ? 1 : -1;
    case kJsonNumber: {
        std::size_t lengthA = 0, lengthB = 0;
        const char* textA = a.NumberText(x, lengthA);
        const char* textB = b.NumberText(y, lengthB);
        return CompareNumbers(Decimal(textA, lengthA), Decimal(textB, lengthB));
    }
    case kJsonString:
        return CompareJsonStrings(a, x, b, y);
    case kJsonArray:
    case kJsonObject:
        break;
    }
    if (a.Count(x) != b.Count(y))
        return a.Count(x) < b.Count(y) ? -1 : 1;
    for (int i = 0; i < a.Count(x); ++i) {
        int order;
        if (kind == kJsonArray) {
            order = CompareJsonValues(a, a.Item(x, i), b, b.Item(y, i));
        } else {
            const int nameA = a.SortedMemberName(x, i), nameB = b.SortedMemberName(y, i);
            order = CompareJsonStrings(a, nameA, b, nameB);
            if (order == 0)
                order = CompareJsonValues(a, nameA + 1, b, nameB + 1);
        }
        if (order != 0)
            return order;
    }
    return 0;
}

void AppendJsonEscaped(TextBuffer& out, const char* bytes, std::size_t length)
{
    static const char kHex[] = "0123456789abcdef";
    const unsigned char* text = reinterpret_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < length;) {
        unsigned long code = text[i];
        std::size_t extra = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
        if (extra > length - i - 1)
            extra = 0;
        if (extra > 0)
            code &= 0x3F >> extra;
        for (std::size_t k = 1; k <= extra; ++k)
            code = (code << 6) | (text[i + k] & 0x3F);
        i += 1 + extra;
        if (code == '"' || code == '\\') {
            out.AppendChar('\\');
            out.AppendChar(static_cast<char>(code));
        } else if (code == '\n') {
            out.Append("\\n");
        } else if (code == '\r') {
            out.Append("\\r");
        } else if (code == '\t') {
            out.Append("\\t");
        } else if (code >= 0x20 && code < 0x7F) {
            out.AppendChar(static_cast<char>(code));
        } else {
            unsigned long units[2] = {code, 0};
            int count = 1;
            if (code >= 0x10000) {
                units[0] = 0xD800 + ((code - 0x10000) >> 10);
                units[1] = 0xDC00 + ((code - 0x10000) & 0x3FF);
                count = 2;
            }
            for (int u = 0; u < count; ++u) {
                const char escape[7] = {'\\', 'u', kHex[(units[u] >> 12) & 15], kHex[(units[u] >> 8) & 15],
                                        kHex[(units[u] >> 4) & 15], kHex[units[u] & 15], '\0'};
                out.Append(escape);
            }
        }
    }
}

void AppendJsonValue(TextBuffer& out, const JsonDocument& document, int value)
{
    std::size_t length = 0;
    switch (document.Kind(value)) {
    case kJsonNull:
        out.Append("null");
        return;
    case kJsonBoolean:
        out.Append(document.Boolean(value) ? "true" : "false");
        return;
    case kJsonNumber: {
        const char* text = document.NumberText(value, length);
        out.Append(text, length);
        return;
    }
    case kJsonString: {
        const char* text = document.String(value, length);
        out.AppendChar('"');
        AppendJsonEscaped(out, text, length);
        out.AppendChar('"');
        return;
    }
    case kJsonArray:
        out.AppendChar('[');
        for (int i = 0; i < document.Count(value); ++i) {
            if (i > 0)
                out.AppendChar(',');
            AppendJsonValue(out, document, document.Item(value, i));
        }
        out.AppendChar(']');
        return;
    case kJsonObject:
        out.AppendChar('{');
        for (int i = 0; i < document.Count(value); ++i) {
            if (i > 0)
                out.AppendChar(',');
            AppendJsonValue(out, document, document.MemberName(value, i));
            out.AppendChar(':');
            AppendJsonValue(out, document, document.MemberValue(value, i));
        }
        out.AppendChar('}');
        return;
    }
}
