#include "replace/htmlregions.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>

namespace replace {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool sameLetters(std::string_view text, std::string_view lowerWord)
{
    if (text.size() != lowerWord.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != lowerWord[i])
            return false;
    }
    return true;
}

bool nameIsOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::any_of(names.begin(), names.end(),
        [&](std::string_view one) { return sameLetters(name, one); });
}

class RegionScanner
{
public:
    explicit RegionScanner(std::string_view page)
        : m_page(page)
    { }

    std::vector<Region> run()
    {
        if (m_page.substr(0, 3) == "\xEF\xBB\xBF")
            m_at = 3;
        size_t textStart = m_at;
        while (m_at < m_page.size() && !m_stopped) {
            const void *lt = std::memchr(m_page.data() + m_at, '<', m_page.size() - m_at);
            if (!lt)
                break;
            const size_t open = size_t(static_cast<const char *>(lt) - m_page.data());
            const char next = at(open + 1);
            m_at = open + 1;
            if (!isLetter(next) && next != '/' && next != '!' && next != '?')
                continue; // a "<" that is text
            text(textStart, open);
            if (next == '!')
                declaration();
            else if (next == '/')
                endTag();
            else if (next == '?')
                skipPast('>');
            else
                startTag();
            textStart = m_at;
        }
        if (!m_stopped)
            text(textStart, m_page.size());
        return std::move(m_regions);
    }

private:
    char at(size_t i) const { return i < m_page.size() ? m_page[i] : '\0'; }

    void add(RegionKind kind, size_t begin, size_t end, char quote = 0, size_t nameBegin = 0,
        size_t nameEnd = 0)
    {
        if (end > begin)
            m_regions.push_back({ kind, qsizetype(begin), qsizetype(end), quote,
                qsizetype(nameBegin), qsizetype(nameEnd) });
    }

    void text(size_t begin, size_t end) { add(RegionKind::Text, begin, end); }

    void skipPast(char c)
    {
        const size_t end = m_page.find(c, m_at);
        m_at = end == std::string_view::npos ? m_page.size() : end + 1;
    }

    void declaration()
    {
        if (m_page.substr(m_at + 1, 2) == "--") {
            comment(m_at + 3);
        } else if (m_foreignDepth > 0 && m_page.substr(m_at + 1, 7) == "[CDATA[") {
            const size_t end = m_page.find("]]>", m_at + 8);
            m_at = end == std::string_view::npos ? m_page.size() : end + 3;
        } else {
            skipPast('>'); // a doctype, or a bogus comment
        }
    }

    // From just after "<!--": "-->" and "--!>" end it, and so do "<!-->" and "<!--->".
    void comment(size_t from)
    {
        if (at(from) == '>' || (at(from) == '-' && at(from + 1) == '>')) {
            m_at = from + (at(from) == '>' ? 1 : 2);
            return;
        }
        for (size_t dashes = m_page.find("--", from); dashes != std::string_view::npos;
             dashes = m_page.find("--", dashes + 1)) {
            size_t end = dashes + 2;
            while (at(end) == '-')
                ++end;
            if (at(end) == '>' || (at(end) == '!' && at(end + 1) == '>')) {
                m_at = end + (at(end) == '>' ? 1 : 2);
                return;
            }
            dashes = end - 1;
        }
        m_at = m_page.size();
    }

    std::string_view name()
    {
        const size_t start = m_at;
        while (m_at < m_page.size() && !isBlank(m_page[m_at]) && m_page[m_at] != '/'
            && m_page[m_at] != '>')
            ++m_at;
        return m_page.substr(start, m_at - start);
    }

    // The attributes up to the end of the tag, kept aside until the tag is whole.
    bool attributes(bool keep, bool *selfClosing)
    {
        for (;;) {
            while (m_at < m_page.size() && isBlank(m_page[m_at]))
                ++m_at;
            if (m_at >= m_page.size())
                return false;
            const char c = m_page[m_at];
            if (c == '>') {
                ++m_at;
                return true;
            }
            if (c == '/') {
                ++m_at;
                if (at(m_at) == '>') {
                    ++m_at;
                    *selfClosing = true;
                    return true;
                }
                continue;
            }
            if (!attribute(keep))
                return false;
        }
    }

