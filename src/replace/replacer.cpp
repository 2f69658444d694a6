#include "replace/replacer.h"

#include "editor/editorfile.h"
#include "replace/htmlregions.h"
#include "replace/searchtext.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>

namespace replace {

namespace {

constexpr qsizetype kBomSize = 3;
// The characters of a line shown on each side of a change in the preview.
constexpr qsizetype kContext = 80;

bool hasBom(const QByteArray &page)
{
    return page.startsWith("\xEF\xBB\xBF");
}

bool isNameBreaker(QChar c)
{
    return c.isSpace() || QStringView(u"/>=<\"'").contains(c);
}

char32_t codePointBefore(QStringView text, qsizetype at)
{
    if (at <= 0)
        return 0;
    const QChar low = text[at - 1];
    if (low.isLowSurrogate() && at >= 2 && text[at - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[at - 2], low);
    return low.unicode();
}

char32_t codePointAt(QStringView text, qsizetype at)
{
    if (at >= text.size())
        return 0;
    const QChar high = text[at];
    if (high.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(high, text[at + 1]);
    return high.unicode();
}

char32_t utf8At(std::string_view bytes, size_t at)
{
    const unsigned char c = static_cast<unsigned char>(bytes[at]);
    if (c < 0x80)
        return c;
    const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    char32_t code = c & (c >= 0xF0 ? 0x07 : c >= 0xE0 ? 0x0F : 0x1F);
    for (int i = 1; i < length && at + size_t(i) < bytes.size(); ++i)
        code = (code << 6) | (static_cast<unsigned char>(bytes[at + size_t(i)]) & 0x3F);
    return code;
}

// The characters on both sides of the bytes [begin, end) within [from, to) are no word
// characters.
bool standsAlone(std::string_view page, qsizetype from, qsizetype to, qsizetype begin,
    qsizetype end, platform::TextEncoding encoding)
{
    const bool latin1 = encoding == platform::TextEncoding::Latin1;
    if (begin > from) {
        qsizetype start = begin - 1;
        while (!latin1 && start > from && (static_cast<unsigned char>(page[size_t(start)]) & 0xC0) == 0x80)
            --start;
        const char32_t c = latin1 ? static_cast<unsigned char>(page[size_t(start)])
                                  : utf8At(page.substr(0, size_t(to)), size_t(start));
        if (isWordCharacter(c))
            return false;
    }
    if (end < to) {
        const char32_t c = latin1 ? static_cast<unsigned char>(page[size_t(end)])
                                  : utf8At(page.substr(0, size_t(to)), size_t(end));
        if (isWordCharacter(c))
            return false;
    }
    return true;
}

QString numericReference(QChar c)
{
    return QStringLiteral("&#%1;").arg(c.unicode());
}

// The replacement as it must be written where it goes.
QString escaped(const QString &with, const Region *region)
{
    if (!region || region->kind == RegionKind::TagName || region->kind == RegionKind::AttributeName)
        return with;
    QString out;
    out.reserve(with.size() + 8);
    for (const QChar c : with) {
        if (c == u'&')
            out += QLatin1String("&amp;");
        else if (c == u'<')
            out += QLatin1String("&lt;");
        else if (region->kind == RegionKind::Text)
            out += c;
        else if (region->quote == '"' && c == u'"')
            out += QLatin1String("&quot;");
        else if (region->quote == '\'' && c == u'\'')
            out += QLatin1String("&#39;");
        else if (region->quote == 0 && (c.isSpace() || QStringView(u">\"'=`").contains(c)))
            out += numericReference(c);
        else
            out += c;
    }
    return out;
}

bool regionWanted(const Region &region, const ReplaceOptions &options, const QByteArray &page)
{
    switch (options.scope) {
    case Scope::All:
        break;
    case Scope::Text:
        return region.kind == RegionKind::Text;
    case Scope::Attributes:
        if (region.kind != RegionKind::AttributeValue)
            return false;
        return options.attribute.isEmpty()
            || QString::fromLatin1(page.constData() + region.nameBegin, region.nameEnd - region.nameBegin)
                   .compare(options.attribute, Qt::CaseInsensitive)
            == 0;
    case Scope::Tags:
        return region.kind == RegionKind::TagName || region.kind == RegionKind::AttributeName;
    }
    return true;
}

// The bytes that take the place of the match of begin to end in a region (null: anywhere):
// escaped for the region, with the page's line breaks, in its encoding. Nothing, with the
// reason, when the region cannot take them.
std::optional<QByteArray> replacementBytes(const QString &matchWith, qsizetype begin,
    qsizetype end, const Region *current, bool crlf, platform::TextEncoding encoding,
    QString *error)
{
    QString with = escaped(matchWith, current);
    if (crlf && with.contains(u'\n')) {
        with.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        with.replace(u'\n', QLatin1String("\r\n"));
    }
    if (current && current->kind == RegionKind::AttributeValue && current->quote == 0
        && with.isEmpty() && begin == current->begin && end == current->end)
        with = QStringLiteral("\"\""); // an unquoted value removed whole stays a value
    if (current && (current->kind == RegionKind::TagName || current->kind == RegionKind::AttributeName)
        && (with.isEmpty() || std::any_of(with.begin(), with.end(), isNameBreaker))) {
        *error = QStringLiteral("\"%1\" cannot be the name of a tag or an attribute.").arg(with);
        return std::nullopt;
    }
    QByteArray bytes;
    QString unstorable;
    if (!editor::encodeEditorText(with, encoding, editor::LineEnds::Lf, &bytes, &unstorable)) {
        *error = QStringLiteral("The text holds characters that this 8-bit page cannot "
                                "store: ")
            + unstorable.left(20);
        return std::nullopt;
    }
    return bytes;
}

} // namespace

bool isUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        if (end - p >= 8) {
            quint64 eight;
            std::memcpy(&eight, p, 8);
            if ((eight & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode are no UTF-8.
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
            || (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        p += length;
    }
    return true;
}

Replacer::Replacer(const ReplaceOptions &options)
    : m_options(options)
{
    if (options.find.isEmpty()) {
        m_problem = QStringLiteral("There is nothing to find.");
        return;
    }
    if (options.scope == Scope::Tags && !options.regex
        && (options.with.isEmpty() || std::any_of(options.with.begin(), options.with.end(), isNameBreaker))) {
        m_problem = QStringLiteral("\"%1\" cannot be the name of a tag or an attribute.")
                        .arg(options.with);
        return;
    }
    const bool plainBytes = !options.regex && options.matchCase;
    if (plainBytes) {
        m_findUtf8 = options.find.toUtf8();
        if (std::all_of(options.find.begin(), options.find.end(),
                [](QChar c) { return c.unicode() <= 0xFF; }))
            m_findLatin1 = options.find.toLatin1();
    }
    QString pattern = options.regex ? options.find : QRegularExpression::escape(options.find);
    if (options.wholeWords)
        pattern = QStringLiteral("(?<![\\p{L}\\p{N}_])(?:%1)(?![\\p{L}\\p{N}_])").arg(pattern);
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption
        | QRegularExpression::MultilineOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    m_regex = QRegularExpression(pattern, flags);
    if (!m_regex.isValid()) {
        m_problem = QStringLiteral("The regular expression is not valid: %1 (at character %2).")
                        .arg(m_regex.errorString())
                        .arg(m_regex.patternErrorOffset() + 1);
        return;
    }
    m_regex.optimize(); // compiled once, before threads share it
}

QString Replacer::expanded(const QRegularExpressionMatch &match) const
{
    if (!m_options.regex)
        return m_options.with;
    QString out;
    const QString &with = m_options.with;
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with[i];
        if (c != u'\\' || i + 1 == with.size()) {
            out += c;
            continue;
        }
        const QChar next = with[++i];
        if (next.isDigit())
            out += match.captured(next.digitValue());
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else
            out += next;
    }
    return out;
}

void Replacer::findBytes(const QByteArray &page, qsizetype begin, qsizetype end,
    platform::TextEncoding encoding, const MatchSink &found) const
{
    const QByteArray &needle
        = encoding == platform::TextEncoding::Latin1 ? m_findLatin1 : m_findUtf8;
    // Only up to the region's end: a search past it would cross every later region again.
    const std::string_view bytes(page.constData(), size_t(end));
    const std::string_view want(needle.constData(), size_t(needle.size()));
    for (size_t at = bytes.find(want, size_t(begin)); at != std::string_view::npos;
         at = bytes.find(want, at)) {
        const qsizetype stop = qsizetype(at + want.size());
        if (m_options.wholeWords && !standsAlone(bytes, begin, end, qsizetype(at), stop, encoding)) {
            ++at;
            continue;
        }
        found({ qsizetype(at), stop, m_options.with });
        at = size_t(stop);
    }
}

void Replacer::findText(const QByteArray &page, qsizetype begin, qsizetype end,
    platform::TextEncoding encoding, bool references, const MatchSink &found) const
{
    thread_local SearchText text;
    readSearchText(std::string_view(page.constData(), size_t(page.size())), begin, end, encoding,
        references, &text);
    if (!m_options.regex) {
        const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const qsizetype length = m_options.find.size();
        for (qsizetype at = text.text.indexOf(m_options.find, 0, cs); at >= 0;
             at = text.text.indexOf(m_options.find, at, cs)) {
            if (m_options.wholeWords
                && (isWordCharacter(codePointBefore(text.text, at))
                    || isWordCharacter(codePointAt(text.text, at + length)))) {
                ++at;
                continue;
            }
            found({ text.byteBegin(at), text.byteEnd(at + length), m_options.with });
            at += length;
        }
        return;
    }
    QRegularExpressionMatchIterator matches = m_regex.globalMatch(text.text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (match.capturedLength() == 0)
            continue; // an empty match replaces nothing
        found({ text.byteBegin(match.capturedStart()), text.byteEnd(match.capturedEnd()),
            expanded(match) });
    }
}

PagePlan Replacer::plan(const QByteArray &page) const
{
    PagePlan plan;
    if (!m_problem.isEmpty()) {
        plan.error = m_problem;
        return plan;
    }
    plan.encoding = isUtf8(page) ? platform::TextEncoding::Utf8 : platform::TextEncoding::Latin1;
    const qsizetype firstBreak = page.indexOf('\n');
    const bool crlf = firstBreak > 0 && page.at(firstBreak - 1) == '\r';
    const bool references = m_options.scope == Scope::Text || m_options.scope == Scope::Attributes;
    const QByteArray &needle
        = plan.encoding == platform::TextEncoding::Latin1 ? m_findLatin1 : m_findUtf8;
    // Plain text with its case is found in the bytes themselves, unless a reference might
    // spell part of it.
    if (!needle.isEmpty() && (m_options.scope == Scope::All || !page.contains('&'))
        && !page.contains(needle))
        return plan;

    const Region *current = nullptr;
    const MatchSink keep = [&](const Match &match) {
        if (!plan.error.isEmpty())
            return;
        const std::optional<QByteArray> bytes
            = replacementBytes(
            match.with, match.begin, match.end, current, crlf, plan.encoding, &plan.error);
        if (bytes && *bytes != QByteArrayView(page).sliced(match.begin, match.end - match.begin))
            plan.edits.push_back({ match.begin, match.end, *bytes }); // else no change at all
    };
    const auto search = [&](qsizetype begin, qsizetype end) {
        const bool asBytes = !needle.isEmpty()
            && (!references
                || std::memchr(page.constData() + begin, '&', size_t(end - begin)) == nullptr);
        if (asBytes)
            findBytes(page, begin, end, plan.encoding, keep);
        else
            findText(page, begin, end, plan.encoding, references, keep);
    };
    if (m_options.scope == Scope::All) {
        search(hasBom(page) ? kBomSize : 0, page.size());
    } else {
        const std::vector<Region> regions
            = htmlRegions(std::string_view(page.constData(), size_t(page.size())));
        for (const Region &region : regions) {
            if (!regionWanted(region, m_options, page))
                continue;
            current = &region;
            search(region.begin, region.end);
        }
    }
    if (!plan.error.isEmpty())
        plan.edits.clear();
    return plan;
}

QByteArray applyEdits(const QByteArray &page, const std::vector<Edit> &edits)
{
    qsizetype size = page.size();
    for (const Edit &edit : edits)
        size += edit.bytes.size() - (edit.end - edit.begin);
    QByteArray out;
    out.reserve(size);
    qsizetype at = 0;
    for (const Edit &edit : edits) {
        out.append(page.constData() + at, edit.begin - at);
        out.append(edit.bytes);
        at = edit.end;
    }
    out.append(page.constData() + at, page.size() - at);
    return out;
}

std::vector<ChangeView> describeEdits(
    const QByteArray &page, platform::TextEncoding encoding, const std::vector<Edit> &edits)
{
    const bool latin1 = encoding == platform::TextEncoding::Latin1;
    const auto decode = [latin1](const char *bytes, qsizetype size) {
        return latin1 ? QString::fromLatin1(bytes, size) : QString::fromUtf8(bytes, size);
    };
    // Cuts never split a UTF-8 sequence.
    const auto onCharacter = [&](qsizetype at, int step) {
        while (!latin1 && at > 0 && at < page.size() && (page.at(at) & 0xC0) == 0x80)
            at += step;
        return at;
    };
    std::vector<ChangeView> views;
    views.reserve(edits.size());
    int line = 1;
    qsizetype counted = 0;
    for (const Edit &edit : edits) {
        line += int(std::count(page.constData() + counted, page.constData() + edit.begin, '\n'));
        counted = edit.begin;
        qsizetype start = edit.begin;
        while (start > 0 && edit.begin - start < kContext && page.at(start - 1) != '\n'
            && page.at(start - 1) != '\r')
            --start;
        start = onCharacter(start, 1);
        qsizetype stop = edit.end;
        while (stop < page.size() && stop - edit.end < kContext && page.at(stop) != '\n'
            && page.at(stop) != '\r')
            ++stop;
        stop = onCharacter(stop, -1);
        const QString head = decode(page.constData() + start, edit.begin - start);
        const QString tail = decode(page.constData() + edit.end, stop - edit.end);
        views.push_back({ line, head + decode(page.constData() + edit.begin, edit.end - edit.begin) + tail,
            head + decode(edit.bytes.constData(), edit.bytes.size()) + tail });
    }
    return views;
}

} // namespace replace
