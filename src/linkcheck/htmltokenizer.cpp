#include "linkcheck/htmltokenizer.h"

#include "linkcheck/htmlentities.h"
#include "linkcheck/htmlrules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_set>

namespace linkcheck::html {

namespace {

// A tag with more attributes than this is checked for repeats among the first ones only: a
// million attributes must not hold a million names.
constexpr size_t kMaxAttributes = 4096;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAlnum(char c)
{
    return isAlpha(c) || isDigit(c);
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool startsNoCase(std::string_view text, std::string_view word)
{
    return text.size() >= word.size()
        && std::equal(word.begin(), word.end(), text.begin(),
            [](char a, char b) { return a == lower(b); });
}

std::string hexCode(unsigned code)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", code);
    return buffer;
}

// Why a numeric reference to this code point is an error, or nothing.
std::string forbiddenCode(unsigned code)
{
    if (code == 0)
        return "Character reference expands to zero.";
    if (code > 0x10FFFF)
        return "Character reference outside the permissible Unicode range.";
    if (code >= 0xD800 && code <= 0xDFFF)
        return "Character reference expands to a surrogate.";
    if ((code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE)
        return "Character reference expands to a non-character (" + hexCode(code) + ").";
    const bool control = (code < 0x20 && !isSpace(char(code))) || (code >= 0x7F && code < 0xA0);
    if (control || code == 0x0D)
        return "Character reference expands to a control character (" + hexCode(code) + ").";
    return {};
}

class Tokenizer
{
public:
    Tokenizer(std::string_view text, TokenSink &sink)
        : m_text(text)
        , m_sink(sink)
    { }

    void run()
    {
        while (m_at < m_text.size()) {
            const void *lt = std::memchr(m_text.data() + m_at, '<', m_text.size() - m_at);
            const size_t end = lt ? size_t(static_cast<const char *>(lt) - m_text.data())
                                  : m_text.size();
            if (end > m_at)
                data(m_at, end);
            m_at = end;
            if (m_at < m_text.size())
                markup();
        }
        m_sink.endOfFile(m_text.size());
    }

private:
    char at(size_t i) const { return i < m_text.size() ? m_text[i] : '\0'; }

    void problem(size_t offset, std::string_view rule, std::string message)
    {
        m_sink.problem(offset, rule, std::move(message));
    }

    // Text between tags: its references and NUL bytes.
    void data(size_t from, size_t to)
    {
        const std::string_view text = m_text.substr(from, to - from);
        m_sink.text(from, text);
        checkText(from, to, false);
    }

    void checkText(size_t from, size_t to, bool inAttribute)
    {
        for (size_t i = from; i < to; ++i) {
            const char c = m_text[i];
            if (c == '&')
                reference(i, to, inAttribute);
            else if (c == '\0')
                problem(i, "parse-other", "Saw U+0000 in stream.");
        }
    }

    void reference(size_t amp, size_t to, bool inAttribute)
    {
        if (at(amp + 1) == '#')
            numericReference(amp, to);
        else if (amp + 1 < to && isAlnum(m_text[amp + 1]))
            namedReference(amp, to, inAttribute);
    }

    void numericReference(size_t amp, size_t to)
    {
        size_t i = amp + 2;
        const bool hex = i < to && lower(m_text[i]) == 'x';
        i += hex ? 1 : 0;
        const size_t digits = i;
        unsigned long long code = 0;
        for (; i < to; ++i) {
            const char c = lower(m_text[i]);
            const int digit = isDigit(c) ? c - '0' : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0)
                break;
            code = std::min(code * (hex ? 16 : 10) + unsigned(digit), 0x110000ULL);
        }
        if (i == digits) {
            problem(amp, "character-reference",
                "No digits after “&#”. (“&” probably should have been escaped as “&amp;”.)");
            return;
        }
        if (i >= to || m_text[i] != ';')
            problem(amp, "character-reference",
                "Character reference was not terminated by a semicolon.");
        const std::string why = forbiddenCode(unsigned(code));
        if (!why.empty())
            problem(amp, "character-reference", why);
    }

    void namedReference(size_t amp, size_t to, bool inAttribute)
    {
        const std::string_view rest = m_text.substr(amp + 1, to - amp - 1);
        const size_t length = longestReference(rest);
        if (length == 0) {
            // Only "&name;" with an unknown name is an error: "&name" alone is text.
            size_t end = 0;
            while (end < rest.size() && isAlnum(rest[end]))
                ++end;
            if (end < rest.size() && rest[end] == ';')
                problem(amp, "character-reference",
                    "“&” did not start a character reference. (“&” probably should have been "
                    "escaped as “&amp;”.)");
            return;
        }
        if (rest[length - 1] == ';')
            return;
        const char next = length < rest.size() ? rest[length] : '\0';
        if (inAttribute && (next == '=' || isAlnum(next)))
            return; // not a reference in an attribute value, for old URLs' sake
        problem(amp, "character-reference",
            "Named character reference was not terminated by a semicolon. (Or “&” should have "
            "been escaped as “&amp;”.)");
    }

    void markup()
    {
        const size_t lt = m_at;
        const char c = at(lt + 1);
        if (c == '!') {
            markupDeclaration(lt);
        } else if (c == '/') {
            endTag(lt);
        } else if (isAlpha(c)) {
            m_at = lt + 1;
            startTag(lt);
        } else if (c == '?') {
            problem(lt, "xml-instruction",
                "Saw “<?”. Probable cause: Attempt to use an XML processing instruction in HTML. "
                "(XML processing instructions are not supported in HTML.)");
            bogusComment(lt + 2);
        } else if (lt + 1 >= m_text.size()) {
            problem(lt, "end-of-file", "End of file after “<”.");
            m_at = m_text.size();
        } else {
            problem(lt, "parse-other",
                "Bad character after “<”. Probable cause: Unescaped “<”. Try escaping it as "
                "“&lt;”.");
            m_sink.text(lt, m_text.substr(lt, 1));
            m_at = lt + 1;
        }
    }

    void bogusComment(size_t from)
    {
        const size_t end = m_text.find('>', from);
        m_at = end == std::string_view::npos ? m_text.size() : end + 1;
        m_sink.comment(from);
    }

    void markupDeclaration(size_t lt)
    {
        const std::string_view rest = m_text.substr(lt + 2);
        if (rest.starts_with("--")) {
            comment(lt);
        } else if (startsNoCase(rest, "doctype")) {
            doctype(lt);
        } else if (rest.starts_with("[CDATA[") && m_sink.inForeignContent()) {
            const size_t end = m_text.find("]]>", lt + 9);
            if (end == std::string_view::npos)
                problem(lt, "end-of-file", "End of file inside CDATA section.");
            m_at = end == std::string_view::npos ? m_text.size() : end + 3;
        } else {
            problem(lt, "parse-other", "Bogus comment.");
            bogusComment(lt + 2);
        }
    }

    void comment(size_t lt)
    {
        m_sink.comment(lt);
        size_t from = lt + 4;
        if (at(from) == '>' || (at(from) == '-' && at(from + 1) == '>')) {
            problem(lt, "parse-other",
                "Premature end of comment. Use “-->” to end a comment properly.");
            m_at = from + (at(from) == '>' ? 1 : 2);
            return;
        }
        for (;;) {
            const size_t dashes = m_text.find("--", from);
            const size_t nested = m_text.substr(0, dashes).find("<!--", from);
            if (nested != std::string_view::npos)
                problem(nested, "parse-other",
                    "Saw “<!--” within a comment. Probable cause: Nested comment (not allowed).");
            if (dashes == std::string_view::npos) {
                problem(lt, "end-of-file", "End of file inside comment.");
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
                problem(end - 2, "parse-other", "Comment ended by “--!>”.");
                m_at = end + 2;
                return;
            }
            from = end;
        }
    }

    void doctype(size_t lt)
    {
        const size_t end = m_text.find('>', lt);
        if (end == std::string_view::npos) {
            problem(lt, "end-of-file", "End of file inside doctype.");
            m_at = m_text.size();
            return;
        }
        m_sink.doctype(lt, m_text.substr(lt + 9, end - lt - 9));
        m_at = end + 1;
    }

    void endTag(size_t lt)
    {
        const char c = at(lt + 2);
        if (c == '>') {
            problem(lt, "parse-other",
                "Saw “</>”. Probable causes: Unescaped “<” (escape as “&lt;”) or mistyped end "
                "tag.");
            m_at = lt + 3;
        } else if (lt + 2 >= m_text.size()) {
            problem(lt, "end-of-file", "End of file after “</”.");
            m_at = m_text.size();
        } else if (!isAlpha(c)) {
            problem(lt, "parse-other", "Garbage after “</”.");
            bogusComment(lt + 2);
        } else {
            m_at = lt + 2;
            m_tag.end = true;
            readTag(lt);
        }
    }

    void startTag(size_t lt)
    {
        m_tag.end = false;
        readTag(lt);
    }

    // From the tag name on; the tag goes to the sink when the text holds all of it.
    void readTag(size_t lt)
    {
        m_tag.offset = lt;
        m_tag.selfClosing = false;
        m_tag.attributes.clear();
        m_names.clear();
        const size_t start = m_at;
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '/'
            && m_text[m_at] != '>')
            ++m_at;
        m_tag.name.assign(m_text.substr(start, m_at - start));
        std::transform(m_tag.name.begin(), m_tag.name.end(), m_tag.name.begin(), lower);
        if (!attributes()) {
            problem(lt, "end-of-file", "End of file seen inside the tag " + quoted(m_tag.name) + ".");
            m_at = m_text.size();
            return;
        }
        if (m_tag.end)
            endTagChecks();
        const bool opened = m_sink.tag(m_tag);
        if (!m_tag.end && opened && !m_sink.inForeignContent())
            rawText();
    }

