#include "linkcheck/htmlscan.h"

#include <algorithm>
#include <cstring>

namespace linkcheck {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAlnum(char c)
{
    return isAlpha(c) || (c >= '0' && c <= '9');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalNoCase(std::string_view text, std::string_view word)
{
    return text.size() == word.size()
        && std::equal(text.begin(), text.end(), word.begin(),
            [](char a, char b) { return lower(a) == b; });
}

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

void appendUtf8(std::string &out, unsigned code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// A numeric reference with its semicolon whose character needs no correction; false leaves
// the value to gumbo.
bool decodeNumeric(std::string_view source, size_t &at, std::string &out)
{
    size_t i = at + 2;
    const bool hex = i < source.size() && (source[i] == 'x' || source[i] == 'X');
    i += hex ? 1 : 0;
    unsigned code = 0;
    const size_t digits = i;
    for (; i < source.size() && i - digits < 7; ++i) {
        const char c = lower(source[i]);
        const int digit = c >= '0' && c <= '9' ? c - '0'
            : hex && c >= 'a' && c <= 'f'      ? c - 'a' + 10
                                               : -1;
        if (digit < 0)
            break;
        code = code * (hex ? 16 : 10) + unsigned(digit);
    }
    const bool plain = (code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code < 0xD800)
        || (code > 0xDFFF && code < 0xFDD0) || (code > 0xFDEF && code < 0x10000);
    if (i == digits || i >= source.size() || source[i] != ';' || !plain)
        return false;
    appendUtf8(out, code);
    at = i + 1;
    return true;
}

// The value as the tokenizer gives it; the common references are decoded here, a value with
// any other goes to gumbo whole.
std::string decodeValue(std::string_view source, char quote)
{
    static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
        { "amp;", "&" }, { "lt;", "<" }, { "gt;", ">" }, { "quot;", "\"" }, { "apos;", "'" },
        { "nbsp;", "\xC2\xA0" } };
    std::string out;
    out.reserve(source.size());
    for (size_t at = 0; at < source.size();) {
        const char c = source[at];
        if (c == '\r') {
            out += '\n';
            at += at + 1 < source.size() && source[at + 1] == '\n' ? 2 : 1;
        } else if (c == '\0') {
            out += "\xEF\xBF\xBD";
            ++at;
        } else if (c != '&') {
            out += c;
            ++at;
        } else if (at + 1 < source.size() && source[at + 1] == '#') {
            if (!decodeNumeric(source, at, out))
                return decodeAttributeWithGumbo(source, quote);
        } else if (at + 1 >= source.size() || !isAlnum(source[at + 1])) {
            out += '&';
            ++at;
        } else {
            const std::string_view rest = source.substr(at + 1);
            const auto *named = std::find_if(std::begin(kNamed), std::end(kNamed),
                [&](const auto &entry) { return rest.substr(0, entry.first.size()) == entry.first; });
            if (named == std::end(kNamed))
                return decodeAttributeWithGumbo(source, quote);
            out += named->second;
            at += 1 + named->first.size();
        }
    }
    return out;
}

class Scanner
{
public:
    Scanner(std::string_view text, HtmlElements &into)
        : m_text(text)
        , m_into(into)
    { }

    void run()
    {
        while (m_at < m_text.size()) {
            const void *lt = std::memchr(m_text.data() + m_at, '<', m_text.size() - m_at);
            if (!lt)
                return;
            m_at = size_t(static_cast<const char *>(lt) - m_text.data()) + 1;
            if (m_at >= m_text.size())
                return;
            const char c = m_text[m_at];
            if (c == '!')
                markupDeclaration();
            else if (c == '/')
                endTag();
            else if (isAlpha(c))
                startTag();
            else if (c == '?')
                skipPast('>');
            if (m_stop)
                return;
        }
    }

private:
    struct RawAttribute {
        std::string name;
        std::string_view source;
        size_t offset = 0;
        char quote = 0;
    };

    char at(size_t i) const { return i < m_text.size() ? m_text[i] : '\0'; }

    void skipPast(char c)
    {
        const size_t end = m_text.find(c, m_at);
        m_at = end == std::string_view::npos ? m_text.size() : end + 1;
    }

