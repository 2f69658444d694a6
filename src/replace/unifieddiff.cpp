#include "replace/unifieddiff.h"

#include <algorithm>
#include <cstring>

namespace replace {

namespace {

constexpr qsizetype kContext = 3;

// Where each line of a page starts, and the page's end.
class Lines
{
public:
    explicit Lines(const QByteArray &page)
        : m_page(page)
    {
        m_starts.push_back(0);
        for (qsizetype at = page.indexOf('\n'); at >= 0 && at + 1 < page.size();
             at = page.indexOf('\n', at + 1))
            m_starts.push_back(at + 1);
    }

    qsizetype count() const { return qsizetype(m_starts.size()); }
    qsizetype start(qsizetype line) const
    {
        return line < count() ? m_starts[size_t(line)] : m_page.size();
    }
    qsizetype lineOf(qsizetype offset) const
    {
        return qsizetype(std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin()) - 1;
    }

private:
    const QByteArray &m_page;
    std::vector<qsizetype> m_starts;
};

// Lines [first, last] of the old page that change, and what stands there afterwards.
struct Block {
    qsizetype first = 0;
    qsizetype last = 0;
    QByteArray after;
    qsizetype afterLines = 0;
};

qsizetype countLines(const QByteArray &text)
{
    if (text.isEmpty())
        return 0;
    return text.count('\n') + (text.endsWith('\n') ? 0 : 1);
}

void appendLines(QByteArray &out, char mark, const char *bytes, qsizetype size)
{
    for (qsizetype at = 0; at < size;) {
        const char *end = static_cast<const char *>(std::memchr(bytes + at, '\n', size_t(size - at)));
        const qsizetype stop = end ? end - bytes + 1 : size;
        out += mark;
        out.append(bytes + at, stop - at);
        if (!end)
            out += "\n\\ No newline at end of file\n";
        at = stop;
    }
}

std::vector<Block> blocksOf(const QByteArray &page, const Lines &lines, const std::vector<Edit> &edits)
{
    std::vector<Block> blocks;
    for (size_t i = 0; i < edits.size();) {
        Block block;
        block.first = lines.lineOf(edits[i].begin);
        block.last = lines.lineOf(std::max(edits[i].begin, edits[i].end - 1));
        size_t next = i + 1;
        for (;;) {
            while (next < edits.size() && lines.lineOf(edits[next].begin) <= block.last + 1) {
                block.last = std::max(block.last,
                    lines.lineOf(std::max(edits[next].begin, edits[next].end - 1)));
                ++next;
            }
            // A change that takes a line end away joins the next line to this block.
            const std::vector<Edit> own(edits.begin() + qsizetype(i), edits.begin() + qsizetype(next));
            const qsizetype from = lines.start(block.first);
            const qsizetype to = lines.start(block.last + 1);
            QByteArray old = page.mid(from, to - from);
            std::vector<Edit> shifted = own;
            for (Edit &edit : shifted) {
                edit.begin -= from;
                edit.end -= from;
            }
            block.after = applyEdits(old, shifted);
            if (!block.after.endsWith('\n') && block.last + 1 < lines.count()) {
                ++block.last;
                continue;
            }
            break;
        }
        block.afterLines = countLines(block.after);
        blocks.push_back(std::move(block));
        i = next;
    }
    return blocks;
}

} // namespace

QByteArray unifiedDiff(const QByteArray &name, const QByteArray &page, const std::vector<Edit> &edits)
{
    if (edits.empty())
        return QByteArray();
    const Lines lines(page);
    const std::vector<Block> blocks = blocksOf(page, lines, edits);
    QByteArray out = "--- a/" + name + "\n+++ b/" + name + "\n";
    qsizetype delta = 0; // lines the new page has more than the old one before a hunk
    for (size_t i = 0; i < blocks.size();) {
        size_t end = i + 1;
        while (end < blocks.size() && blocks[end].first - blocks[end - 1].last - 1 <= 2 * kContext)
            ++end;
        const qsizetype oldFirst = std::max<qsizetype>(0, blocks[i].first - kContext);
        const qsizetype oldLast = std::min(lines.count() - 1, blocks[end - 1].last + kContext);
        QByteArray body;
        qsizetype newCount = 0;
        qsizetype at = oldFirst;
        for (size_t b = i; b < end; ++b) {
            const Block &block = blocks[b];
            appendLines(body, ' ', page.constData() + lines.start(at), lines.start(block.first) - lines.start(at));
            appendLines(body, '-', page.constData() + lines.start(block.first),
                lines.start(block.last + 1) - lines.start(block.first));
            appendLines(body, '+', block.after.constData(), block.after.size());
            newCount += (block.first - at) + block.afterLines;
            at = block.last + 1;
        }
        appendLines(body, ' ', page.constData() + lines.start(at), lines.start(oldLast + 1) - lines.start(at));
        newCount += oldLast + 1 - at;
        const qsizetype oldCount = oldLast - oldFirst + 1;
        const qsizetype newFirst = oldFirst + delta + (newCount > 0 ? 1 : 0);
        out += "@@ -" + QByteArray::number(oldFirst + 1) + ',' + QByteArray::number(oldCount) + " +"
            + QByteArray::number(newFirst) + ',' + QByteArray::number(newCount) + " @@\n";
        out += body;
        delta += newCount - oldCount;
        i = end;
    }
    return out;
}

} // namespace replace
