#include "formatter/tokenizer.h"

#include "formatter/tagkey.h"

#include <algorithm>
#include <unordered_map>

namespace formatter {

namespace {

constexpr qsizetype kProgressStep = 1000;
// The entry of the comments that the formatter writes itself.
constexpr qsizetype kOwnCommentEntry = 1;
// The entry of table cells.
constexpr qsizetype kCellEntry = 3;

bool isSpaceLfTab(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\n') || c == QLatin1Char('\t');
}

// Text as a run keeps it: LF and TAB become spaces, a run of spaces becomes one, and spaces
// at the start go. Done as the characters come, so a run is never copied to be cleaned.
class CollapsedText
{
public:
    void append(QStringView text)
    {
        // The buffer only grows; its size is kept apart, as resizing a QString for every
        // piece of text cost a tenth of a format run.
        if (m_buffer.size() < m_size + text.size())
            m_buffer.resize(qMax(2 * m_buffer.size(), m_size + text.size()));
        char16_t *out = reinterpret_cast<char16_t *>(m_buffer.data());
        qsizetype n = m_size;
        char16_t last = n > 0 ? out[n - 1] : u' ';
        for (const QChar qc : text) {
            char16_t c = qc.unicode();
            if (c == u'\n' || c == u'\t')
                c = u' ';
            if (c == u' ') {
                if (last == u' ')
                    continue;
            } else if (c != u'\r') {
                m_hasText = true;
            }
            out[n++] = c;
            last = c;
        }
        m_size = n;
    }

    void clear()
    {
        m_size = 0;
        m_hasText = false;
    }

    // Whether the last character but spaces is a "<" (one that is text).
    bool endsWithLessThan() const
    {
        const QStringView collapsed = text();
        qsizetype n = collapsed.size();
        while (n > 0 && (collapsed.at(n - 1) == QLatin1Char(' ') || collapsed.at(n - 1) == u'\r'))
            --n;
        return n > 0 && collapsed.at(n - 1) == QLatin1Char('<');
    }

