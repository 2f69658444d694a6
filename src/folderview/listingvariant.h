#pragma once

// What the platform variants of the folder listing give; not for use outside src/folderview.
#include "folderview/folderlisting.h"

#include <QString>
#include <QStringList>

namespace folderview {

// The names of the files of `folder` that `filter` matches, in no order; links count as what
// they point to.
QStringList unsortedMatchingFiles(const QString &folder, const platform::FileMask &filter);

// The names of the sub-folders of `folder`, in no order.
QStringList unsortedSubFolders(const QString &folder);

} // namespace folderview
