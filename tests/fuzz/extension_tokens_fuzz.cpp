// Fuzzes the extension-string splitting and whole-name search against simple
// reference rules: the tokens joined by spaces give back the text (less one
// trailing space), and a name without spaces is found exactly when it is one
// of the tokens.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/extension_tokens.h"

static void Collect(void* context, const char* line)
{
    static_cast<std::vector<std::string>*>(context)->push_back(line);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks where the text ends and the name to look for begins.
    if (size == 0)
        return 0;
    const std::size_t split = 1 + data[0] % size;
    std::string text(reinterpret_cast<const char*>(data) + 1, split - 1);
    std::string name(reinterpret_cast<const char*>(data) + split, size - split);
    text = text.c_str();  // the program sees C strings: stop at a NUL
    name = name.c_str();

    std::vector<std::string> tokens;
    ForEachExtensionToken(text.c_str(), Collect, &tokens);

    std::string joined;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].find(' ') != std::string::npos)
            std::abort();
        joined += tokens[i];
        if (i + 1 < tokens.size())
            joined += ' ';
    }
    std::string expected = text;
    if (!tokens.empty() && expected.size() > joined.size())
        expected.pop_back();  // the trailing space that ends the last token
    if (joined != expected && !(tokens.empty() && text.empty()))
        std::abort();

    // Extension names hold no spaces; a name with one is outside the contract.
    if (name.find(' ') != std::string::npos)
        return 0;
    bool isToken = false;
    for (const std::string& token : tokens)
        isToken = isToken || (!name.empty() && token == name);
    if (ContainsWholeToken(text.c_str(), name.c_str()) != isToken)
        std::abort();
    return 0;
}
