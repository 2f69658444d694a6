#pragma once

#include "platform/filerules.h"
#include "platform/pathrules.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace folderview {

// One entry of the filter box: "HTM(L) only" with the mask "*.htm".
struct FilterPair {
    QString description;
    QString mask;
};

// The pairs of a filter text "description|mask|description|mask..."; a text without "|" gives
// none, and a last description without its mask is dropped.
QList<FilterPair> parseFilterText(const QString &text);
// The mask of pair `index`, or "*.*" (every file) when there is no such pair.
QString maskAt(const QList<FilterPair> &pairs, int index);

// Index of the name equal to `name` without regard to case, or -1.
int findListIndex(const QStringList &names, const QString &name);

// The names of the regular, non-hidden files of `folder` that match `mask`, sorted without
// regard to case. Links to files count as files; links to folders, broken links, link loops,
// pipes and devices never do. A folder that is missing or unreadable gives what could be read.
QStringList listMatchingFiles(const QString &folder, const QString &mask);

// The names of the non-hidden sub-folders of `folder`, sorted as the files are: folders and
// links to folders only, never a link to a pipe or a device.
QStringList listSubFolders(const QString &folder);

} // namespace folderview
