#include "viewer/linkrules.h"

namespace viewer {

LinkTarget linkTargetPath(const QString &frameFile, const QString &url, platform::PathStyle style)
{
    LinkTarget result;
    const qsizetype hash = url.indexOf(QLatin1Char('#'));
    const QString rest = hash < 0 ? url : url.left(hash);
    if (rest.isEmpty()) {
        result.anchorOnly = true;
        return result;
    }
    if (frameFile.isEmpty())
        return result;
    QString relative = rest;
    relative.replace(QLatin1Char('/'), platform::separator(style));
    result.path
        = platform::WithTrailingBackslash(platform::folderPart(frameFile, style), style) + relative;
    return result;
}

QString coveredLinkText(const QString &target, const QString &url)
{
    if (target.isEmpty() && url.isEmpty())
        return QString();
    QString text = QStringLiteral("URL: ") + url;
    if (!target.isEmpty())
        text += QStringLiteral("    (Target: ") + target + QLatin1Char(')');
    return text;
}

} // namespace viewer
