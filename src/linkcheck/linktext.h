#pragma once

// Where links lie inside attribute values and style sheets, and where that is in the page:
// plain byte work on UTF-8 text, without Qt strings.
#include <cstddef>
#include <string_view>
#include <vector>

namespace linkcheck {

// A piece of a text by byte offset.
struct Span {
    size_t start = 0;
    size_t length = 0;
};

// The value without the blanks HTML allows around a URL.
Span trimmedSpan(std::string_view value);

// The URL of each candidate of a srcset value, in order.
std::vector<Span> srcsetUrls(std::string_view value);

struct CssLink {
    Span span; // inside url(...) or the @import string, without quotes or blanks
    bool import = false;
};

// The url(...) and @import links of style sheet text; comments and other strings are skipped.
std::vector<CssLink> cssLinks(std::string_view css);

// Where the character at `decodedOffset` of an attribute value came from in its source text
// (`source` without the quotes): character references, CR LF pairs and NUL bytes make the
// two differ.
size_t sourceOffset(std::string_view source, std::string_view decoded, size_t decodedOffset);

// 1-based line and column (in characters) of byte offsets into one text, asked for in mostly
// rising order: a page of one 10 MB line must not be counted again for every link.
class TextPositions
{
public:
    explicit TextPositions(std::string_view text)
        : m_text(text)
    { }

    struct Position {
        int line = 1;
        int column = 1;
    };
    Position at(size_t offset);

private:
    std::string_view m_text;
    size_t m_offset = 0;
    Position m_position;
    bool m_carriageKnown = false;
    size_t m_carriage = 0; // the first CR at or after m_offset, or the text's end
};

} // namespace linkcheck
