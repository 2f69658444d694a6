#pragma once

#include <QList>
#include <QStringView>

namespace editor {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// The first occurrence at or after `from`, searching forwards to the end without wrapping;
// -1 when there is none or `what` is empty. A whole word has no letter, digit or "_" on
// either side.
qsizetype findForward(QStringView text, qsizetype from, QStringView what, SearchOptions options);

// Every occurrence from `from` to the end, each search going on after the previous
// occurrence, as Replace All meets them.
QList<qsizetype> occurrencesFrom(
    QStringView text, qsizetype from, QStringView what, SearchOptions options);

} // namespace editor
