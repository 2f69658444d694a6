#pragma once

// The HTML5 tokenizer with its parse errors: tags, text, comments and doctypes handed to a
// sink that builds the tree, every error said where its tag, attribute or reference starts.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace linkcheck::html {

struct TagAttribute {
    std::string name; // lower case
    std::string_view value; // as written, without quotes
    size_t offset = 0; // of the name
};

struct Tag {
    std::string name; // lower case
    bool end = false;
    bool selfClosing = false;
    size_t offset = 0; // of the "<"
    std::vector<TagAttribute> attributes; // each name once, the first kept
};

class TokenSink
{
public:
    virtual ~TokenSink() = default;
    virtual void problem(size_t offset, std::string_view rule, std::string message) = 0;
    virtual void doctype(size_t offset, std::string_view text) = 0; // between "<!doctype" and ">"
    // True when the tag opened an HTML element: then its raw text, if it has some, follows.
    virtual bool tag(const Tag &tag) = 0;
    virtual void text(size_t offset, std::string_view text) = 0;
    virtual void comment(size_t offset) = 0;
    virtual void endOfFile(size_t offset) = 0;
    virtual bool inForeignContent() const = 0;
};

void tokenize(std::string_view text, TokenSink &sink);

// "“name”": how messages quote names.
std::string quoted(std::string_view name);

} // namespace linkcheck::html
