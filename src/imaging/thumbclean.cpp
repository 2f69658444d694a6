#include "imaging/thumbclean.h"

#include "imaging/thumbstore.h"
#include "platform/atomicfile.h"
#include "platform/hourglass.h"
#include "platform/safefile.h"
#include "scan/folderscan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using platform::PathStyle;

namespace imaging {

namespace {

const QString kThumbMask = QStringLiteral("*.JPG");
const QChar kEquals = QLatin1Char('=');
// Beyond this many "=" signs in one Windows tag only the plain reading is tried (each sign
// doubles the readings).
constexpr qsizetype kMaxReadings = 12;

// Looked for by the names' bytes, so that a page with a Latin-1 name is found.
bool pageExists(const QString &page)
{
    return platform::fileState(page).kind != platform::FileState::Missing;
}

// Every reading of the remaining tag parts, each "=" before them a separator or itself, until
// one names an existing page. A separator is only tried where the folder so far exists.
bool someReadingExists(
    const QString &folder, const QStringList &parts, qsizetype next, const QString &page, QChar sep)
{
    if (next == parts.size())
        return pageExists(folder + sep + page);
    if (QFileInfo(folder).isDir()
        && someReadingExists(folder + sep + parts.at(next), parts, next + 1, page, sep))
        return true;
    return someReadingExists(folder + kEquals + parts.at(next), parts, next + 1, page, sep);
}

bool plainReadingMissing(const QString &thumbFolder, const QString &thumbFile, PathStyle style)
{
    const QString page = PageFileFor(thumbFolder, thumbFile, style);
    return !QDir::isAbsolutePath(page) || !pageExists(page);
}

bool removeThumb(const QString &path)
{
    return QFile::remove(path) || !QFileInfo::exists(path);
}

// The sub-folders of the thumbnail folder that are empty now; files and full folders stay.
// Below a level of a split tag, its further levels are emptied the same way first.
void removeEmptySubFolders(const QString &thumbFolder)
{
    QDir folder(thumbFolder);
    const QStringList names
        = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (ThumbTagLevelContinues(name) && QFileInfo(folder.filePath(name)).isDir()
            && !QFileInfo(folder.filePath(name)).isSymLink())
            removeEmptySubFolders(folder.filePath(name));
        folder.rmdir(name);
    }
}

QString cleanMessage(const CleanResult &result, bool removeAll)
{
    if (removeAll)
        return QString::number(result.removed) + QStringLiteral(" thumbnails removed.");
    return QString::number(result.found) + QStringLiteral(" thumbnails found.\r\n\r\n")
        + QString::number(result.removed) + QStringLiteral(" orphaned thumbnails removed.");
}

// A Windows tag may stand for several folders: every reading is tried.
bool windowsThumbIsOrphaned(const QString &thumbFolder, const QString &thumbFile,
    const QString &tag, const QString &page)
{
    constexpr PathStyle style = PathStyle::Windows;
    if (tag.startsWith(QStringLiteral("==")))
        return false; // a network folder: no page to compare with
    const qsizetype drive = tag.indexOf(QStringLiteral("=="));
    if (drive < 0)
        return plainReadingMissing(thumbFolder, thumbFile, style);
    const QString root = tag.left(drive) + QStringLiteral(":\\");
    const QString body = tag.mid(drive + 2);
    if (body.isEmpty())
        return !pageExists(root + page);
    const QStringList parts = body.split(kEquals);
    if (parts.size() > kMaxReadings + 1)
        return plainReadingMissing(thumbFolder, thumbFile, style);
    return !someReadingExists(root + parts.first(), parts, 1, page, platform::separator(style));
}

} // namespace

bool ThumbIsOrphaned(const QString &thumbFolder, const QString &thumbFile, PathStyle style)
{
    const QChar sep = platform::separator(style);
    const QString prefix = platform::WithTrailingBackslash(thumbFolder, style);
    if (!thumbFile.startsWith(prefix, Qt::CaseInsensitive))
        return plainReadingMissing(thumbFolder, thumbFile, style);
    const QString rest = thumbFile.mid(prefix.size());
    const qsizetype nameStart = rest.lastIndexOf(sep) + 1;
    // A picture lying in the thumbnail folder itself belongs to no folder.
    if (nameStart == 0)
        return true;
    if (style == PathStyle::Windows) {
        const QString name = rest.mid(nameStart);
        return windowsThumbIsOrphaned(thumbFolder, thumbFile, TagOfThumbFile(rest, style),
            name.left(std::max<qsizetype>(0, name.size() - 4)));
    }
    const QString page = PageFileFor(thumbFolder, thumbFile, style);
    if (!page.startsWith(sep) || !pageExists(page))
        return true;
    // A page's thumbnail is only the one that it gets now: a file of an older name rule (an
    // "=" that was not escaped) is never shown again.
    return ThumbFileFor(prefix, platform::folderPart(page, style), page, style).mid(prefix.size())
        != rest;
}

void ClearThumb(
    const QString &thumbFolder, const QString &page, const ThumbInvalidator &cacheInvalidate)
{
    const platform::HourglassGuard hourglass;
    const QString thumb = ThumbFileFor(thumbFolder, platform::folderPart(page), page);
    QFile::remove(thumb);
    if (cacheInvalidate)
        cacheInvalidate(thumb);
}

CleanResult CleanThumbFolder(const QString &thumbFolder, bool removeAll)
{
    const platform::HourglassGuard hourglass;
    scan::ScanOptions options;
    options.mask = kThumbMask;
    const QStringList thumbs = scan::ScanFolderPaths(thumbFolder, options);

    CleanResult result;
    result.found = int(thumbs.size());
    for (const QString &thumb : thumbs) {
        if (!removeAll && !ThumbIsOrphaned(thumbFolder, thumb))
            continue;
        if (removeThumb(thumb))
            ++result.removed;
        else
            result.failed.append(thumb);
    }
    // What writers killed half-way left; they never count as thumbnails.
    const platform::LeftoverSweep leftovers = platform::removeAtomicWriterLeftovers(
        thumbFolder,
        [](QStringView target) { return target.endsWith(u".jpg", Qt::CaseInsensitive); }, true);
    result.failed += leftovers.failed;
    removeEmptySubFolders(thumbFolder);
    result.message = cleanMessage(result, removeAll);
    return result;
}

} // namespace imaging