    void endTagChecks()
    {
        if (!m_tag.attributes.empty())
            problem(m_tag.offset, "parse-other", "End tag had attributes.");
        if (m_tag.selfClosing)
            problem(m_tag.offset, "parse-other", "Stray “/” at the end of an end tag.");
    }

    bool attributes()
    {
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
                    m_tag.selfClosing = true;
                    return true;
                }
                problem(m_at - 1, "parse-other", "A slash was not immediately followed by “>”.");
                continue;
            }
            if (!attribute())
                return false;
        }
    }

    bool attribute()
    {
        const size_t start = m_at;
        if (m_text[m_at] == '=')
            problem(start, "parse-other", "Saw “=” when expecting an attribute name. Probable "
                                          "cause: Attribute name missing.");
        ++m_at;
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '/'
            && m_text[m_at] != '>' && m_text[m_at] != '=')
            ++m_at;
        TagAttribute attr;
        attr.offset = start;
        attr.name.assign(m_text.substr(start, m_at - start));
        std::transform(attr.name.begin(), attr.name.end(), attr.name.begin(), lower);
        if (attr.name.find_first_of("\"'<") != std::string::npos)
            problem(start, "parse-other", "Quote or “<” in attribute name. Probable cause: "
                                          "Matching quote missing somewhere earlier.");
        size_t i = m_at;
        while (i < m_text.size() && isSpace(m_text[i]))
            ++i;
        if (at(i) == '=') {
            m_at = i + 1;
            while (m_at < m_text.size() && isSpace(m_text[m_at]))
                ++m_at;
            if (!value(attr))
                return false;
        }
        keep(std::move(attr));
        return true;
    }

    void keep(TagAttribute attr)
    {
        if (m_tag.attributes.size() >= kMaxAttributes)
            return;
        if (repeated(attr.name)) {
            problem(attr.offset, "duplicate-attribute", "Duplicate attribute " + quoted(attr.name) + ".");
            return;
        }
        m_tag.attributes.push_back(std::move(attr));
    }

    // Few attributes are compared one by one; many go through a set.
    bool repeated(const std::string &name)
    {
        const auto &attributes = m_tag.attributes;
        if (attributes.size() < 16)
            return std::any_of(attributes.begin(), attributes.end(),
                [&](const TagAttribute &other) { return other.name == name; });
        if (m_names.empty())
            for (const TagAttribute &other : attributes)
                m_names.insert(other.name);
        return !m_names.insert(name).second;
    }

    bool value(TagAttribute &attr)
    {
        const char c = at(m_at);
        if (c == '"' || c == '\'') {
            const size_t end = m_text.find(c, m_at + 1);
            if (end == std::string_view::npos)
                return false;
            attr.value = m_text.substr(m_at + 1, end - m_at - 1);
            checkText(m_at + 1, end, true);
            m_at = end + 1;
            const char next = at(m_at);
            if (m_at < m_text.size() && !isSpace(next) && next != '/' && next != '>')
                problem(m_at, "parse-other", "No space between attributes.");
            return true;
        }
        if (c == '>') {
            problem(attr.offset, "parse-other", "Attribute value missing.");
            return true;
        }
        const size_t start = m_at;
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '>') {
            if (std::strchr("\"'<=`", m_text[m_at]))
                problem(m_at, "parse-other",
                    std::string("“") + m_text[m_at] + "” in an unquoted attribute value. "
                    "Probable causes: Attributes running together or a URL query string in an "
                    "unquoted attribute value.");
            ++m_at;
        }
        attr.value = m_text.substr(start, m_at - start);
        checkText(start, m_at, true);
        return true;
    }

    // Script, style and the other elements whose content is text up to their end tag.
    void rawText()
    {
        const ElementRule *rule = elementRule(m_tag.name);
        if (!rule || !(rule->categories & RawText))
            return;
        const std::string_view name = rule->name;
        if (name == "plaintext") {
            m_sink.text(m_at, m_text.substr(m_at));
            m_at = m_text.size();
            return;
        }
        const size_t end = endTagAt(m_at, name);
        if (end == m_text.size())
            problem(m_tag.offset, "end-of-file",
                "End of file seen when expecting text or an end tag of " + quoted(name) + ".");
        m_sink.text(m_at, m_text.substr(m_at, end - m_at));
        if (name == "title" || name == "textarea")
            checkText(m_at, end, false);
        m_at = end;
    }

    bool isEndTag(size_t i, std::string_view name) const
    {
        const char after = at(i + 2 + name.size());
        return at(i + 1) == '/' && startsNoCase(m_text.substr(i + 2), name)
            && (isSpace(after) || after == '/' || after == '>');
    }

    size_t endTagAt(size_t from, std::string_view name) const
    {
        for (size_t i = m_text.find("</", from); i != std::string_view::npos;
             i = m_text.find("</", i + 2))
            if (isEndTag(i, name))
                return i;
        return m_text.size();
    }

    std::string_view m_text;
    TokenSink &m_sink;
    size_t m_at = 0;
    Tag m_tag;
    std::unordered_set<std::string> m_names;
};

} // namespace

std::string quoted(std::string_view name)
{
    std::string out = "“";
    out.append(name);
    out += "”";
    return out;
}

void tokenize(std::string_view text, TokenSink &sink)
{
    Tokenizer(text, sink).run();
}

} // namespace linkcheck::html
