#include "formatter/layout.h"

#include "formatter/tagkey.h"

#include <QHash>

namespace formatter {

namespace {

constexpr qsizetype kProgressStep = 100;

QString repeated(const QString &symbol, qsizetype count)
{
    return count > 0 && !symbol.isEmpty() ? symbol.repeated(count) : QString();
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

void chopTrailingSpaces(QString &line)
{
    qsizetype size = line.size();
    while (size > 0 && line.at(size - 1) == QLatin1Char(' '))
        --size;
    line.truncate(size);
}

QStringView withoutTrailingSpaces(QStringView text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// The key of the last tag of a text run, when the run ends with a tag.
QString lastTagKey(QStringView line)
{
    while (line.endsWith(QLatin1Char(' ')))
        line.chop(1);
    if (line.size() <= 1 || !line.endsWith(QLatin1Char('>')))
        return QString();
    const qsizetype lt = line.lastIndexOf(QLatin1Char('<'));
    return lt < 0 ? QString() : TagKey(line.sliced(lt));
}

class Layout
{
public:
    Layout(const TokenLists &tokens, const StyleOptions &options, TagRuleTable &rules,
        const RunContext &context);

    QStringList run();

private:
    struct RuleMatch {
        int index = 0;
        TagKind kind = TagKind::Opening;
    };

    void lookUp(QStringView line);
    QString indented(const QString &line) const;
    void addPlain(QString line);
    void addIfNotEmpty(QString line);
    void blankLines(int count);
    void sectionComment(TagKind kind);
    void wrap(QStringView line);
    void verbatimBlock(const VerbatimBlock &block);
    void inlineOpening(const QString &line);
    void ownLineOpening(const QString &line);
    void closing(const QString &line);
    void raiseLevel(int units);
    void lowerLevel(int units);

    const TokenLists &m_tokens;
    const StyleOptions &m_options;
    TagRuleTable &m_rules;
    const RunContext &m_context;
    QHash<QString, RuleMatch> m_lookup;
    RecTAGInfo m_defaultRule = DefaultTagRule();
    RecTAGInfo *m_current = &m_defaultRule;
    TagKind m_kind = TagKind::Opening;
    qint64 m_indentLevel = 0;
    QStringList m_result;
};

Layout::Layout(const TokenLists &tokens, const StyleOptions &options, TagRuleTable &rules,
    const RunContext &context)
    : m_tokens(tokens)
    , m_options(options)
    , m_rules(rules)
    , m_context(context)
{
    // First rule wins, TagOpen before TagClose within a rule.
    for (const RecTAGInfo &rule : m_rules.rules) {
        if (!rule.tagOpen.isEmpty() && !m_lookup.contains(rule.tagOpen))
            m_lookup.insert(rule.tagOpen, { rule.index, TagKind::Opening });
        if (!rule.tagClose.isEmpty() && !m_lookup.contains(rule.tagClose))
            m_lookup.insert(rule.tagClose, { rule.index, TagKind::Closing });
    }
}

void Layout::lookUp(QStringView line)
{
    m_current = &m_defaultRule;
    m_kind
        = line.size() > 1 && line.at(1) == QLatin1Char('/') ? TagKind::Closing : TagKind::Opening;
    const auto it = m_lookup.constFind(TagKey(line));
    if (it != m_lookup.constEnd()) {
        m_current = &m_rules.rule(it->index);
        m_kind = it->kind;
    }
}

QString Layout::indented(const QString &line) const
{
    if (line.isEmpty() || line.startsWith(QLatin1Char('\t')))
        return line;
    qsizetype width = 0;
    if (m_indentLevel > 0 && m_options.spacing > 0) {
        width
            = m_indentLevel > kMaxIndentWidth ? kMaxIndentWidth : m_indentLevel * m_options.spacing;
        width = qMin(width, kMaxIndentWidth);
    }
    QString out;
    const QString &prefix = m_context.selectionMode ? m_context.selectionIndent : QString();
    out.reserve(prefix.size() + width / 8 + width % 8 + line.size());
    out += prefix;
    out += QString(width / 8, QLatin1Char('\t'));
    out += QString(width % 8, QLatin1Char(' '));
    out += line;
    return out;
}

void Layout::addPlain(QString line)
{
    // Trailing spaces go; doing it on the way in equals doing it at the end.
    chopTrailingSpaces(line);
    m_result.append(std::move(line));
}

void Layout::addIfNotEmpty(QString line)
{
    if (!line.isEmpty())
        addPlain(std::move(line));
}

void Layout::blankLines(int count)
{
    for (int i = 1; i < count && i <= kMaxBlankLines; ++i)
        m_result.append(QString());
}

void Layout::sectionComment(TagKind kind)
{
    const QString comment = SectionComment(*m_current, kind, m_options);
    addIfNotEmpty(m_current->cindent ? indented(comment) : comment);
}

void Layout::wrap(QStringView line)
{
    const QStringList pieces = WrapLine(line, m_options.lineSize, m_options.breakExcluder);
    for (const QString &piece : pieces)
        addIfNotEmpty(indented(piece));
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

void Layout::verbatimBlock(const VerbatimBlock &block)
{
    const bool cell = block.openingKey == u"<TD>";
    if (cell) {
        lookUp(u"<TD>");
        blankLines(m_current->crlfLeading);
        raiseLevel(m_current->isSelfIndent);
        sectionComment(TagKind::Opening);
        for (const QString &line : block.lines)
            addPlain(indented(line));
        sectionComment(TagKind::Closing);
        lowerLevel(m_current->isSelfIndent);
        blankLines(m_current->crlfFollowed);
        return;
    }
    // Comments, PRE, SCRIPT, STYLE and TEXTAREA come back exactly, trailing spaces too.
    m_result.append(block.lines);
}

void Layout::inlineOpening(const QString &line)
{
    const QString last = lastTagKey(line);
    blankLines(m_current->crlfLeading);
    sectionComment(TagKind::Opening);
    wrap(line);
    if (!last.isEmpty() && last != m_current->tagOpen) {
        lookUp(last);
        sectionComment(m_kind);
        blankLines(m_kind == TagKind::Opening ? m_current->crlfLeading : m_current->crlfFollowed);
    }
}

void Layout::ownLineOpening(const QString &line)
{
    blankLines(m_current->crlfLeading);
    raiseLevel(m_current->isSelfIndent);
    sectionComment(TagKind::Opening);
    addIfNotEmpty(indented(line));
    raiseLevel(m_current->isContentIndent);
}

void Layout::closing(const QString &line)
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

QStringList Layout::run()
{
    ResetTagCounters(m_rules);
    m_indentLevel = 0;
    const FormatHooks &hooks = m_context.hooks;
    const qsizetype count = m_tokens.tokenLines.size();
    if (!m_context.selectionMode) {
        if (hooks.setProgressMaximum)
            hooks.setProgressMaximum(count);
        if (m_options.useWhileFormat)
            addPlain(SignatureComment(m_options, m_context.styleName, m_context.now()));
    }
    for (qsizetype i = 0; i < count; ++i) {
        if (i % kProgressStep == 0 && i > 0) {
            if (hooks.setProgress)
                hooks.setProgress(i);
            if (hooks.processEvents)
                hooks.processEvents();
        }
        const TokenLine &token = m_tokens.tokenLines.at(i);
        if (token.isMarker()) {
            verbatimBlock(m_tokens.blocks.at(token.block));
        } else if (token.text.startsWith(QLatin1Char('<'))) {
            lookUp(token.text);
            if (m_kind == TagKind::Closing)
                closing(token.text);
            else if (m_current->treatAsText)
                inlineOpening(token.text);
            else
                ownLineOpening(token.text);
        } else {
            wrap(token.text);
        }
    }
    if (hooks.setProgress) {
        hooks.setProgress(count);
        hooks.setProgress(0);
    }
    return std::move(m_result);
}

} // namespace

QStringList WrapLine(QStringView line, int lineSize, QStringView breakExcluder)
{
    QStringList pieces;
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
        pieces.append(rest.first(cut + 1).toString());
        rest = rest.sliced(cut + 1);
    }
    if (!rest.isEmpty())
        pieces.append(rest.toString());
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

QStringList FormatTokens(const TokenLists &tokens, const StyleOptions &options, TagRuleTable &rules,
    const RunContext &context)
{
    return Layout(tokens, options, rules, context).run();
}

} // namespace formatter
