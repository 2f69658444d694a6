#include "imaging/thumbstore.h"

#include "platform/textrules.h"

using platform::PathStyle;
using platform::replaceEveryIgnoringCase;

namespace thumbs {

namespace {

const QString kJpgSuffix = QStringLiteral(".jpg");
const QString kEquals = QStringLiteral("=");

QString withoutTrailingSeparators(const QString &folder, PathStyle style, qsizetype keep)
{
    const QChar sep = platform::separator(style);
    qsizetype end = folder.size();
    while (end > keep && folder.at(end - 1) == sep)
        --end;
    return folder.left(end);
}

} // namespace

QString EncodeThumbFolder(const QString &folder, PathStyle style)
{
    const QString sep = platform::separator(style);
    if (style == PathStyle::Windows) {
        QString tag = replaceEveryIgnoringCase(folder, QStringLiteral(":\\"), QStringLiteral("=="));
        tag = withoutTrailingSeparators(tag, style, 0);
        return replaceEveryIgnoringCase(tag, sep, kEquals) + sep;
    }
    // The root keeps its one "/", so that "/" gets a tag of its own ("=/").
    const QString trimmed = withoutTrailingSeparators(folder, style, 1);
    return replaceEveryIgnoringCase(trimmed, sep, kEquals) + sep;
}

QString ThumbFileFor(const QString &thumbFolder, const QString &folder, const QString &page,
                     PathStyle style)
{
    return platform::WithTrailingBackslash(thumbFolder, style) + EncodeThumbFolder(folder, style)
           + platform::fileNamePart(page, style) + kJpgSuffix;
}

QString PageFileFor(const QString &thumbFolder, const QString &thumbFile, PathStyle style)
{
    const QString sep = platform::separator(style);
    const QString rest = replaceEveryIgnoringCase(
        thumbFile, platform::WithTrailingBackslash(thumbFolder, style), QString());
    // Only the tag is decoded: the file name was never encoded, and an "=" in it is its own.
    const qsizetype nameStart = rest.lastIndexOf(sep) + 1;
    QString folder = rest.left(nameStart);
    if (style == PathStyle::Windows)
        folder = replaceEveryIgnoringCase(folder, QStringLiteral("=="), QStringLiteral(":\\"));
    folder = replaceEveryIgnoringCase(folder, kEquals, sep);
    folder = replaceEveryIgnoringCase(folder, sep + sep, sep);
    const QString page = folder + rest.mid(nameStart);
    return page.left(std::max<qsizetype>(0, page.size() - kJpgSuffix.size()));
}

} // namespace thumbs
