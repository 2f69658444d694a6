#include "editor/tagrange.h"

#include "platform/textcodec.h"

#include <QFile>

namespace editor {

namespace {

constexpr qsizetype kBackwardBlock = 128;
constexpr qsizetype kForwardBlock = 4096;
// Further away the blocks grow: a long stretch without tags costs a few reads, not thousands.
constexpr qsizetype kLargestBlock = 65536;
constexpr qsizetype kMaxHintLength = 1000;

qsizetype lastOpenBefore(const TextFetch &fetch, qsizetype caret)
{
    const qsizetype limit = qMax<qsizetype>(0, caret - kTagSearchLimit);
    qsizetype end = caret;
    qsizetype block = kBackwardBlock;
    while (end > limit) {
        const qsizetype from = qMax(limit, end - block);
        const qsizetype found = fetch(from, end - from).lastIndexOf(u'<');
        if (found >= 0)
            return from + found;
        end = from;
        block = qMin(block * 2, kLargestBlock);
    }
    return -1;
}

qsizetype firstCloseFrom(const TextFetch &fetch, qsizetype caret, qsizetype size)
{
    const qsizetype limit = qMin(size, caret + kTagSearchLimit);
    qsizetype from = caret;
    qsizetype block = kForwardBlock;
    while (from < limit) {
        const qsizetype length = qMin(block, limit - from);
        const qsizetype found = fetch(from, length).indexOf(u'>');
        if (found >= 0)
            return from + found;
        from += length;
        block = qMin(block * 2, kLargestBlock);
    }
    return -1;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

} // namespace

TextRange locateTagAroundCaret(const TextFetch &fetch, qsizetype caret, qsizetype size)
{
    caret = qBound<qsizetype>(0, caret, size);
    const qsizetype open = lastOpenBefore(fetch, caret);
    if (open < 0)
        return {};
    const qsizetype close = firstCloseFrom(fetch, caret, size);
    if (close < 0)
        return {};
    return { open, close - open + 1 };
}

TextRange locateTagAroundCaret(QStringView text, qsizetype caret)
{
    const TextFetch fetch
        = [text](qsizetype from, qsizetype length) { return text.sliced(from, length).toString(); };
    return locateTagAroundCaret(fetch, caret, text.size());
}

QString tagHintName(QStringView located)
{
    const qsizetype close = located.indexOf(u'>');
    if (close >= 0)
        located = located.first(close + 1);
    if (located.startsWith(u"</"))
        located = located.sliced(2);
    else if (located.startsWith(u'<'))
        located = located.sliced(1);
    qsizetype end = 0;
    while (end < located.size() && !isBlank(located[end]) && located[end] != u'>')
        ++end;
    return QLatin1Char('<') + located.first(end) + QLatin1Char('>');
}

QString locatedTagName(const TextFetch &fetch, TextRange range)
{
    // The name ends at the first blank or ">", nearly always within the first characters of
    // a range that may run on for a long way.
    constexpr qsizetype kHead = 256;
    if (range.length > kHead) {
        const QString name = tagHintName(fetch(range.start, kHead));
        if (name.size() < kHead)
            return name;
    }
    return tagHintName(fetch(range.start, range.length));
}

QString lookupTagHint(const QStringList &table, const QString &name)
{
    for (const QString &line : table) {
        if (!line.startsWith(name, Qt::CaseInsensitive))
            continue;
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            return QString();
        return QStringView(line).sliced(colon + 1).left(kMaxHintLength).trimmed().toString();
    }
    return QString();
}

QStringList readTagHintTable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList table;
    const QString text = platform::decodeText(file.readAll()).text;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n')))
        table.append((line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line).toString());
    return table;
}

} // namespace editor
