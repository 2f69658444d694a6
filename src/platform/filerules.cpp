#include "platform/filerules.h"

namespace platform {

QString extensionPart(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool MaskMatches(const QString &path, const QString &maskList, PathStyle style)
{
    const QString extension = extensionPart(fileNamePart(path, style)).toUpper();
    if (extension.isEmpty() || extension == QLatin1String(".") || extension == QLatin1String(".."))
        return false;
    QString masks = maskList.toUpper();
    masks.remove(QLatin1Char('*'));
    return masks.contains(extension.left(4));
}

bool IsInThumbFolder(const QString &folder, const QString &thumbFolder, PathStyle style)
{
    const QString shown = WithTrailingBackslash(folder.toUpper(), style);
    const QString thumbs = WithTrailingBackslash(thumbFolder.toUpper(), style);
    // A POSIX path may hold the thumbnail folder's text further in ("/home/u/opt/fs/THUMBS/"
    // for "/opt/fs/THUMBS/") without lying below it.
    if (style == PathStyle::Posix)
        return shown.startsWith(thumbs);
    return shown.contains(thumbs);
}

} // namespace platform
