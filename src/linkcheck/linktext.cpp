#include "linkcheck/linktext.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace linkcheck {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

size_t skipBlanks(std::string_view text, size_t at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

bool startsWithNoCase(std::string_view text, size_t at, std::string_view word)
{
    if (text.size() - at < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    return true;
}

bool isNameByte(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'
        || static_cast<unsigned char>(c) >= 0x80;
}

// The end of a CSS string that starts with its quote at `at`, past the closing quote.
size_t cssStringEnd(std::string_view css, size_t at)
{
    const char quote = css[at];
    for (size_t i = at + 1; i < css.size(); ++i) {
        if (css[i] == '\\')
            ++i;
        else if (css[i] == quote || css[i] == '\n')
            return i + 1;
    }
    return css.size();
}

// url( at `at` (after its opening parenthesis): the link inside, and where reading goes on.
size_t readCssUrl(std::string_view css, size_t at, std::vector<CssLink> &links, bool import)
{
    size_t start = skipBlanks(css, at);
    if (start < css.size() && (css[start] == '"' || css[start] == '\'')) {
        const size_t end = cssStringEnd(css, start);
        const size_t inner = end > start + 1 && css[end - 1] == css[start] ? end - 1 : end;
        links.push_back({ { start + 1, inner - start - 1 }, import });
        return end;
    }
    size_t end = start;
    while (end < css.size() && css[end] != ')')
        end += css[end] == '\\' && end + 1 < css.size() ? 2 : 1;
    end = std::min(end, css.size());
    size_t last = end;
    while (last > start && isBlank(css[last - 1]))
        --last;
    links.push_back({ { start, last - start }, import });
    return end;
}

// A character reference's length at `at` ("&amp;", "&#38;", "&#x26;"), 0 when none starts.
size_t referenceLength(std::string_view text, size_t at)
{
    size_t i = at + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex)
            ++i;
        const size_t digits = i;
        while (i < text.size()
            && (hex ? std::isxdigit(static_cast<unsigned char>(text[i]))
                    : std::isdigit(static_cast<unsigned char>(text[i]))))
            ++i;
        if (i == digits)
            return 0;
    } else {
        const size_t letters = i;
        while (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == letters)
            return 0;
    }
    if (i < text.size() && text[i] == ';')
        ++i;
    return i - at;
}

size_t characterLength(std::string_view text, size_t at)
{
    size_t end = at + 1;
    while (end < text.size() && isContinuationByte(text[end]))
        ++end;
    return end - at;
}

} // namespace

Span trimmedSpan(std::string_view value)
{
    size_t start = skipBlanks(value, 0);
    size_t end = value.size();
    while (end > start && isBlank(value[end - 1]))
        --end;
    return { start, end - start };
}

std::vector<Span> srcsetUrls(std::string_view value)
{
    // The candidate splitting of the HTML standard: blanks and commas between candidates, a
    // URL runs to the next blank, commas end it only at its end, descriptors run to a comma
    // outside parentheses.
    std::vector<Span> urls;
    size_t at = 0;
    while (at < value.size()) {
        while (at < value.size() && (isBlank(value[at]) || value[at] == ','))
            ++at;
        if (at >= value.size())
            break;
        const size_t start = at;
        while (at < value.size() && !isBlank(value[at]))
            ++at;
        size_t end = at;
        bool descriptors = true;
        while (end > start && value[end - 1] == ',') {
            --end;
            descriptors = false;
        }
        if (end > start)
            urls.push_back({ start, end - start });
        if (!descriptors)
            continue;
        int depth = 0;
        while (at < value.size() && (depth > 0 || value[at] != ',')) {
            depth += value[at] == '(' ? 1 : value[at] == ')' && depth > 0 ? -1 : 0;
            ++at;
        }
    }
    return urls;
}

std::vector<CssLink> cssLinks(std::string_view css)
{
    std::vector<CssLink> links;
    size_t at = 0;
    while (at < css.size()) {
        const char c = css[at];
        if (c == '/' && at + 1 < css.size() && css[at + 1] == '*') {
            const size_t end = css.find("*/", at + 2);
            at = end == std::string_view::npos ? css.size() : end + 2;
        } else if (c == '"' || c == '\'') {
            at = cssStringEnd(css, at);
        } else if (c == '\\') {
            at += 2;
        } else if (c == '@' && startsWithNoCase(css, at + 1, "import")) {
            at = skipBlanks(css, at + 7);
            if (at < css.size() && (css[at] == '"' || css[at] == '\'')) {
                const size_t end = cssStringEnd(css, at);
                const size_t inner = end > at + 1 && css[end - 1] == css[at] ? end - 1 : end;
                links.push_back({ { at + 1, inner - at - 1 }, true });
                at = end;
            } else if (startsWithNoCase(css, at, "url(")) {
                at = readCssUrl(css, at + 4, links, true);
            }
        } else if ((c == 'u' || c == 'U') && (at == 0 || !isNameByte(css[at - 1]))
            && startsWithNoCase(css, at, "url(")) {
            at = readCssUrl(css, at + 4, links, false);
        } else {
            ++at;
        }
    }
    return links;
}

size_t sourceOffset(std::string_view source, std::string_view decoded, size_t decodedOffset)
{
    size_t from = 0;
    size_t to = 0;
    while (to < decodedOffset && from < source.size() && to < decoded.size()) {
        const char c = source[from];
        const size_t reference = c == '&' ? referenceLength(source, from) : 0;
        if (reference > 0 && decoded.substr(to, reference) != source.substr(from, reference)) {
            from += reference;
            to += characterLength(decoded, to);
            // A few references stand for two characters.
            if (from < source.size() && to < decoded.size() && decoded[to] != source[from]
                && source[from] != '&' && source[from] != '\r' && source[from] != '\0')
                to += characterLength(decoded, to);
        } else if (c == '\r') {
            from += from + 1 < source.size() && source[from + 1] == '\n' ? 2 : 1;
            ++to;
        } else if (c == '\0') {
            ++from;
            to += characterLength(decoded, to);
        } else {
            ++from;
            ++to;
        }
    }
    return from;
}

TextPositions::Position TextPositions::at(size_t offset)
{
    offset = std::min(offset, m_text.size());
    if (offset < m_offset) {
        m_offset = 0;
        m_position = {};
        m_carriageKnown = false;
    }
    // Whole lines are skipped by their breaks; characters are counted on the last one only.
    // The next CR is looked for once, not again for every line before it.
    for (;;) {
        if (!m_carriageKnown || m_carriage < m_offset) {
            const auto *found = static_cast<const char *>(
                std::memchr(m_text.data() + m_offset, '\r', m_text.size() - m_offset));
            m_carriage = found ? size_t(found - m_text.data()) : m_text.size();
            m_carriageKnown = true;
        }
        const char *from = m_text.data() + m_offset;
        const auto *lineFeed = static_cast<const char *>(std::memchr(from, '\n', offset - m_offset));
        const size_t at = std::min(lineFeed ? size_t(lineFeed - m_text.data()) : offset, m_carriage);
        if (at >= offset)
            break;
        // CR LF is one break, counted at its LF.
        const bool pair = m_text[at] == '\r' && at + 1 < m_text.size() && m_text[at + 1] == '\n';
        m_offset = at + 1;
        if (!pair) {
            ++m_position.line;
            m_position.column = 1;
        }
    }
    for (; m_offset < offset; ++m_offset)
        m_position.column += isContinuationByte(m_text[m_offset]) ? 0 : 1;
    return m_position;
}

} // namespace linkcheck
