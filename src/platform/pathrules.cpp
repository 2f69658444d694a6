#include "platform/pathrules.h"

namespace platform {

QChar separator(PathStyle style)
{
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

QString WithTrailingBackslash(const QString &path, PathStyle style)
{
    const QChar sep = separator(style);
    qsizetype end = path.size();
    while (end > 0 && path.at(end - 1) == sep)
        --end;
    return path.left(end) + sep;
}

static qsizetype lastSeparatorIndex(const QString &path, PathStyle style)
{
    qsizetype index = path.lastIndexOf(separator(style));
    if (style == PathStyle::Windows)
        index = std::max(index, path.lastIndexOf(QLatin1Char(':')));
    return index;
}

QString fileNamePart(const QString &path, PathStyle style)
{
    return path.mid(lastSeparatorIndex(path, style) + 1);
}

QString folderPart(const QString &path, PathStyle style)
{
    return path.left(lastSeparatorIndex(path, style) + 1);
}

} // namespace platform
