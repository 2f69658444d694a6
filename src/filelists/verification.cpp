#include "filelists/verification.h"

#include "platform/pathrules.h"

#include <QDir>
#include <QFileInfo>

namespace filelists {

namespace {

// The disk's entry for a listed path, or nothing when there is none.
bool findOnDisk(const QString &path, QFileInfo &info)
{
    // A NUL would cut the path short and find a file that was never listed.
    if (path.isEmpty() || path.contains(QChar(0)) || !QDir::isAbsolutePath(path))
        return false;
    info.setFile(path);
    return info.exists();
}

// The entry's Folder column, unless a record without its separators put the folder's end
// elsewhere: then the folder that really holds the file.
QString folderOf(const ListEntry &entry, const QFileInfo &info)
{
    if (platform::WithTrailingBackslash(entry.folder) + info.fileName() == entry.path())
        return entry.folder;
    return QDir::toNativeSeparators(info.path());
}

} // namespace

VerifyResult verifyEntries(QList<ListEntry> &entries, const std::function<void(int kept)> &keptStep)
{
    VerifyResult result;
    QList<ListEntry> kept;
    kept.reserve(entries.size());
    QFileInfo info;
    for (ListEntry &entry : entries) {
        const QString path = entry.path();
        if (!findOnDisk(path, info)) {
            ++result.removed;
            result.reportLines.append(QStringLiteral("Not Found:  ") + path);
            continue;
        }
        ListEntry fresh = makeListEntry(folderOf(entry, info), info);
        if (fresh != entry) {
            ++result.updated;
            result.reportLines.append(QStringLiteral("Updated:  ") + path);
            entry = std::move(fresh);
        }
        kept.append(std::move(entry));
        if (keptStep)
            keptStep(int(kept.size()));
    }
    entries = std::move(kept);
    return result;
}

} // namespace filelists
