#include "formatter/compress.h"

#include "formatter/layout.h"
#include "formatter/tagkey.h"
#include "formatter/tokenizer.h"

#include <QList>
#include <QStringList>

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
        if (start == end)
            return;
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
        const QStringView text = m_source.sliced(start, end - start);
        // Sources come with LF line ends, so the search for a CR is mostly skipped.
        const bool hasCr = text.contains(QLatin1Char('\r'));
        qsizetype i = 0;
        while (i < text.size()) {
            const QChar c = text.at(i);
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
            const qsizetype stop = nextBreak(text, i + 1, hasCr);
            m_out.append(text.sliced(i, stop - i));
            m_lineOpen = true;
            i = stop;
        }
    }

    static qsizetype nextBreak(QStringView text, qsizetype from, bool hasCr)
    {
        qsizetype lf = text.indexOf(QLatin1Char('\n'), from);
        if (lf < 0)
            lf = text.size();
        if (!hasCr)
            return lf;
        const qsizetype cr = text.first(lf).indexOf(QLatin1Char('\r'), from);
        return cr < 0 ? lf : cr;
    }

    QStringView m_source;
    ResultWriter &m_out;
    qsizetype m_held = -1; // start of the whitespace held back, or -1
    bool m_pendingCr = false;
    bool m_lineOpen = false;
};

// The active keys of trim.ini ("1" starts the value's decimal text), looked up by their
// length: a page has a tag every few characters, and hashing each one cost more than the
// rest of the trim.
class TrimKeys
{
public:
    explicit TrimKeys(const TrimTagList &tags)
    {
        for (const TrimTag &tag : tags) {
            if (!QString::number(tag.value).startsWith(QLatin1Char('1')))
                continue;
            const QString key = tag.key.left(kMaxTrimKeyLength);
            if (m_byLength.size() <= key.size())
                m_byLength.resize(key.size() + 1);
            m_byLength[key.size()].append(key);
            m_longest = qMax(m_longest, key.size());
            m_any = true;
        }
    }

    bool isEmpty() const { return !m_any; }
    qsizetype longest() const { return m_longest; }

    bool contains(QStringView key) const
    {
        if (key.size() >= m_byLength.size())
            return false;
        for (const QString &candidate : m_byLength[key.size()]) {
            if (candidate == key)
                return true;
        }
        return false;
    }

private:
    QList<QStringList> m_byLength;
    qsizetype m_longest = 0;
    bool m_any = false;
};

// The progress of a run through the source, reported every kProgressStep characters.
class TrimProgress
{
public:
    TrimProgress(const FormatHooks &hooks, qsizetype length)
        : m_hooks(hooks)
        , m_length(length)
        // Without anyone to tell, the source is one step.
        , m_next(hooks.setProgress || hooks.processEvents ? kProgressStep : length)
    {
        if (m_hooks.setProgressMaximum)
            m_hooks.setProgressMaximum(length);
    }

    // Where the next report is due; reports the one due at p.
    qsizetype reach(qsizetype p)
    {
        if (p < m_next)
            return m_next;
        m_next = qMin(m_length, (p / kProgressStep + 1) * kProgressStep);
        if (m_hooks.setProgress)
            m_hooks.setProgress(p / kProgressStep * kProgressStep);
        if (m_hooks.processEvents)
            m_hooks.processEvents();
        return m_next;
    }

    void finish()
    {
        if (m_hooks.setProgress) {
            m_hooks.setProgress(m_length);
            m_hooks.setProgress(0);
        }
    }

private:
    const FormatHooks &m_hooks;
    qsizetype m_length;
    qsizetype m_next;
};

// The key of the tag that the "<" at p opens, if trim.ini names it.
bool isTrimTagAt(QStringView source, qsizetype p, const TrimKeys &keys, QString &key)
{
    if (keys.isEmpty() || !canBeginTag(source, p))
        return false;
    key.resize(0);
    TagKeyInto(source.sliced(p), keys.longest(), key);
    closeKeyAtEnd(key, source.size() - p);
    return !key.isEmpty() && keys.contains(key);
}

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
    const TrimKeys keys(trimTags);
    const qsizetype length = source.size();
    TrimProgress progress(hooks, length);
    TrimOutput result(source, out);
    QString key;
    qsizetype copied = 0; // the source before this went to the result
    qsizetype p = 0;
    while (p < length) {
        const qsizetype limit = progress.reach(p);
        const qsizetype lt = source.sliced(p, limit - p).indexOf(QLatin1Char('<'));
        if (lt < 0) {
            p = limit;
            continue;
        }
        p += lt;
        if (!isTrimTagAt(source, p, keys, key)) {
            ++p;
            continue;
        }
        result.copy(copied, p);
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
        copied = p;
    }
    result.copy(copied, length);
    result.finish(length);
    progress.finish();
}

} // namespace formatter
