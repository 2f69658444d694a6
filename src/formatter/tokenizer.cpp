#include "formatter/tokenizer.h"

#include "formatter/tagkey.h"

#include <QHash>

#include <vector>

namespace formatter {

namespace {

constexpr qsizetype kProgressStep = 1000;

bool isSpaceLfTab(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\n') || c == QLatin1Char('\t');
}

bool isWhitespace(QChar c)
{
    return isSpaceLfTab(c) || c == QLatin1Char('\r');
}

// TABs become spaces and every run of spaces becomes one.
QString collapseSpaces(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool lastWasSpace = false;
    for (QChar c : text) {
        if (c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        const bool space = c == QLatin1Char(' ');
        if (!(space && lastWasSpace))
            out += c;
        lastWasSpace = space;
    }
    return out;
}

QStringView trimSpaces(QStringView text)
{
    while (text.startsWith(QLatin1Char(' ')))
        text = text.sliced(1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// "< b >" becomes "<b>"; one space after the tag survives.
QString cleanTag(QStringView tag)
{
    if (tag.isEmpty())
        return QString();
    const bool trailingSpace = tag.back() == QLatin1Char(' ');
    QStringView inner = trimSpaces(tag);
    while (inner.startsWith(QLatin1Char('<')))
        inner = inner.sliced(1);
    while (inner.endsWith(QLatin1Char('>')))
        inner.chop(1);
    inner = trimSpaces(inner);
    QString out;
    out.reserve(inner.size() + 3);
    out += QLatin1Char('<');
    out += inner;
    out += QLatin1Char('>');
    if (trailingSpace)
        out += QLatin1Char(' ');
    return out;
}

QString normalizeTag(const QString &tag)
{
    return cleanTag(collapseSpaces(tag));
}

QString storedLine(QString line)
{
    if (line.size() == 1 && line.at(0) == QLatin1Char(' '))
        line.clear();
    return line;
}

class Tokenizer
{
public:
    Tokenizer(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
              const FormatHooks &hooks);

    TokenLists run();

private:
    // A memoised case-insensitive search for one closing text. The scan only moves forward,
    // so a repeated search (a table cell that is not simple) costs nothing.
    struct ClosingSearch {
        qsizetype from = -1;
        qsizetype found = -1;
        qsizetype end = -1;
    };

    void showProgress(qsizetype position);
    void appendText(QStringView text);
    void dropPending();
    void flushPending();
    void addTokenLine(QString line);
    int inlineRule(const QString &key) const;
    qsizetype tagEnd(qsizetype p) const;
    QString readTag(qsizetype p, qsizetype end) const;
    qsizetype keepOneSpace(QString &tag, qsizetype next) const;
    qsizetype closingEnd(qsizetype entry, qsizetype from);
    qsizetype firstOutsideTag(qsizetype from);
    QString nextMarker(QStringView openingKey);
    // Reads the tag at p into tag, with next just after it; false when it was only text.
    bool takeTag(qsizetype p, QString &tag, qsizetype &next);
    qsizetype ownLineTag(qsizetype p);
    qsizetype inlineTag(qsizetype p, int ruleIndex);
    qsizetype verbatimBlock(qsizetype p, qsizetype entry);
    bool simpleCell(qsizetype p, qsizetype *next);

    QStringView m_source;
    qsizetype m_length = 0;
    const StyleOptions &m_options;
    const TagRuleTable &m_rules;
    const FormatHooks &m_hooks;
    QHash<QString, int> m_inlineRules;
    QString m_pending;
    bool m_pendingHasText = false;
    int m_lastMarker = 0;
    qsizetype m_nextProgress = kProgressStep;
    TokenLists m_lists;
    std::array<ClosingSearch, VerbatimTagTable.size()> m_searches;
    // For each position, where a scan that starts there outside a tag first meets a
    // character outside a tag; built on the first table cell.
    std::vector<qsizetype> m_outside;
};

Tokenizer::Tokenizer(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
                     const FormatHooks &hooks)
    : m_source(source), m_length(source.size()), m_options(options), m_rules(rules),
      m_hooks(hooks)
{
    // First rule in table order wins, so only keys not seen yet are entered.
    const auto enter = [this](const QString &key, int index) {
        if (!key.isEmpty() && !m_inlineRules.contains(key))
            m_inlineRules.insert(key, index);
    };
    for (const RecTAGInfo &rule : m_rules.rules) {
        if (!rule.treatAsText)
            continue;
        enter(rule.tagOpen, rule.index);
        enter(rule.tagClose, rule.index);
        if (rule.tagClose == u"</H>") {
            for (int level = 1; level <= 6; ++level)
                enter(QStringLiteral("</H%1>").arg(level), rule.index);
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

void Tokenizer::appendText(QStringView text)
{
    const qsizetype old = m_pending.size();
    m_pending.append(text);
    QChar *data = m_pending.data();
    for (qsizetype i = old; i < m_pending.size(); ++i) {
        if (data[i] == QLatin1Char('\t'))
            data[i] = QLatin1Char(' ');
        else if (!m_pendingHasText && !isWhitespace(data[i]))
            m_pendingHasText = true;
    }
}

void Tokenizer::dropPending()
{
    m_pending.resize(0);
    m_pendingHasText = false;
}

void Tokenizer::flushPending()
{
    // Whitespace alone is carried into the next run.
    if (!m_pendingHasText)
        return;
    QString line;
    line.reserve(m_pending.size());
    bool lastWasSpace = true; // drops leading spaces
    for (QChar c : std::as_const(m_pending)) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        const bool space = c == QLatin1Char(' ');
        if (!(space && lastWasSpace))
            line += c;
        lastWasSpace = space;
    }
    addTokenLine(line);
    dropPending();
}

void Tokenizer::addTokenLine(QString line)
{
    m_lists.tokenLines.append({storedLine(std::move(line)), -1});
}

int Tokenizer::inlineRule(const QString &key) const
{
    return m_inlineRules.value(key, 0);
}

qsizetype Tokenizer::tagEnd(qsizetype p) const
{
    const qsizetype gt = m_source.indexOf(QLatin1Char('>'), p + 1);
    return gt < 0 ? m_length - 1 : gt;
}

QString Tokenizer::readTag(qsizetype p, qsizetype end) const
{
    QString tag = m_source.sliced(p, end - p + 1).toString();
    QChar *data = tag.data();
    for (qsizetype i = 0; i < tag.size(); ++i) {
        if (data[i] == QLatin1Char('\n') || data[i] == QLatin1Char('\t'))
            data[i] = QLatin1Char(' ');
    }
    return tag;
}

qsizetype Tokenizer::keepOneSpace(QString &tag, qsizetype next) const
{
    if (next < m_length && isSpaceLfTab(m_source.at(next)) && !isBlockTag(TagKey(tag))) {
        tag += QLatin1Char(' ');
        return next + 1;
    }
    return next;
}

qsizetype Tokenizer::closingEnd(qsizetype entry, qsizetype from)
{
    const QStringView closing = VerbatimTagTable.at(entry).closingText;
    ClosingSearch &search = m_searches.at(entry);
    const bool reusable = search.from >= 0 && from >= search.from
                          && (search.found < 0 || search.found >= from);
    if (!reusable) {
        search.from = from;
        search.found = m_source.indexOf(closing, from, Qt::CaseInsensitive);
        search.end = m_length - 1;
        if (search.found >= 0) {
            const qsizetype gt = m_source.indexOf(QLatin1Char('>'),
                                                  search.found + closing.size() - 1);
            if (gt >= 0)
                search.end = gt;
        }
    }
    return search.end;
}

qsizetype Tokenizer::firstOutsideTag(qsizetype from)
{
    if (m_outside.empty()) {
        m_outside.resize(static_cast<size_t>(m_length) + 1);
        m_outside[m_length] = m_length;
        qsizetype nextGt = -1;
        for (qsizetype x = m_length - 1; x >= 0; --x) {
            const QChar c = m_source.at(x);
            if (c != QLatin1Char('<'))
                m_outside[x] = x;
            else
                m_outside[x] = nextGt < 0 ? m_length : m_outside[nextGt + 1];
            if (c == QLatin1Char('>'))
                nextGt = x;
        }
    }
    return m_outside[from];
}

QString Tokenizer::nextMarker(QStringView openingKey)
{
    ++m_lastMarker;
    return QStringLiteral("###") + openingKey + QLatin1Char(':')
           + QString::number(m_lastMarker);
}

bool Tokenizer::takeTag(qsizetype p, QString &tag, qsizetype &next)
{
    const qsizetype end = tagEnd(p);
    tag = readTag(p, end);
    next = end + 1;
    if (tag.size() < 2) {
        // A lone "<" at the very end is text; made into a tag it would gain a ">".
        appendText(tag);
        return false;
    }
    convertTagNameCase(tag, 0, m_options.tagCase);
    return true;
}

qsizetype Tokenizer::ownLineTag(qsizetype p)
{
    QString tag;
    qsizetype next = 0;
    if (!takeTag(p, tag, next))
        return next;
    next = keepOneSpace(tag, next);
    dropPending();
    addTokenLine(normalizeTag(tag));
    return next;
}

qsizetype Tokenizer::inlineTag(qsizetype p, int ruleIndex)
{
    QString tag;
    qsizetype next = 0;
    if (!takeTag(p, tag, next))
        return next;
    const RecTAGInfo &rule = m_rules.rule(ruleIndex);
    const bool closing = tag.at(1) == QLatin1Char('/');
    if (rule.crlfLeading > 0 && !closing)
        flushPending();
    next = keepOneSpace(tag, next);
    appendText(normalizeTag(tag));
    if (rule.crlfFollowed > 0 && closing)
        flushPending();
    return next;
}

qsizetype Tokenizer::verbatimBlock(qsizetype p, qsizetype entry)
{
    flushPending();
    dropPending();
    const QStringView openingKey = VerbatimTagTable.at(entry).openingKey;
    const qsizetype end = closingEnd(entry, p + 1);
    // The formatter's own comments are dropped; the run makes them anew.
    if (openingKey == u"<!--~")
        return end + 1;
    VerbatimBlock block;
    block.marker = nextMarker(openingKey);
    block.openingKey = openingKey.toString();
    qsizetype start = p;
    while (start <= end) {
        qsizetype lf = m_source.indexOf(QLatin1Char('\n'), start);
        if (lf < 0 || lf > end)
            lf = end + 1;
        // An empty rest after the last LF is no line: the output ends every line anyway,
        // and an extra empty line would grow with every run.
        if (lf <= end || lf > start)
            block.lines.append(m_source.sliced(start, lf - start).toString());
        start = lf + 1;
    }
    m_lists.tokenLines.append({block.marker, m_lists.blocks.size()});
    m_lists.blocks.append(std::move(block));
    return end + 1;
}

bool Tokenizer::simpleCell(qsizetype p, qsizetype *next)
{
    constexpr qsizetype cellEntry = 3;
    const qsizetype end = closingEnd(cellEntry, p + 1);
    qsizetype gt = m_source.indexOf(QLatin1Char('>'), p);
    if (gt < 0)
        gt = m_length - 1;
    qsizetype scan = gt + 1;
    while (scan <= end && isSpaceLfTab(m_source.at(scan)))
        ++scan;
    if (scan <= end && firstOutsideTag(scan) <= end)
        return false;

    flushPending();
    dropPending();
    QString line;
    line.reserve(end - p + 1);
    bool inName = false;
    for (qsizetype i = p; i <= end; ++i) {
        QChar c = m_source.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        if (c == QLatin1Char('<')) {
            inName = true;
        } else if (inName) {
            if (c == QLatin1Char(' ') || c == QLatin1Char('"') || c == QLatin1Char('>'))
                inName = false;
            else
                c = tagNameCharacter(c, m_options.tagCase);
        }
        line += c;
    }
    VerbatimBlock block;
    block.marker = nextMarker(VerbatimTagTable.at(cellEntry).openingKey);
    block.openingKey = VerbatimTagTable.at(cellEntry).openingKey.toString();
    block.lines.append(collapseSpaces(line));
    m_lists.tokenLines.append({block.marker, m_lists.blocks.size()});
    m_lists.blocks.append(std::move(block));
    *next = end + 1;
    return true;
}

TokenLists Tokenizer::run()
{
    if (m_hooks.setProgressMaximum)
        m_hooks.setProgressMaximum(m_length);
    qsizetype p = 0;
    while (p < m_length) {
        showProgress(p);
        if (m_source.at(p) != QLatin1Char('<')) {
            qsizetype stop = m_source.indexOf(QLatin1Char('<'), p);
            if (stop < 0)
                stop = m_length;
            stop = qMin(stop, m_nextProgress);
            appendText(m_source.sliced(p, stop - p));
            p = stop;
            continue;
        }
        const QString key = TagKey(m_source.sliced(p));
        const int ruleIndex = inlineRule(key);
        qsizetype entry = -1;
        for (qsizetype i = 0; i < qsizetype(VerbatimTagTable.size()); ++i) {
            if (VerbatimTagTable.at(i).openingKey == key) {
                entry = i;
                break;
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
    return std::move(m_lists);
}

} // namespace

TokenLists TokenizeSource(QStringView source, const StyleOptions &options,
                          const TagRuleTable &rules, const FormatHooks &hooks)
{
    return Tokenizer(source, options, rules, hooks).run();
}

} // namespace formatter
