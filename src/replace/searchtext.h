#pragma once

#include "platform/textcodec.h"

#include <QString>

#include <string_view>
#include <vector>

namespace replace {

// A stretch of a page's bytes as text to search, with where each of its UTF-16 units came
// from: a match in the text is a byte range of the page.
struct SearchText {
    QString text;
    std::vector<qint32> from; // the byte where each unit of `text` starts in the page
    qsizetype end = 0; // the byte after the stretch

    // The bytes of the units [first, last) of `text`: a reference decoded to one character
    // is taken whole.
    qsizetype byteBegin(qsizetype first) const { return from[size_t(first)]; }
    qsizetype byteEnd(qsizetype last) const;
};

// The bytes [begin, end) of `page` in its encoding; with `references`, character references
// ("&amp;", "&#233;", "&eacute;") are read as the browser shows them.
void readSearchText(std::string_view page, qsizetype begin, qsizetype end,
    platform::TextEncoding encoding, bool references, SearchText *into);

// The character that `reference` (from "&" to ";" or the last digit) stands for, or an empty
// string for none.
QString decodeReference(std::string_view reference);

// Whether a character counts as part of a word for "whole words".
bool isWordCharacter(char32_t c);

} // namespace replace
