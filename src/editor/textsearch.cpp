#include "editor/textsearch.h"

namespace editor {

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isWholeWord(QStringView text, qsizetype at, qsizetype length)
{
    const bool startOk = at == 0 || !isWordCharacter(text[at - 1]);
    const bool endOk = at + length >= text.size() || !isWordCharacter(text[at + length]);
    return startOk && endOk;
}

} // namespace

qsizetype findForward(QStringView text, qsizetype from, QStringView what, SearchOptions options)
{
    if (what.isEmpty() || from < 0)
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(what, from, cs); at >= 0;
         at = text.indexOf(what, at + 1, cs)) {
        if (!options.wholeWord || isWholeWord(text, at, what.size()))
            return at;
    }
    return -1;
}

QList<qsizetype> occurrencesFrom(
    QStringView text, qsizetype from, QStringView what, SearchOptions options)
{
    QList<qsizetype> found;
    for (qsizetype at = findForward(text, from, what, options); at >= 0;
         at = findForward(text, at + what.size(), what, options))
        found.append(at);
    return found;
}

} // namespace editor
