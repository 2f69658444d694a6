// The variant of the folder listing through Qt's iterator.
#include "folderview/listingvariant.h"

#include <QDir>
#include <QDirIterator>

namespace folderview {

QStringList unsortedMatchingFiles(const QString &folder, const platform::FileMask &filter)
{
    QStringList names;
    // Files only: links to folders count as folders there.
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (filter.matches(it.fileName()))
            names.append(it.fileName());
    }
    return names;
}

QStringList unsortedSubFolders(const QString &folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace folderview
