#include "formatter/compress.h"

#include "formatter/layout.h"
#include "formatter/tagkey.h"
#include "formatter/tokenizer.h"

#include <QSet>

namespace formatter {

namespace {

constexpr qsizetype kMaxTrimKeyLength = 100;
constexpr qsizetype kProgressStep = 1000;

bool isTrimSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
        || c == QLatin1Char('\r');
}

class Compressor final : public TokenSink
{
public:
    Compressor(const StyleOptions &options, ResultWriter &out)
        : m_options(options)
        , m_out(out)
    { }

    void tokenLine(QStringView line) override
    {
        if (line.isEmpty())
            return;
        m_out.append(line);
        m_runOpen = true;
    }

    void verbatimBlock(const BlockText &block) override
    {
        if (block.openingKey == u"<!--") {
            if (m_options.doPurgeComments)
                return;
            // A comment stays inside the run, its lines joined by CR LF.
            bool first = true;
            forEachBlockLine(block.text, [&](QStringView line) {
                if (!first)
                    m_out.endLine();
                m_out.append(line);
                first = false;
            });
            m_runOpen = true;
            return;
        }
        endRun();
        forEachBlockLine(block.text, [this](QStringView line) { m_out.line(line); });
    }

    void endRun()
    {
        if (m_runOpen)
            m_out.endLine();
        m_runOpen = false;
    }

private:
    const StyleOptions &m_options;
    ResultWriter &m_out;
    // Whether the current long line has any text. It never is exactly one space: token
    // lines are never that, and comments begin with "<!--".
    bool m_runOpen = false;
};

// The trim result with its line breaks (CR LF, LF or a lone CR) written as CR LF, and
// whitespace at its end held back, since a closing tag may take it away again.
class TrimOutput
{
public:
    TrimOutput(QStringView source, ResultWriter &out)
        : m_source(source)
        , m_out(out)
    { }

    // Source characters from start to end (exclusive) go to the result. What is held runs
    // up to start: only whitespace after an opening tag is skipped, and such a tag ends
    // with ">" unless it runs to the end of the source.
    void copy(qsizetype start, qsizetype end)
    {
        qsizetype last = end - 1;
        while (last >= start && isTrimSpace(m_source.at(last)))
            --last;
        if (last < start) { // whitespace only: held after what is held already
            if (m_held < 0)
                m_held = start;
            return;
        }
        write(m_held >= 0 ? m_held : start, last + 1);
        m_held = last + 1 < end ? last + 1 : -1;
    }

    void dropHeldWhitespace() { m_held = -1; }

    void finish(qsizetype end)
    {
        if (m_held >= 0)
            write(m_held, end);
        m_held = -1;
        if (m_pendingCr || m_lineOpen)
            m_out.endLine();
    }

private:
    void write(qsizetype start, qsizetype end)
    {
        qsizetype i = start;
        while (i < end) {
            const QChar c = m_source.at(i);
            if (c == QLatin1Char('\n')) { // alone or after a CR: one break
                m_out.endLine();
                m_pendingCr = false;
                m_lineOpen = false;
                ++i;
                continue;
            }
            if (m_pendingCr) {
                m_out.endLine();
                m_pendingCr = false;
                m_lineOpen = false;
            }
            if (c == QLatin1Char('\r')) {
                m_pendingCr = true;
                ++i;
                continue;
            }
            qsizetype stop = i + 1;
            while (stop < end && m_source.at(stop) != QLatin1Char('\n')
                && m_source.at(stop) != QLatin1Char('\r'))
                ++stop;
            m_out.append(m_source.sliced(i, stop - i));
            m_lineOpen = true;
            i = stop;
        }
    }

    QStringView m_source;
    ResultWriter &m_out;
    qsizetype m_held = -1; // start of the whitespace held back, or -1
    bool m_pendingCr = false;
    bool m_lineOpen = false;
};

} // namespace

void CompressTokens(QStringView source, const StyleOptions &options, const TagRuleTable &rules,
    const RunContext &context, ResultWriter &out)
{
    if (!context.selectionMode && options.useWhileCompress)
        out.line(SignatureComment(options, context.styleName, context.now()));
    Compressor compressor(options, out);
    TokenizeSource(source, options, rules, context.hooks, compressor);
    compressor.endRun();
}

void TrimSource(
    QStringView source, const TrimTagList &trimTags, const FormatHooks &hooks, ResultWriter &out)
{
    if (source.isEmpty())
        return;
    // Active: the value's decimal text begins with "1".
    QSet<QString> activeKeys;
    qsizetype longestKey = 0;
    for (const TrimTag &tag : trimTags) {
        if (!QString::number(tag.value).startsWith(QLatin1Char('1')))
            continue;
        const QString key = tag.key.left(kMaxTrimKeyLength);
        activeKeys.insert(key);
        longestKey = qMax(longestKey, key.size());
    }

    const qsizetype length = source.size();
    if (hooks.setProgressMaximum)
        hooks.setProgressMaximum(length);
    TrimOutput result(source, out);
    QString key;
    qsizetype nextProgress = kProgressStep;
    qsizetype p = 0;
    while (p < length) {
        if (p >= nextProgress) {
            nextProgress = (p / kProgressStep + 1) * kProgressStep;
            if (hooks.setProgress)
                hooks.setProgress(p / kProgressStep * kProgressStep);
            if (hooks.processEvents)
                hooks.processEvents();
        }
        if (source.at(p) != QLatin1Char('<')) {
            // Up to the next "<", but no further than the next progress step.
            const qsizetype limit = qMin(length, nextProgress);
            qsizetype stop = source.sliced(p, limit - p).indexOf(QLatin1Char('<'));
            stop = stop < 0 ? limit : p + stop;
            result.copy(p, stop);
            p = stop;
            continue;
        }
        key.resize(0);
        if (!activeKeys.isEmpty() && canBeginTag(source, p)) {
            TagKeyInto(source.sliced(p), longestKey, key);
            closeKeyAtEnd(key, length - p);
        }
        if (key.isEmpty() || !activeKeys.contains(key)) {
            result.copy(p, p + 1);
            ++p;
            continue;
        }
        qsizetype end = source.indexOf(QLatin1Char('>'), p + 1);
        if (end < 0)
            end = length - 1;
        const bool closing = key.size() > 1 && key.at(1) == QLatin1Char('/');
        if (closing)
            result.dropHeldWhitespace();
        result.copy(p, end + 1);
        p = end + 1;
        if (!closing) {
            while (p < length && isTrimSpace(source.at(p)))
                ++p;
        }
    }
    result.finish(length);
    if (hooks.setProgress) {
        hooks.setProgress(length);
        hooks.setProgress(0);
    }
}

} // namespace formatter