    void markupDeclaration()
    {
        if (m_text.substr(m_at + 1, 2) == "--") {
            comment(m_at + 3);
        } else if (m_foreign > 0 && m_text.substr(m_at + 1, 7) == "[CDATA[") {
            const size_t end = m_text.find("]]>", m_at + 8);
            m_at = end == std::string_view::npos ? m_text.size() : end + 3;
        } else {
            skipPast('>');
        }
    }

    // From just after "<!--": "-->", "--!>", and the abrupt "<!-->" and "<!--->" end it.
    void comment(size_t from)
    {
        if (at(from) == '>' || (at(from) == '-' && at(from + 1) == '>')) {
            m_at = from + (at(from) == '>' ? 1 : 2);
            return;
        }
        for (;;) {
            const size_t dashes = m_text.find("--", from);
            if (dashes == std::string_view::npos) {
                m_at = m_text.size();
                return;
            }
            size_t end = dashes + 2;
            while (at(end) == '-')
                ++end;
            if (at(end) == '>') {
                m_at = end + 1;
                return;
            }
            if (at(end) == '!' && at(end + 1) == '>') {
                m_at = end + 2;
                return;
            }
            from = end;
        }
    }

    std::string_view tagName()
    {
        const size_t start = m_at;
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '/'
            && m_text[m_at] != '>')
            ++m_at;
        m_name.assign(m_text.substr(start, m_at - start));
        std::transform(m_name.begin(), m_name.end(), m_name.begin(), lower);
        return m_name;
    }

    void endTag()
    {
        ++m_at;
        if (at(m_at) == '>') {
            ++m_at;
            return;
        }
        if (!isAlpha(at(m_at))) {
            skipPast('>');
            return;
        }
        const std::string name(tagName());
        bool selfClosing = false;
        if (!attributes(selfClosing))
            return;
        if (m_foreign > 0 && (name == "svg" || name == "math"))
            --m_foreign;
    }

    // The attributes up to the tag's end; false when the text ends first (no tag then).
    bool attributes(bool &selfClosing)
    {
        m_raw.clear();
        for (;;) {
            while (m_at < m_text.size() && isSpace(m_text[m_at]))
                ++m_at;
            if (m_at >= m_text.size())
                return false;
            const char c = m_text[m_at];
            if (c == '>') {
                ++m_at;
                return true;
            }
            if (c == '/') {
                ++m_at;
                if (at(m_at) == '>') {
                    ++m_at;
                    selfClosing = true;
                    return true;
                }
                continue;
            }
            if (!attribute())
                return false;
        }
    }

    bool attribute()
    {
        const size_t start = m_at++;
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '/'
            && m_text[m_at] != '>' && m_text[m_at] != '=')
            ++m_at;
        RawAttribute attr;
        attr.name.assign(m_text.substr(start, m_at - start));
        std::transform(attr.name.begin(), attr.name.end(), attr.name.begin(), lower);
        size_t i = m_at;
        while (i < m_text.size() && isSpace(m_text[i]))
            ++i;
        if (at(i) == '=') {
            i += 1;
            while (i < m_text.size() && isSpace(m_text[i]))
                ++i;
            m_at = i;
            if (!value(attr))
                return false;
        }
        const bool known = std::any_of(m_raw.begin(), m_raw.end(),
            [&](const RawAttribute &other) { return other.name == attr.name; });
        if (!known)
            m_raw.push_back(std::move(attr));
        return true;
    }

