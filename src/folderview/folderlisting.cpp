#include "folderview/folderlisting.h"

#include "platform/filenames.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

using platform::PathStyle;

namespace folderview {

QList<FilterPair> parseFilterText(const QString &text)
{
    QList<FilterPair> pairs;
    if (!text.contains(QLatin1Char('|')))
        return pairs;
    const QStringList parts = text.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        pairs.append({parts.at(i), parts.at(i + 1)});
    return pairs;
}

QString maskAt(const QList<FilterPair> &pairs, int index)
{
    if (index < 0 || index >= pairs.size())
        return QStringLiteral("*.*");
    return pairs.at(index).mask;
}

int findListIndex(const QStringList &names, const QString &name)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

namespace {

void sortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
}

#ifdef Q_OS_UNIX
enum class EntryKind { File, Folder, Other };

// Links are followed: a link counts as what it points to, a broken one as nothing.
EntryKind kindOf(int folderFd, const dirent &entry)
{
    if (entry.d_type == DT_REG)
        return EntryKind::File;
    if (entry.d_type == DT_DIR)
        return EntryKind::Folder;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return EntryKind::Other;
    struct stat info {
    };
    if (::fstatat(folderFd, entry.d_name, &info, 0) != 0)
        return EntryKind::Other;
    return S_ISREG(info.st_mode) ? EntryKind::File
        : S_ISDIR(info.st_mode)  ? EntryKind::Folder
                                 : EntryKind::Other;
}

// The decoded names of the non-hidden entries of `folder` of the kind wanted, unsorted. A read
// error ends the listing like its end does: what was read is kept.
QStringList namesOfKind(const QString &folder, EntryKind wanted)
{
    QStringList names;
    DIR *dir = ::opendir(platform::encodeFilePath(folder).constData());
    if (!dir)
        return names;
    const int fd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.' && kindOf(fd, *entry) == wanted)
            names.append(platform::decodeFileName(entry->d_name));
    }
    ::closedir(dir);
    return names;
}
#endif

} // namespace

QStringList listMatchingFiles(const QString &folder, const QString &mask)
{
    const platform::FileMask filter(mask);
    QStringList names;
#ifdef Q_OS_UNIX
    for (QString &name : namesOfKind(folder, EntryKind::File))
        if (filter.matches(name))
            names.append(std::move(name));
#else
    // Files only: links to folders count as folders there.
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (filter.matches(it.fileName()))
            names.append(it.fileName());
    }
#endif
    sortNames(names);
    return names;
}

QStringList listSubFolders(const QString &folder)
{
#ifdef Q_OS_UNIX
    QStringList names = namesOfKind(folder, EntryKind::Folder);
#else
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
#endif
    sortNames(names);
    return names;
}

} // namespace folderview
