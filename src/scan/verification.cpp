#include "scan/verification.h"

#include "platform/pathrules.h"

#include <QDir>

namespace filelists {

namespace {

// The entry's Folder column, unless a record without its separators put the folder's end
// elsewhere: then the folder that really holds the file.
QString folderOf(const ListEntry &entry, const QString &path)
{
    if (platform::WithTrailingBackslash(entry.folder) + platform::fileNamePart(path) == path)
        return entry.folder;
    return platform::folderPart(path);
}

// The disk's entry for a listed path, or nothing when there is none.
std::optional<ListEntry> findOnDisk(const ListEntry &entry, const QString &path)
{
    // A NUL would cut the path short and find a file that was never listed.
    if (path.isEmpty() || path.contains(QChar(0)) || !QDir::isAbsolutePath(path))
        return std::nullopt;
    return diskEntry(folderOf(entry, path), path);
}

} // namespace

VerifyResult verifyEntries(QList<ListEntry> &entries, const std::function<void(int kept)> &keptStep)
{
    VerifyResult result;
    QList<ListEntry> kept;
    kept.reserve(entries.size());
    for (ListEntry &entry : entries) {
        const QString path = entry.path();
        std::optional<ListEntry> fresh = findOnDisk(entry, path);
        if (!fresh) {
            ++result.removed;
            result.reportLines.append(QStringLiteral("Not Found:  ") + path);
            continue;
        }
        if (*fresh != entry) {
            ++result.updated;
            result.reportLines.append(QStringLiteral("Updated:  ") + path);
            entry = std::move(*fresh);
        }
        kept.append(std::move(entry));
        if (keptStep)
            keptStep(int(kept.size()));
    }
    entries = std::move(kept);
    return result;
}

} // namespace filelists
