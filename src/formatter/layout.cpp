#include "formatter/layout.h"

#include "formatter/tagkey.h"
#include "formatter/tokenizer.h"

#include <algorithm>
#include <unordered_map>

namespace formatter {

namespace {

QString repeated(const QString &symbol, qsizetype count)
{
    return count > 0 && !symbol.isEmpty() ? symbol.repeated(count) : QString();
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QStringView withoutTrailingSpaces(QStringView text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// Calls f with each piece of a wrapped line; see WrapLine.
template<typename F>
void forEachPiece(QStringView line, int lineSize, QStringView breakExcluder, F f)
{
    const bool quotes = breakExcluder == u"\"";
    QStringView rest = line;
    // Trailing spaces go at the end anyway; counted, they would wrap a line of exactly
    // lineSize characters on the next run, where the break after it has become a space.
    const qsizetype trailing = line.size() - withoutTrailingSpaces(line).size();
    while (rest.size() - trailing > lineSize) {
        bool protectedState = false;
        qsizetype lastSpace = -1;
        qsizetype cut = -1;
        for (qsizetype i = 0; i < rest.size(); ++i) {
            const QChar c = rest.at(i);
            if (quotes) {
                if (c == QLatin1Char('"'))
                    protectedState = !protectedState;
            } else if (c == QLatin1Char('<')) {
                protectedState = true;
            } else if (c == QLatin1Char('>')) {
                protectedState = false;
            }
            if (c != QLatin1Char(' ') || protectedState)
                continue;
            if (i + 1 > lineSize) {
                cut = lastSpace >= 0 ? lastSpace : i;
                break;
            }
            lastSpace = i;
        }
        // The end of the line counts as a space: whether whitespace followed the text in
        // the source must not change the layout, or formatting again would wrap anew.
        if (cut < 0 && !protectedState)
            cut = lastSpace;
        if (cut < 0)
            break;
        f(rest.first(cut + 1));
        rest = rest.sliced(cut + 1);
    }
    if (!rest.isEmpty())
        f(rest);
}

class Layout final : public TokenSink
{
public:
    Layout(const StyleOptions &options, TagRuleTable &rules, const RunContext &context,
        ResultWriter &out);

    void start();
    void tokenLine(QStringView line) override;
    void verbatimBlock(const BlockText &block) override;

private:
    struct RuleMatch {
        int index = 0;
        TagKind kind = TagKind::Opening;
    };

    void lookUp(QStringView line);
    QStringView indented(QStringView line);
    void addPlain(QStringView line);
    void addIfNotEmpty(QStringView line);
    void blankLines(int count);
    void sectionComment(TagKind kind);
    void wrap(QStringView line);
    void inlineOpening(QStringView line);
    void ownLineOpening(QStringView line);
    void closing(QStringView line);
    void raiseLevel(int units);
    void lowerLevel(int units);

    const StyleOptions &m_options;
    TagRuleTable &m_rules;
    const RunContext &m_context;
    ResultWriter &m_out;
    // Keys are views of the rules' own texts, which outlive the run.
    std::unordered_map<QStringView, RuleMatch, ViewHash> m_lookup;
    RecTAGInfo m_defaultRule = DefaultTagRule();
    RecTAGInfo *m_current = &m_defaultRule;
    TagKind m_kind = TagKind::Opening;
    qint64 m_indentLevel = 0;
    QString m_key; // TagKey of the line at hand
    QString m_lastKey; // key of the last tag of an inline run
    QString m_line; // the indented line at hand
};

Layout::Layout(
    const StyleOptions &options, TagRuleTable &rules, const RunContext &context, ResultWriter &out)
    : m_options(options)
    , m_rules(rules)
    , m_context(context)
    , m_out(out)
{
    // First rule wins, TagOpen before TagClose within a rule: emplace keeps the first.
    for (const RecTAGInfo &rule : std::as_const(m_rules.rules)) {
        if (!rule.tagOpen.isEmpty())
            m_lookup.emplace(rule.tagOpen, RuleMatch { rule.index, TagKind::Opening });
        if (!rule.tagClose.isEmpty())
            m_lookup.emplace(rule.tagClose, RuleMatch { rule.index, TagKind::Closing });
    }
}

void Layout::lookUp(QStringView line)
{
    m_current = &m_defaultRule;
    m_kind
        = line.size() > 1 && line.at(1) == QLatin1Char('/') ? TagKind::Closing : TagKind::Opening;
    TagKeyInto(line, line.size() + 1, m_key);
    const auto it = m_lookup.find(m_key);
    if (it != m_lookup.end()) {
        m_current = &m_rules.rule(it->second.index);
        m_kind = it->second.kind;
    }
}

// The line with the indentation of the level in front, in m_line.
QStringView Layout::indented(QStringView line)
{
    if (line.isEmpty() || line.startsWith(QLatin1Char('\t')))
        return line;
    qsizetype width = 0;
    if (m_indentLevel > 0 && m_options.spacing > 0) {
        width
            = m_indentLevel > kMaxIndentWidth ? kMaxIndentWidth : m_indentLevel * m_options.spacing;
        width = qMin(width, kMaxIndentWidth);
    }
    const QStringView prefix
        = m_context.selectionMode ? QStringView(m_context.selectionIndent) : QStringView();
    const qsizetype tabs = width / 8;
    const qsizetype spaces = width % 8;
    m_line.resize(prefix.size() + tabs + spaces + line.size());
    char16_t *out = reinterpret_cast<char16_t *>(m_line.data());
    out = std::copy(prefix.utf16(), prefix.utf16() + prefix.size(), out);
    out = std::fill_n(out, tabs, u'\t');
    out = std::fill_n(out, spaces, u' ');
    std::copy(line.utf16(), line.utf16() + line.size(), out);
    return m_line;
}

void Layout::addPlain(QStringView line)
{
    // Trailing spaces go; doing it on the way out equals doing it at the end.
    m_out.line(withoutTrailingSpaces(line));
}

void Layout::addIfNotEmpty(QStringView line)
{
    if (!line.isEmpty())
        addPlain(line);
}

void Layout::blankLines(int count)
{
    for (int i = 1; i < count && i <= kMaxBlankLines; ++i)
        m_out.endLine();
}

void Layout::sectionComment(TagKind kind)
{
    const QString comment = SectionComment(*m_current, kind, m_options);
    addIfNotEmpty(m_current->cindent ? indented(comment) : QStringView(comment));
}

void Layout::wrap(QStringView line)
{
    forEachPiece(line, m_options.lineSize, m_options.breakExcluder,
        [this](QStringView piece) { addIfNotEmpty(indented(piece)); });
}

void Layout::raiseLevel(int units)
{
    if (units > 0)
        m_indentLevel += units;
}

void Layout::lowerLevel(int units)
{
    // Never below 0: a decrease larger than the level is skipped.
    if (units > 0 && units <= m_indentLevel)
        m_indentLevel -= units;
}

void Layout::verbatimBlock(const BlockText &block)
{
    if (block.openingKey != u"<TD>") {
        // Comments, PRE, SCRIPT, STYLE and TEXTAREA come back exactly, trailing spaces too.
        forEachBlockLine(block.text, [this](QStringView line) { m_out.line(line); });
        return;
    }
    lookUp(u"<TD>");
    blankLines(m_current->crlfLeading);
    raiseLevel(m_current->isSelfIndent);
    sectionComment(TagKind::Opening);
    forEachBlockLine(block.text, [this](QStringView line) { addPlain(indented(line)); });
    sectionComment(TagKind::Closing);
    lowerLevel(m_current->isSelfIndent);
    blankLines(m_current->crlfFollowed);
}

void Layout::inlineOpening(QStringView line)
{
    // The key of the last tag of the run, when the run ends with a tag.
    m_lastKey.resize(0);
    const QStringView trimmed = withoutTrailingSpaces(line);
    if (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('>'))) {
        const qsizetype lt = trimmed.lastIndexOf(QLatin1Char('<'));
        if (lt >= 0)
            TagKeyInto(trimmed.sliced(lt), trimmed.size() + 1, m_lastKey);
    }
    blankLines(m_current->crlfLeading);
    sectionComment(TagKind::Opening);
    wrap(line);
    if (!m_lastKey.isEmpty() && m_lastKey != m_current->tagOpen) {
        lookUp(m_lastKey);
        sectionComment(m_kind);
        blankLines(m_kind == TagKind::Opening ? m_current->crlfLeading : m_current->crlfFollowed);
    }
}

void Layout::ownLineOpening(QStringView line)
{
    blankLines(m_current->crlfLeading);
    raiseLevel(m_current->isSelfIndent);
    sectionComment(TagKind::Opening);
    addIfNotEmpty(indented(line));
    raiseLevel(m_current->isContentIndent);
}

void Layout::closing(QStringView line)
{
    const bool inlineRule = m_current->treatAsText;
    if (!inlineRule)
        lowerLevel(m_current->isContentIndent);
    addIfNotEmpty(indented(line));
    sectionComment(TagKind::Closing);
    if (!inlineRule)
        lowerLevel(m_current->isSelfIndent);
    blankLines(m_current->crlfFollowed);
}

void Layout::start()
{
    ResetTagCounters(m_rules);
    m_indentLevel = 0;
    if (!m_context.selectionMode && m_options.useWhileFormat)
        addPlain(SignatureComment(m_options, m_context.styleName, m_context.now()));
}

void Layout::tokenLine(QStringView line)
{
    if (!line.startsWith(QLatin1Char('<'))) {
        wrap(line);
        return;
    }
    lookUp(line);
    if (m_kind == TagKind::Closing)
        closing(line);
    else if (m_current->treatAsText)
        inlineOpening(line);
    else
        ownLineOpening(line);
}

} // namespace

QStringList WrapLine(QStringView line, int lineSize, QStringView breakExcluder)
{
    QStringList pieces;
    forEachPiece(line, lineSize, breakExcluder,
        [&pieces](QStringView piece) { pieces.append(piece.toString()); });
    return pieces;
}

QString SectionComment(RecTAGInfo &rule, TagKind kind, const StyleOptions &options)
{
    const bool opening = kind == TagKind::Opening;
    if (options.doDisableComments)
        return QString();
    if (rule.treatAsText && (opening ? rule.crlfLeading < 1 : rule.crlfFollowed < 1))
        return QString();
    if (opening ? !rule.doGenerateSComment : !rule.doGenerateEComment)
        return QString();
    const QString &text = opening ? rule.startComment : rule.endComment;
    QString number;
    if (rule.enableCounter && rule.index > 0) {
        if (opening) {
            ++rule.counter;
            number = QString::number(rule.counter);
            rule.counterStack += QLatin1Char(';') + number;
        } else {
            const qsizetype semicolon = rule.counterStack.lastIndexOf(QLatin1Char(';'));
            if (semicolon >= 0) {
                number = rule.counterStack.sliced(semicolon + 1).left(10);
                rule.counterStack.truncate(semicolon);
            }
        }
    }
    const qint64 room = qint64(rule.commentLength) - text.size() - number.size() - 10;
    const qsizetype fill = qMin<qint64>(room / 2, kMaxCommentFill);
    const QString symbols = repeated(rule.commentSymbol, fill);
    QString comment = QStringLiteral("<!--~") + symbols;
    if (!text.isEmpty())
        comment += QLatin1Char(' ') + text + number + QLatin1Char(' ');
    comment += symbols + QStringLiteral("~-->");
    return comment;
}

QString SignatureComment(
    const StyleOptions &options, const QString &styleName, const QDateTime &now)
{
    if (!options.doIncludeUser && !options.doIncludeVersion && !options.doIncludeDate
        && !options.doIncludeTime && !options.doIncludeStyle)
        return QString();
    const QString separator = QStringLiteral(", ");
    QString comment = QStringLiteral("<!--~ ");
    if (options.doIncludeUser)
        comment += options.userInfo + separator;
    if (options.doIncludeDate) {
        const QDate date = now.date();
        comment += QStringLiteral("DATE: %1-%2-%3")
                       .arg(date.year(), 4, 10, QLatin1Char('0'))
                       .arg(twoDigits(date.month()), twoDigits(date.day()))
            + separator;
    }
    if (options.doIncludeTime) {
        const QTime time = now.time();
        const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
        comment += QStringLiteral("TIME: ") + twoDigits(hour) + QLatin1Char(':')
            + twoDigits(time.minute())
            + (time.hour() < 12 ? QStringLiteral(" am") : QStringLiteral(" pm")) + separator;
    }
    if (options.doIncludeStyle)
        comment += QStringLiteral("STYLE: ") + styleName + separator;
    if (options.doIncludeVersion)
        comment += QStringLiteral(" Folioscope v1.0 ");
    comment += QStringLiteral(" ~-->");
    return comment;
}

void FormatTokens(QStringView source, const StyleOptions &options, TagRuleTable &rules,
    const RunContext &context, ResultWriter &out)
{
    Layout layout(options, rules, context, out);
    layout.start();
    TokenizeSource(source, options, rules, context.hooks, layout);
}

} // namespace formatter
