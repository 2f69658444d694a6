#include "formatter/compress.h"

#include "formatter/layout.h"
#include "formatter/tagkey.h"

#include <QSet>

namespace formatter {

namespace {

constexpr qsizetype kMaxTrimKeyLength = 100;

bool isTrimSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
           || c == QLatin1Char('\r');
}

QString storedLine(QString line)
{
    if (line.size() == 1 && line.at(0) == QLatin1Char(' '))
        line.clear();
    return line;
}

// Lines split at CR LF, LF or CR; a break at the very end starts no further line.
QStringList splitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(text.sliced(start, i - start).toString());
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.sliced(start).toString());
    return lines;
}

} // namespace

QStringList CompressTokens(const TokenLists &tokens, const StyleOptions &options,
                           const RunContext &context)
{
    const FormatHooks &hooks = context.hooks;
    const qsizetype count = tokens.tokenLines.size();
    if (hooks.setProgressMaximum)
        hooks.setProgressMaximum(count);
    QStringList result;
    QString run;
    if (!context.selectionMode && options.useWhileCompress)
        result.append(SignatureComment(options, context.styleName, context.now()));
    for (qsizetype i = 0; i < count; ++i) {
        if (i % 100 == 0 && i > 0) {
            if (hooks.setProgress)
                hooks.setProgress(i);
            if (hooks.processEvents)
                hooks.processEvents();
        }
        const TokenLine &token = tokens.tokenLines.at(i);
        if (!token.isMarker()) {
            run += token.text;
            continue;
        }
        const VerbatimBlock &block = tokens.blocks.at(token.block);
        if (block.openingKey == u"<!--") {
            if (!options.doPurgeComments)
                run += block.lines.join(QStringLiteral("\r\n"));
            continue;
        }
        if (!run.isEmpty())
            result.append(storedLine(std::move(run)));
        run.clear();
        result.append(block.lines);
    }
    if (!run.isEmpty())
        result.append(storedLine(std::move(run)));
    if (hooks.setProgress) {
        hooks.setProgress(count);
        hooks.setProgress(0);
    }
    return result;
}

QStringList TrimSource(QStringView source, const TrimTagList &trimTags, const FormatHooks &hooks)
{
    if (source.isEmpty())
        return QStringList();
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
    QString result;
    result.reserve(length);
    qsizetype nextProgress = 1000;
    qsizetype p = 0;
    while (p < length) {
        if (p >= nextProgress) {
            nextProgress = (p / 1000 + 1) * 1000;
            if (hooks.setProgress)
                hooks.setProgress(p / 1000 * 1000);
            if (hooks.processEvents)
                hooks.processEvents();
        }
        if (source.at(p) != QLatin1Char('<')) {
            qsizetype stop = source.indexOf(QLatin1Char('<'), p);
            if (stop < 0)
                stop = length;
            stop = qMin(stop, nextProgress);
            result += source.sliced(p, stop - p);
            p = stop;
            continue;
        }
        const QString key = activeKeys.isEmpty() ? QString()
                                                 : TagKey(source.sliced(p), longestKey);
        if (key.isEmpty() || !activeKeys.contains(key)) {
            result += QLatin1Char('<');
            ++p;
            continue;
        }
        qsizetype end = source.indexOf(QLatin1Char('>'), p + 1);
        if (end < 0)
            end = length - 1;
        const bool closing = key.size() > 1 && key.at(1) == QLatin1Char('/');
        if (closing) {
            qsizetype size = result.size();
            while (size > 0 && isTrimSpace(result.at(size - 1)))
                --size;
            result.truncate(size);
        }
        result += source.sliced(p, end - p + 1);
        p = end + 1;
        if (!closing) {
            while (p < length && isTrimSpace(source.at(p)))
                ++p;
        }
    }
    if (hooks.setProgress) {
        hooks.setProgress(length);
        hooks.setProgress(0);
    }
    return splitLines(result);
}

} // namespace formatter
