#pragma once

// Where the parts of a page are, as the browser's HTML tokenizer reads it: the text between
// tags (not comments, scripts, styles or CDATA sections), attribute values, and the names of
// tags and attributes. Works on the bytes of any ASCII-compatible encoding (UTF-8, Latin-1).
#include <QtGlobal>

#include <string_view>
#include <vector>

namespace replace {

enum class RegionKind { Text, AttributeValue, TagName, AttributeName };

struct Region {
    RegionKind kind = RegionKind::Text;
    qsizetype begin = 0; // bytes of the page, never empty
    qsizetype end = 0;
    char quote = 0; // AttributeValue: '"' or '\'', 0 for an unquoted value
    qsizetype nameBegin = 0; // AttributeValue: its attribute's name, as written
    qsizetype nameEnd = 0;
};

// The regions in the order of the page. A byte order mark is no text; a tag cut off by the
// end of the page is no tag, and nothing after it is text (as the browser drops it).
std::vector<Region> htmlRegions(std::string_view page);

} // namespace replace
