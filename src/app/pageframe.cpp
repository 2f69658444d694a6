#include "app/pageframe.h"

#include "platform/pathrules.h"

namespace app {

PageFrame::~PageFrame() = default;

QString thumbFolderOf(const QString &programFolder)
{
    return programFolder + QStringLiteral("THUMBS")
        + platform::separator(platform::nativePathStyle());
}

QString listsFolderOf(const QString &programFolder)
{
    return programFolder + QStringLiteral("FILELISTS")
        + platform::separator(platform::nativePathStyle());
}

} // namespace app
