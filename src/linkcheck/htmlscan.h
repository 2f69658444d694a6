#pragma once

// The HTML5 tokenizer's reading of a page, down to what a link check needs: start tags with
// their attributes (references decoded) and the text of style elements; comments, script
// text, text-only elements and end tags are passed over as the browser passes them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace linkcheck {

struct HtmlAttribute {
    std::string_view name; // lower case
    std::string_view value; // references decoded, line breaks as the browser reads them
    std::string_view source; // as in the text, without quotes
    size_t sourceOffset = 0; // where `source` starts in the text
};

class HtmlElements
{
public:
    virtual ~HtmlElements() = default;
    // An element with its tag name in lower case; each attribute once (the first wins).
    virtual void element(std::string_view tag, const std::vector<HtmlAttribute> &attributes) = 0;
    // The text of a style element, at this offset in the page.
    virtual void styleText(std::string_view css, size_t offset) = 0;
};

// `text` is UTF-8.
void scanHtml(std::string_view text, HtmlElements &into);

// An attribute value as gumbo decodes it (`quote` is 0 for an unquoted value): for the
// references the scanner does not decode on its own.
std::string decodeAttributeWithGumbo(std::string_view source, char quote);

} // namespace linkcheck
