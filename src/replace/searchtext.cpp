#include "replace/searchtext.h"

#include "linkcheck/htmlscan.h"

#include <string>
#include <unordered_map>

namespace replace {

namespace {

bool isAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The browser reads &#128; to &#159; as the Windows-1252 characters of those bytes.
char32_t windows1252(char32_t code)
{
    static constexpr char16_t kHigh[32] = { 0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026,
        0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F, 0x90,
        0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
        0x0153, 0x9D, 0x017E, 0x0178 };
    return code >= 0x80 && code <= 0x9F ? kHigh[code - 0x80] : code;
}

QString fromCodePoint(char32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    return QString::fromUcs4(&code, 1);
}

// The length of a reference at the start of `text` ("&" ... ";"), 0 for none.
size_t referenceLength(std::string_view text)
{
    if (text.size() < 3)
        return 0;
    size_t i = 1;
    if (text[1] == '#') {
        i = 2;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        i += hex ? 1 : 0;
        const size_t digits = i;
        while (i < text.size()
            && ((text[i] >= '0' && text[i] <= '9')
                || (hex && ((text[i] >= 'a' && text[i] <= 'f') || (text[i] >= 'A' && text[i] <= 'F')))))
            ++i;
        if (i == digits)
            return 0;
        return i < text.size() && text[i] == ';' ? i + 1 : i;
    }
    while (i < text.size() && isAsciiAlnum(text[i]) && i < 40)
        ++i;
    // Named references count with their semicolon only; "&copy" alone is left as written.
    return i > 1 && i < text.size() && text[i] == ';' ? i + 1 : 0;
}

QString decodeNamed(std::string_view reference)
{
    static const std::unordered_map<std::string_view, char16_t> kCommon = { { "&amp;", u'&' },
        { "&lt;", u'<' }, { "&gt;", u'>' }, { "&quot;", u'"' }, { "&apos;", u'\'' },
        { "&nbsp;", 0xA0 } };
    const auto common = kCommon.find(reference);
    if (common != kCommon.end())
        return QString(QChar(common->second));
    // The full table of names is the HTML5 tokenizer's; remembered, as a page repeats its names.
    thread_local std::unordered_map<std::string, QString> known;
    const std::string key(reference);
    const auto found = known.find(key);
    if (found != known.end())
        return found->second;
    const std::string decoded = linkcheck::decodeAttributeWithGumbo(reference, '"');
    QString text = decoded == key ? QString() : QString::fromUtf8(decoded);
    known.emplace(key, text);
    return text;
}

} // namespace

qsizetype SearchText::byteEnd(qsizetype last) const
{
    const qint32 start = from[size_t(last - 1)];
    for (size_t i = size_t(last); i < from.size(); ++i)
        if (from[i] != start)
            return from[i];
    return end;
}

QString decodeReference(std::string_view reference)
{
    if (reference.size() < 3 || reference[0] != '&')
        return QString();
    if (reference[1] != '#')
        return decodeNamed(reference);
    const bool hex = reference[2] == 'x' || reference[2] == 'X';
    char32_t code = 0;
    for (size_t i = hex ? 3 : 2; i < reference.size() && reference[i] != ';'; ++i) {
        const char c = reference[i];
        const unsigned digit = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        code = code * (hex ? 16 : 10) + digit;
        if (code > 0x10FFFF)
            code = 0x110000; // no overflow, however many digits
    }
    return fromCodePoint(windows1252(code));
}

bool isWordCharacter(char32_t c)
{
    return c == U'_' || QChar::isLetterOrNumber(c);
}

void readSearchText(std::string_view page, qsizetype begin, qsizetype end,
    platform::TextEncoding encoding, bool references, SearchText *into)
{
    into->text.resize(0);
    into->from.clear();
    into->end = end;
    into->text.reserve(end - begin);
    into->from.reserve(size_t(end - begin));
    const bool latin1 = encoding == platform::TextEncoding::Latin1;
    for (qsizetype at = begin; at < end;) {
        const unsigned char c = static_cast<unsigned char>(page[size_t(at)]);
        if (c == '&' && references) {
            const size_t length = referenceLength(page.substr(size_t(at), size_t(end - at)));
            const QString decoded
                = length > 0 ? decodeReference(page.substr(size_t(at), length)) : QString();
            if (!decoded.isEmpty()) {
                into->text += decoded;
                into->from.insert(into->from.end(), size_t(decoded.size()), qint32(at));
                at += qsizetype(length);
                continue;
            }
        }
        if (c < 0x80 || latin1) {
            into->text += QChar(char16_t(c));
            into->from.push_back(qint32(at));
            ++at;
            continue;
        }
        // Valid UTF-8: the page was read as such.
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        char32_t code = c & (c >= 0xF0 ? 0x07 : c >= 0xE0 ? 0x0F : 0x1F);
        for (int i = 1; i < length && at + i < end; ++i)
            code = (code << 6) | (static_cast<unsigned char>(page[size_t(at + i)]) & 0x3F);
        const QString decoded = fromCodePoint(code);
        into->text += decoded;
        into->from.insert(into->from.end(), size_t(decoded.size()), qint32(at));
        at += length;
    }
}

} // namespace replace
