#include "editor/textspot.h"

#include <algorithm>

namespace editor {

namespace {

// The start of the 1-based line, or of the last line when the text is shorter.
qsizetype lineStart(const QString &text, int line)
{
    qsizetype start = 0;
    for (int n = 1; n < line; ++n) {
        const qsizetype next = text.indexOf(QLatin1Char('\n'), start);
        if (next < 0)
            break;
        start = next + 1;
    }
    return start;
}

} // namespace

TextSpan spanNear(const QString &text, int line, int column, const QString &expected)
{
    const qsizetype start = lineStart(text, line);
    qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    if (end < 0)
        end = text.size();
    const qsizetype wanted = std::clamp<qsizetype>(start + column - 1, start, end);
    if (expected.isEmpty())
        return { wanted, 0 };
    qsizetype best = -1;
    for (qsizetype at = text.indexOf(expected, start); at >= 0 && at + expected.size() <= end;
         at = text.indexOf(expected, at + 1)) {
        if (best < 0 || std::abs(at - wanted) < std::abs(best - wanted))
            best = at;
    }
    if (best < 0)
        return { wanted, 0 };
    return { best, expected.size() };
}

} // namespace editor