    // Whether anything but spaces, TABs, LFs and CRs came.
    bool hasText() const { return m_hasText; }
    QStringView text() const { return QStringView(m_buffer).first(m_size); }

private:
    QString m_buffer;
    qsizetype m_size = 0;
    bool m_hasText = false;
};

QStringView trimSpaces(QStringView text)
{
    while (text.startsWith(QLatin1Char(' ')))
        text = text.sliced(1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// A line that is exactly one space is kept as an empty line.
QStringView storedLine(QStringView line)
{
    return line == u" " ? QStringView() : line;
}

class Tokenizer
{
public:
    Tokenizer(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
        const FormatHooks &hooks, TokenSink &sink);

    void run();

private:
    // A memoised case-insensitive search for one closing text. The scan only moves forward,
    // so a repeated search (a table cell that is not simple) costs nothing.
    struct ClosingSearch {
        qsizetype from = -1;
        qsizetype found = -1;
        qsizetype end = -1;
    };

    void showProgress(qsizetype position);
    void flushPending();
    void readKey(qsizetype p);
    int inlineRule() const;
    qsizetype verbatimEntry() const;
    qsizetype tagEnd(qsizetype p) const;
    qsizetype copyCollapsed(qsizetype p, qsizetype end, bool everyTag, char16_t *out) const;
    void normalizeTag(qsizetype p, qsizetype end, bool extraSpace);
    bool keepsOneSpace(qsizetype next) const;
    qsizetype findClosing(QStringView closing, qsizetype from, qsizetype *matchEnd) const;
    qsizetype closingEnd(qsizetype entry, qsizetype from);
    qsizetype firstOutsideTag(qsizetype from);
    qsizetype ownLineTag(qsizetype p);
    qsizetype inlineTag(qsizetype p, int ruleIndex);
    qsizetype verbatimBlock(qsizetype p, qsizetype entry);
    bool simpleCell(qsizetype p, qsizetype *next);

    QStringView m_source;
    qsizetype m_length = 0;
    const StyleOptions &m_options;
    const TagRuleTable &m_rules;
    const FormatHooks &m_hooks;
    TokenSink &m_sink;
    std::unordered_map<QStringView, int, ViewHash> m_inlineRules;
    CollapsedText m_pending;
    QString m_key; // TagKey of the tag at hand
    QString m_blankless; // the tag at hand without the blanks after its "<"
    QString m_tag; // the tag at hand, read and collapsed
    QString m_line; // the tag at hand, cleaned
    int m_lastMarker = 0;
    qsizetype m_nextProgress = kProgressStep;
    std::array<ClosingSearch, VerbatimTagTable.size()> m_searches;
    // The last answer of firstOutsideTag, reused by later cells that start inside it.
    qsizetype m_outsideFrom = -1;
    qsizetype m_outsideAt = -1;
};

Tokenizer::Tokenizer(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
    const FormatHooks &hooks, TokenSink &sink)
    : m_source(source)
    , m_length(source.size())
    , m_options(options)
    , m_rules(rules)
    , m_hooks(hooks)
    , m_sink(sink)
    // Without anyone to tell, the source is one step.
    , m_nextProgress(hooks.setProgress || hooks.processEvents ? kProgressStep : source.size())
{
    // First rule in table order wins: emplace keeps the key that is there.
    for (const RecTAGInfo &rule : m_rules.rules) {
        if (!rule.treatAsText)
            continue;
        if (!rule.tagOpen.isEmpty())
            m_inlineRules.emplace(rule.tagOpen, rule.index);
        if (!rule.tagClose.isEmpty())
            m_inlineRules.emplace(rule.tagClose, rule.index);
        if (rule.tagClose == u"</H>") {
            for (const QStringView heading :
                { u"</H1>", u"</H2>", u"</H3>", u"</H4>", u"</H5>", u"</H6>" })
                m_inlineRules.emplace(heading, rule.index);
        }
    }
}

void Tokenizer::showProgress(qsizetype position)
{
    if (position < m_nextProgress)
        return;
    m_nextProgress = (position / kProgressStep + 1) * kProgressStep;
    if (m_hooks.setProgress)
        m_hooks.setProgress(position / kProgressStep * kProgressStep);
    if (m_hooks.processEvents)
        m_hooks.processEvents();
}

void Tokenizer::flushPending()
{
    // Whitespace alone is carried into the next run.
    if (!m_pending.hasText())
        return;
    m_sink.tokenLine(storedLine(m_pending.text()));
    m_pending.clear();
}

// The key of the tag at p as the tag will be written, so that the next run, which reads the
// written tag, chooses as this one did: the blanks after "<" go ("< b" is written "<b>"),
// and the end of the source ends a name ("x <s" is written "x <s>") as the line break after
// the result will.
void Tokenizer::readKey(qsizetype p)
{
    qsizetype name = p + 1;
    while (name < m_length && isBlank(m_source.at(name)))
        ++name;
    if (name == p + 1) {
        TagKeyInto(m_source.sliced(p), m_length, m_key);
        closeKeyAtEnd(m_key, m_length - p);
    } else {
        // Rare; the copy ends with the tag, which the scan then passes.
        m_blankless = QLatin1Char('<') + m_source.sliced(name, tagEnd(p) + 1 - name);
        TagKeyInto(m_blankless, m_blankless.size() + 1, m_key);
        closeKeyAtEnd(m_key, m_blankless.size());
    }
}

int Tokenizer::inlineRule() const
{
    const auto it = m_inlineRules.find(m_key);
    return it == m_inlineRules.end() ? 0 : it->second;
}

qsizetype Tokenizer::verbatimEntry() const
{
    return verbatimEntryOf(m_key);
}

qsizetype Tokenizer::tagEnd(qsizetype p) const
{
    const qsizetype gt = m_source.indexOf(QLatin1Char('>'), p + 1);
    return gt < 0 ? m_length - 1 : gt;
}

// Copies the source from p to end into out: LF and TAB as spaces, tag names in the letter
// case of the style, runs of spaces as one. A name begins at p, and also after every "<"
// when everyTag is set. Gives the number of characters written.
qsizetype Tokenizer::copyCollapsed(qsizetype p, qsizetype end, bool everyTag, char16_t *out) const
{
    qsizetype n = 0;
    bool inName = true;
    bool beforeName = true; // blanks after "<" go when the tag is cleaned: the name follows
    for (qsizetype i = p; i <= end; ++i) {
        QChar c = m_source.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        if (c == QLatin1Char('<') && (everyTag || i == p)) {
            inName = true;
            beforeName = true;
        } else if (inName && !(beforeName && isBlank(c))) {
            beforeName = false;
            if (c == QLatin1Char(' ') || c == QLatin1Char('"') || c == QLatin1Char('>'))
                inName = false;
            else
                c = tagNameCharacter(c, m_options.tagCase);
        }
        if (c == QLatin1Char(' ') && n > 0 && out[n - 1] == u' ')
            continue;
        out[n++] = c.unicode();
    }
    return n;
}

// The tag from p to end as a token, collapsed and cleaned ("< b >" becomes "<b>"), with one
// space after it when extraSpace is set or the tag ended with one. Leaves it in m_line.
void Tokenizer::normalizeTag(qsizetype p, qsizetype end, bool extraSpace)
{
    m_tag.resize(end - p + 2);
    char16_t *out = reinterpret_cast<char16_t *>(m_tag.data());
    qsizetype n = copyCollapsed(p, end, false, out);
    if (extraSpace && out[n - 1] != u' ')
        out[n++] = u' ';
    m_tag.truncate(n);

    const bool trailingSpace = m_tag.back() == QLatin1Char(' ');
    QStringView inner = trimSpaces(m_tag);
    while (inner.startsWith(QLatin1Char('<')))
        inner = inner.sliced(1);
    while (inner.endsWith(QLatin1Char('>')))
        inner.chop(1);
    inner = trimSpaces(inner);
    m_line.resize(inner.size() + (trailingSpace ? 3 : 2));
    char16_t *line = reinterpret_cast<char16_t *>(m_line.data());
    line[0] = u'<';
    line = std::copy(inner.utf16(), inner.utf16() + inner.size(), line + 1);
    line[0] = u'>';
    if (trailingSpace)
        line[1] = u' ';
}

// After a tag that is not a block tag, one whitespace character of the source becomes the
// tag's own space.
bool Tokenizer::keepsOneSpace(qsizetype next) const
{
    return next < m_length && isSpaceLfTab(m_source.at(next)) && !isBlockTag(m_key);
}

// As indexOf(closing, from, Qt::CaseInsensitive), but looks for the first character, which
// has no other case ("<", "-" or "~"), with the fast exact search first.
// Where closing begins at or after from, ignoring letter case, and where it ends. Blanks may
// follow its "<" only for a cell's end: a cell whose "< /td>" goes as "</td>" into the result
// would otherwise be simple on the next run.
qsizetype Tokenizer::findClosing(QStringView closing, qsizetype from, qsizetype *matchEnd) const
{
    const QChar first = closing.front();
    const QStringView rest = closing.sliced(1);
    const bool blanksAfterLessThan = closing == VerbatimTagTable.at(kCellEntry).closingText;
    for (qsizetype at = m_source.indexOf(first, from); at >= 0;
         at = m_source.indexOf(first, at + 1)) {
        qsizetype restAt = at + 1;
        while (blanksAfterLessThan && restAt < m_length && isBlank(m_source.at(restAt)))
            ++restAt;
        if (m_source.sliced(restAt).startsWith(rest, Qt::CaseInsensitive)) {
            *matchEnd = restAt + rest.size();
            return at;
        }
    }
    return -1;
}

qsizetype Tokenizer::closingEnd(qsizetype entry, qsizetype from)
{
    const QStringView closing = VerbatimTagTable.at(entry).closingText;
    ClosingSearch &search = m_searches.at(entry);
    const bool reusable
        = search.from >= 0 && from >= search.from && (search.found < 0 || search.found >= from);
    if (!reusable) {
        search.from = from;
        qsizetype matchEnd = -1;
        search.found = findClosing(closing, from, &matchEnd);
        search.end = m_length - 1;
        if (search.found >= 0) {
            const qsizetype gt = m_source.indexOf(QLatin1Char('>'), matchEnd - 1);
            if (gt >= 0)
                search.end = gt;
        }
    }
    return search.end;
}

// Where a scan that starts at from outside a tag first meets a character outside a tag
// (m_length if never). A later scan that starts inside the last one, at a "<" that begins
// a tag, joins it at the next ">", so it has the same answer: cells cost linear time.
qsizetype Tokenizer::firstOutsideTag(qsizetype from)
{
    const auto beginsTag = [this](qsizetype x) {
        return m_source.at(x) == QLatin1Char('<') && canBeginTag(m_source, x);
    };
    if (from >= m_length || !beginsTag(from))
        return from;
    if (from >= m_outsideFrom && from < m_outsideAt)
        return m_outsideAt;
    bool inTag = false;
    qsizetype x = from;
    for (; x < m_length; ++x) {
        if (inTag) {
            if (m_source.at(x) == QLatin1Char('>'))
                inTag = false;
        } else if (beginsTag(x)) {
            inTag = true;
        } else {
            break;
        }
    }
    m_outsideFrom = from;
    m_outsideAt = x;
    return x;
}

qsizetype Tokenizer::ownLineTag(qsizetype p)
{
    const qsizetype end = tagEnd(p);
    const bool space = keepsOneSpace(end + 1);
    normalizeTag(p, end, space);
    m_pending.clear();
    m_sink.tokenLine(storedLine(m_line));
    return space ? end + 2 : end + 1;
}

qsizetype Tokenizer::inlineTag(qsizetype p, int ruleIndex)
{
    const qsizetype end = tagEnd(p);
    const RecTAGInfo &rule = m_rules.rule(ruleIndex);
    const bool closing = m_source.at(p + 1) == QLatin1Char('/');
    if (rule.crlfLeading > 0 && !closing)
        flushPending();
    const bool space = keepsOneSpace(end + 1);
    normalizeTag(p, end, space);
    m_pending.append(m_line);
    if (rule.crlfFollowed > 0 && closing)
        flushPending();
    return space ? end + 2 : end + 1;
}

qsizetype Tokenizer::verbatimBlock(qsizetype p, qsizetype entry)
{
    flushPending();
    m_pending.clear();
    const QStringView openingKey = VerbatimTagTable.at(entry).openingKey;
    const qsizetype end = closingEnd(entry, p + 1);
    m_sink.verbatimBlock({ openingKey, ++m_lastMarker, m_source.sliced(p, end - p + 1) });
    return end + 1;
}

bool Tokenizer::simpleCell(qsizetype p, qsizetype *next)
{
    const qsizetype end = closingEnd(kCellEntry, p + 1);
    // Without its "</td" the cell's end is unknown; as a simple cell it would take in the
    // line break that the result ends with, and be no simple cell on the next run.
    if (m_searches.at(kCellEntry).found < 0)
        return false;
    qsizetype gt = m_source.indexOf(QLatin1Char('>'), p);
    if (gt < 0)
        gt = m_length - 1;
    qsizetype scan = gt + 1;
    // A lone CR opens a simple cell as other whitespace does: text drops it as whitespace,
    // so the cell would be simple on the next run.
    while (scan <= end && isBlank(m_source.at(scan)))
        ++scan;
    if (scan <= end && firstOutsideTag(scan) <= end)
        return false;

    flushPending();
    m_pending.clear();
    m_line.resize(end - p + 1);
    m_line.truncate(copyCollapsed(p, end, true, reinterpret_cast<char16_t *>(m_line.data())));
    const QStringView openingKey = VerbatimTagTable.at(kCellEntry).openingKey;
    m_sink.verbatimBlock({ openingKey, ++m_lastMarker, m_line });
    *next = end + 1;
    return true;
}

void Tokenizer::run()
{
    if (m_hooks.setProgressMaximum)
        m_hooks.setProgressMaximum(m_length);
    qsizetype p = 0;
    while (p < m_length) {
        showProgress(p);
        if (m_source.at(p) != QLatin1Char('<')) {
            // Up to the next "<", but no further than the next progress step.
            const qsizetype limit = qMin(m_length, m_nextProgress);
            qsizetype stop = m_source.sliced(p, limit - p).indexOf(QLatin1Char('<'));
            stop = stop < 0 ? limit : p + stop;
            m_pending.append(m_source.sliced(p, stop - p));
            p = stop;
            continue;
        }
        if (!canBeginTag(m_source, p)) {
            m_pending.append(m_source.sliced(p, 1));
            ++p;
            continue;
        }
        readKey(p);
        const int ruleIndex = inlineRule();
        const qsizetype entry = verbatimEntry();
        if (entry == kOwnCommentEntry) {
            // The formatter's own comments go, and the run makes them anew. One counts as
            // the whitespace that its line breaks will be on the next run. Between a "<"
            // that is text and a tag's name it stays, or that "<" would begin a tag.
            const qsizetype end = closingEnd(entry, p + 1);
            if (!m_pending.endsWithLessThan() || !canBeginTag(m_source, end)) {
                m_pending.append(u" ");
                p = end + 1;
                continue;
            }
        }
        if (ruleIndex == 0)
            flushPending();
        const bool cell = entry >= 0 && VerbatimTagTable.at(entry).openingKey == u"<TD>";
        qsizetype next = p + 1;
        if (cell && simpleCell(p, &next)) {
            // emitted as a block of one line
        } else if (entry >= 0 && !cell) {
            next = verbatimBlock(p, entry);
        } else {
            next = ruleIndex >= 1 ? inlineTag(p, ruleIndex) : ownLineTag(p);
        }
        p = next;
    }
    flushPending();
    if (m_hooks.setProgress) {
        m_hooks.setProgress(m_length);
        m_hooks.setProgress(0);
    }
}

} // namespace

void TokenizeSource(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
    const FormatHooks &hooks, TokenSink &sink)
{
    Tokenizer(source, options, rules, hooks, sink).run();
}

TokenLists TokenizeSource(QStringView source, const StyleOptions &options,
    const TagRuleTable &rules, const FormatHooks &hooks)
{
    TokenLists lists;
    TokenizeSource(source, options, rules, hooks, lists);
    return lists;
}

} // namespace formatter