    bool attribute(bool keep)
    {
        const size_t nameBegin = m_at++; // a first "=" belongs to the name
        while (m_at < m_page.size() && !isBlank(m_page[m_at]) && m_page[m_at] != '/'
            && m_page[m_at] != '>' && m_page[m_at] != '=')
            ++m_at;
        const size_t nameEnd = m_at;
        if (keep)
            m_pending.push_back({ RegionKind::AttributeName, qsizetype(nameBegin),
                qsizetype(nameEnd), 0, 0, 0 });
        size_t i = m_at;
        while (i < m_page.size() && isBlank(m_page[i]))
            ++i;
        if (at(i) != '=')
            return true;
        ++i;
        while (i < m_page.size() && isBlank(m_page[i]))
            ++i;
        m_at = i;
        const char quote = at(m_at);
        size_t begin = m_at;
        size_t end = 0;
        if (quote == '"' || quote == '\'') {
            begin = m_at + 1;
            end = m_page.find(quote, begin);
            if (end == std::string_view::npos)
                return false;
            m_at = end + 1;
        } else {
            while (m_at < m_page.size() && !isBlank(m_page[m_at]) && m_page[m_at] != '>')
                ++m_at;
            end = m_at;
        }
        if (keep && end > begin)
            m_pending.push_back({ RegionKind::AttributeValue, qsizetype(begin), qsizetype(end),
                quote == '"' || quote == '\'' ? quote : char(0), qsizetype(nameBegin),
                qsizetype(nameEnd) });
        return true;
    }

    // A tag cut off by the end of the page is none, and the rest of the page goes with it.
    void cutOff()
    {
        m_at = m_page.size();
        m_stopped = true;
    }

    void startTag()
    {
        m_pending.clear();
        const size_t nameBegin = m_at;
        const std::string_view tag = name();
        m_pending.push_back(
            { RegionKind::TagName, qsizetype(nameBegin), qsizetype(m_at), 0, 0, 0 });
        bool selfClosing = false;
        if (!attributes(true, &selfClosing))
            return cutOff();
        m_regions.insert(m_regions.end(), m_pending.begin(), m_pending.end());
        if (nameIsOneOf(tag, { "svg", "math" }) && !selfClosing) {
            ++m_foreignDepth;
        } else if (m_foreignDepth > 0) {
            // In SVG the script and style elements are parsed as tags, but they are no text.
            if (!selfClosing && nameIsOneOf(tag, { "script", "style" }))
                m_at = endTagAt(m_at, tag);
        } else if (sameLetters(tag, "script")) {
            m_at = endTagAt(m_at, "script");
        } else if (nameIsOneOf(tag, { "style", "xmp", "iframe", "noembed", "noframes" })) {
            m_at = endTagAt(m_at, tag);
        } else if (nameIsOneOf(tag, { "title", "textarea" })) {
            const size_t end = endTagAt(m_at, tag);
            text(m_at, end); // text with references, never tags
            m_at = end;
        } else if (sameLetters(tag, "plaintext")) {
            m_at = m_page.size(); // the rest is shown as it is written: no HTML text
        }
    }

    void endTag()
    {
        ++m_at;
        if (at(m_at) == '>') {
            ++m_at; // "</>" is nothing at all
            return;
        }
        if (!isLetter(at(m_at))) {
            skipPast('>');
            return;
        }
        const size_t nameBegin = m_at;
        const std::string_view tag = name();
        bool selfClosing = false;
        if (!attributes(false, &selfClosing))
            return cutOff();
        add(RegionKind::TagName, nameBegin, nameBegin + tag.size());
        if (m_foreignDepth > 0 && nameIsOneOf(tag, { "svg", "math" }))
            --m_foreignDepth;
    }

    // Where "</tag" followed by a blank, "/" or ">" starts, or the end of the page.
    size_t endTagAt(size_t from, std::string_view tag) const
    {
        for (size_t i = m_page.find("</", from); i != std::string_view::npos;
             i = m_page.find("</", i + 2)) {
            const char after = at(i + 2 + tag.size());
            if (sameLetters(m_page.substr(i + 2, tag.size()), lowered(tag))
                && (isBlank(after) || after == '/' || after == '>'))
                return i;
        }
        return m_page.size();
    }

    std::string_view lowered(std::string_view tag) const
    {
        m_lowered.assign(tag);
        for (char &c : m_lowered)
            c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        return m_lowered;
    }

    std::string_view m_page;
    size_t m_at = 0;
    int m_foreignDepth = 0;
    bool m_stopped = false;
    std::vector<Region> m_regions;
    std::vector<Region> m_pending;
    mutable std::string m_lowered;
};

} // namespace

std::vector<Region> htmlRegions(std::string_view page)
{
    return RegionScanner(page).run();
}

} // namespace replace
