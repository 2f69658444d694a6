#include "scan/verification.h"

#include "platform/filenames.h"
#include "platform/pathrules.h"

#include <QDir>

#include <cerrno>

namespace scan {

namespace {

// The entry's Folder column, unless a record without its separators put the folder's end
// elsewhere: then the folder that really holds the file.
QString folderOf(const ListEntry &entry, const QString &path)
{
    if (platform::WithTrailingBackslash(entry.folder) + platform::fileNamePart(path) == path)
        return entry.folder;
    return platform::folderPart(path);
}

// The disk's entry for a listed path, or nothing when there is none or it cannot be looked
// at, with the reason in `error` (0 for a path that can name no file).
std::optional<ListEntry> findOnDisk(const ListEntry &entry, const QString &path, int *error)
{
    *error = 0;
    // A NUL would cut the path short and find a file that was never listed.
    if (path.isEmpty() || path.contains(QChar(0)) || !QDir::isAbsolutePath(path))
        return std::nullopt;
    return diskEntry(folderOf(entry, path), path, error);
}

// Only an answer that there is no such file removes an entry: a folder that cannot be entered,
// a link loop or a failing disk says nothing about the file, and neither does a name that was
// not valid UTF-8 and lost its bytes on the way.
bool isMissing(const QString &path, int error)
{
    if (error == ENOENT)
        return !platform::hasUndecodableName(path);
    return error == 0 || error == ENOTDIR || error == ENAMETOOLONG;
}

} // namespace

VerifyResult verifyEntries(QList<ListEntry> &entries, const std::function<void(int kept)> &keptStep)
{
    VerifyResult result;
    QList<ListEntry> kept;
    kept.reserve(entries.size());
    for (ListEntry &entry : entries) {
        const QString path = entry.path();
        int error = 0;
        std::optional<ListEntry> fresh = findOnDisk(entry, path, &error);
        if (!fresh && !isMissing(path, error)) {
            ++result.unchecked;
            result.reportLines.append(QStringLiteral("Not Checked:  ") + path + QStringLiteral(" (")
                + platform::fileErrorText(path, error) + QLatin1Char(')'));
            fresh = entry;
        }
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

QString uncheckedNote(int count)
{
    return QStringLiteral("%1 entries could not be checked and were kept (see the report).")
        .arg(count);
}

} // namespace scan
