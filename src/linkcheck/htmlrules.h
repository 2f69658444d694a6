#pragma once

// What the HTML standard's element index says of each element, as data: its categories, its
// content model, its own attributes, and what the parser treats specially.
#include <cstddef>
#include <string_view>

namespace linkcheck::html {

enum Category : unsigned {
    Flow = 1u << 0,
    Phrasing = 1u << 1,
    Metadata = 1u << 2,
    Interactive = 1u << 3,
    Heading = 1u << 4,
    ScriptSupporting = 1u << 5, // allowed wherever elements are
    Void = 1u << 6, // no end tag, no content
    Special = 1u << 7, // the parser's "special" elements
    Formatting = 1u << 8, // the parser's formatting elements
    ImpliedEnd = 1u << 9, // closed by the parser without an end tag
    ScopeBoundary = 1u << 10, // ends the parser's default scope
    TablePart = 1u << 11, // closed silently by the end tag of its table, section or row
    ClosesParagraph = 1u << 12, // a start tag that closes an open p
    RawText = 1u << 13, // text up to its end tag, no markup
};

enum class Model : unsigned char {
    Flow, // flow content, and `children`
    Phrasing, // phrasing content, and `children`
    Metadata, // metadata content
    Children, // only `children` (and script-supporting elements)
    Transparent, // what its parent allows, and `children`
    Text, // text only
    Empty, // nothing
    Any,
};

struct ElementRule {
    std::string_view name;
    unsigned categories = 0;
    Model model = Model::Flow;
    std::string_view children; // space-separated names
    std::string_view attributes; // its own attributes, besides the global ones
    std::string_view required; // attributes it must have; "a|b": one of them
    std::string_view requiredChild; // an element it must hold
    std::string_view obsolete; // what to use instead, when the element is obsolete
};

// The element's rule, or nullptr for an element HTML does not define.
const ElementRule *elementRule(std::string_view name);
// Rules by number, 0 to elementRuleCount() - 1.
size_t elementRuleCount();
size_t elementIndex(const ElementRule *rule);

// What to use instead of the attribute on the element, or empty when it is not obsolete there.
std::string_view obsoleteAttributeAdvice(std::string_view element, std::string_view attribute);

// Allowed on every HTML element: the global attributes, event handlers, data-*, aria-*, and
// the RDFa attributes.
bool isGlobalAttribute(std::string_view name);

// Is `word` one of the space-separated words of `list`?
bool hasWord(std::string_view list, std::string_view word);

} // namespace linkcheck::html
