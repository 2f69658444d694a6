#include "frame/pageframe.h"

#include "platform/pathrules.h"

#include <QDir>
#include <QStandardPaths>

namespace app {

PageFrame::~PageFrame() = default;

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

} // namespace app
