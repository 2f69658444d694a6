#include "frame/datafolders.h"

#include "frame/settings.h"

#include "platform/pathrules.h"

#include <QDir>
#include <QStandardPaths>

namespace frame {

QString programFolderFor(const QString &executableDir)
{
    QString folder = platform::WithTrailingBackslash(QDir::toNativeSeparators(executableDir));
    // Windows names are case-blind: one spelling of the folder for every comparison.
    if (platform::nativePathStyle() == platform::PathStyle::Windows)
        folder = folder.toUpper();
    return folder;
}

QString thumbFolderOf(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("THUMBS") + platform::separator(platform::nativePathStyle());
}

QString listsFolderOf(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("FILELISTS")
        + platform::separator(platform::nativePathStyle());
}

QString dataFolderFor(const QString &programFolder, bool programFolderWritable)
{
    if (programFolderWritable)
        return programFolder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return platform::WithTrailingBackslash(QDir::toNativeSeparators(data));
}

platform::LeftoverSweep removeStoreLeftovers(
    const QString &dataFolder, const QString &snapshotFolder)
{
    platform::LeftoverSweep sweep = removeSettingsLeftovers(dataFolder);
    const auto add = [&sweep](const platform::LeftoverSweep &more) {
        sweep.removed += more.removed;
        sweep.failed += more.failed;
    };
    add(platform::removeAtomicWriterLeftovers(
        listsFolderOf(dataFolder),
        [](QStringView target) { return target.endsWith(u".lst", Qt::CaseInsensitive); }, false));
    add(platform::removeAtomicWriterLeftovers(
        snapshotFolder,
        [](QStringView target) {
            return target.startsWith(u"snap_", Qt::CaseInsensitive)
                && (target.endsWith(u".jpg", Qt::CaseInsensitive)
                    || target.endsWith(u".bmp", Qt::CaseInsensitive));
        },
        false));
    return sweep;
}

} // namespace frame