    bool value(RawAttribute &attr)
    {
        const char c = at(m_at);
        if (c == '"' || c == '\'') {
            const size_t end = m_text.find(c, m_at + 1);
            if (end == std::string_view::npos)
                return false;
            attr.quote = c;
            attr.offset = m_at + 1;
            attr.source = m_text.substr(m_at + 1, end - m_at - 1);
            m_at = end + 1;
            return true;
        }
        const size_t start = m_at;
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '>')
            ++m_at;
        attr.offset = start;
        attr.source = m_text.substr(start, m_at - start);
        return true;
    }

    void startTag()
    {
        std::string name(tagName());
        bool selfClosing = false;
        if (!attributes(selfClosing))
            return;
        if (m_foreign > 0 && breaksOutOfForeign(name))
            m_foreign = 0;
        if (m_foreign == 0 && name == "image")
            name = "img";
        emit(name);
        if (m_foreign > 0) {
            if ((name == "svg" || name == "math") && !selfClosing)
                ++m_foreign;
            else if (name == "style" && !selfClosing)
                foreignStyle();
            return;
        }
        if ((name == "svg" || name == "math") && !selfClosing)
            m_foreign = 1;
        else
            textOnly(name);
    }

    void emit(std::string_view name)
    {
        m_decoded.assign(m_raw.size(), std::string());
        m_attributes.clear();
        for (size_t i = 0; i < m_raw.size(); ++i) {
            const RawAttribute &raw = m_raw[i];
            std::string_view value = raw.source;
            if (raw.source.find_first_of(std::string_view("&\r\0", 3)) != std::string_view::npos) {
                m_decoded[i] = decodeValue(raw.source, raw.quote);
                value = m_decoded[i];
            }
            m_attributes.push_back({ raw.name, value, raw.source, raw.offset });
        }
        m_into.element(name, m_attributes);
    }

    // Inside svg and math, a style element's text up to the next tag.
    void foreignStyle()
    {
        const size_t end = std::min(m_text.find('<', m_at), m_text.size());
        m_into.styleText(m_text.substr(m_at, end - m_at), m_at);
        m_at = end;
    }

    static bool breaksOutOfForeign(std::string_view name)
    {
        return isOneOf(name,
            { "b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt",
                "em", "embed", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li",
                "listing", "menu", "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small", "span",
                "strong", "strike", "sub", "sup", "table", "tt", "u", "ul", "var" });
    }

    // The elements whose content is text to the browser, never tags.
    void textOnly(std::string_view name)
    {
        if (name == "script") {
            m_at = scriptEnd(m_at);
        } else if (name == "plaintext") {
            m_stop = true;
        } else if (isOneOf(name, { "style", "xmp", "iframe", "noembed", "noframes", "title",
                                     "textarea" })) {
            const size_t end = endTagAt(m_at, name);
            if (name == "style")
                m_into.styleText(m_text.substr(m_at, end - m_at), m_at);
            m_at = end;
        }
    }

    // Does "</name" followed by a blank, "/" or ">" start at `i`?
    bool isEndTag(size_t i, std::string_view name) const
    {
        return at(i) == '<' && at(i + 1) == '/'
            && equalNoCase(m_text.substr(i + 2, name.size()), name)
            && (isSpace(at(i + 2 + name.size())) || at(i + 2 + name.size()) == '/'
                || at(i + 2 + name.size()) == '>');
    }

    bool isScriptStart(size_t i) const
    {
        return at(i) == '<' && equalNoCase(m_text.substr(i + 1, 6), "script")
            && (isSpace(at(i + 7)) || at(i + 7) == '/' || at(i + 7) == '>');
    }

    size_t endTagAt(size_t from, std::string_view name) const
    {
        for (size_t i = m_text.find("</", from); i != std::string_view::npos;
             i = m_text.find("</", i + 2))
            if (isEndTag(i, name))
                return i;
        return m_text.size();
    }

    // Script text ends at "</script", except inside "<!--" where a "<script" opened
    // another level that "</script" only closes.
    size_t scriptEnd(size_t from) const
    {
        enum { Data, Escaped, DoubleEscaped } state = Data;
        for (size_t i = from; i < m_text.size(); ++i) {
            const char c = m_text[i];
            if (c == '-' && state != Data && m_text.substr(i, 3) == "-->") {
                state = Data;
                i += 2;
            } else if (c != '<') {
                continue;
            } else if (state != DoubleEscaped && isEndTag(i, "script")) {
                return i;
            } else if (state == Data && m_text.substr(i, 4) == "<!--") {
                state = Escaped;
                i += 3;
            } else if (state == Escaped && isScriptStart(i)) {
                state = DoubleEscaped;
            } else if (state == DoubleEscaped && isEndTag(i, "script")) {
                state = Escaped;
            }
        }
        return m_text.size();
    }

    std::string_view m_text;
    HtmlElements &m_into;
    size_t m_at = 0;
    int m_foreign = 0;
    bool m_stop = false;
    std::string m_name;
    std::vector<RawAttribute> m_raw;
    std::vector<std::string> m_decoded;
    std::vector<HtmlAttribute> m_attributes;
};

} // namespace

void scanHtml(std::string_view text, HtmlElements &into)
{
    Scanner(text, into).run();
}

} // namespace linkcheck
