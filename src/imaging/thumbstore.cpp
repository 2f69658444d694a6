#include "imaging/thumbstore.h"

#include "platform/safefile.h"
#include "platform/textrules.h"

using platform::PathStyle;
using platform::replaceEveryIgnoringCase;

namespace imaging {

namespace {

const QString kJpgSuffix = QStringLiteral(".jpg");
const QString kEquals = QStringLiteral("=");
// On POSIX systems an "=" in a folder's name is escaped, and so is the escape character,
// so that "a=b/" and "a/b/" get tags of their own; every other name is left as it is.
const QChar kEscape = u'%';
const QString kEscapedEscape = QStringLiteral("%25");
const QString kEscapedEquals = QStringLiteral("%3D");
// At most this many characters go to the next level so that it does not start with a ".".
constexpr int kMaxLevelBackOff = 8;

QString withoutTrailingSeparators(const QString &folder, PathStyle style, qsizetype keep)
{
    const QChar sep = platform::separator(style);
    qsizetype end = folder.size();
    while (end > keep && folder.at(end - 1) == sep)
        --end;
    return folder.left(end);
}

bool surrogatePairAt(QStringView text, qsizetype i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
}

// How much of a file name's length limit the character at `i` takes: UTF-16 units on
// Windows, UTF-8 bytes elsewhere. A surrogate pair counts whole at its first unit.
qsizetype nameLengthAt(QStringView text, qsizetype i, PathStyle style)
{
    const bool pair = surrogatePairAt(text, i);
    if (style == PathStyle::Windows)
        return pair ? 2 : 1;
    const char16_t c = text.at(i).unicode();
    return pair ? 4 : (c < 0x80 ? 1 : (c < 0x800 ? 2 : 3));
}

qsizetype nameLength(QStringView name, PathStyle style)
{
    qsizetype length = 0;
    for (qsizetype i = 0; i < name.size(); i += surrogatePairAt(name, i) ? 2 : 1)
        length += nameLengthAt(name, i, style);
    return length;
}

// Where the level that starts at `start` ends: as much as fits, but not before a "." if it can
// help it, since a level starting with one would be hidden from the clean-up's folder scan.
qsizetype levelEnd(QStringView tag, qsizetype start, PathStyle style)
{
    qsizetype end = start;
    qsizetype length = 0;
    while (end < tag.size() && length + nameLengthAt(tag, end, style) <= kMaxThumbTagLevel) {
        length += nameLengthAt(tag, end, style);
        end += surrogatePairAt(tag, end) ? 2 : 1;
    }
    qsizetype cut = end;
    for (int step = 0; step < kMaxLevelBackOff && cut < tag.size() && tag.at(cut) == u'.'; ++step) {
        cut -= cut >= 2 && surrogatePairAt(tag, cut - 2) ? 2 : 1;
        if (cut <= start)
            return end;
    }
    return cut < tag.size() && tag.at(cut) == u'.' ? end : cut;
}

// The tag in levels of at most kMaxThumbTagLevel each, every level but the last nearly full.
QString splitIntoLevels(const QString &tag, PathStyle style)
{
    const QChar sep = platform::separator(style);
    QString levels;
    for (qsizetype start = 0; start < tag.size();) {
        const qsizetype end = levelEnd(tag, start, style);
        levels += QStringView(tag).mid(start, end - start) + sep;
        start = end;
    }
    return levels;
}

QString escapedFolderNames(QString folder)
{
    folder.replace(kEscape, kEscapedEscape);
    folder.replace(kEquals, kEscapedEquals);
    return folder;
}

// One pass from the left, so that an escaped escape character is never read again.
QString unescapedFolderNames(QStringView folder)
{
    QString names;
    names.reserve(folder.size());
    for (qsizetype i = 0; i < folder.size(); ++i) {
        const QStringView rest = folder.mid(i);
        if (rest.startsWith(kEscapedEquals)) {
            names += kEquals;
            i += kEscapedEquals.size() - 1;
        } else if (rest.startsWith(kEscapedEscape)) {
            names += kEscape;
            i += kEscapedEscape.size() - 1;
        } else {
            names += folder.at(i);
        }
    }
    return names;
}

QString joinedLevels(QStringView levels, PathStyle style)
{
    QString tag = levels.toString();
    tag.remove(platform::separator(style));
    return tag;
}

} // namespace

QString EncodeThumbFolder(const QString &folder, PathStyle style)
{
    const QString sep = platform::separator(style);
    QString tag;
    if (style == PathStyle::Windows) {
        tag = replaceEveryIgnoringCase(folder, QStringLiteral(":\\"), QStringLiteral("=="));
        tag = withoutTrailingSeparators(tag, style, 0);
    } else {
        // The root keeps its one "/", so that "/" gets a tag of its own ("=/").
        tag = escapedFolderNames(withoutTrailingSeparators(folder, style, 1));
    }
    tag = replaceEveryIgnoringCase(tag, sep, kEquals);
    // A deep folder's tag would be longer than a folder name may be.
    if (nameLength(tag, style) > kMaxThumbTagLevel)
        return splitIntoLevels(tag, style);
    return tag + sep;
}

bool ThumbTagLevelContinues(const QString &levelName, PathStyle style)
{
    // A level gives up at most kMaxLevelBackOff characters, the first of up to 4 bytes, and
    // leaves up to 3 bytes unused when the next character does not fit.
    return nameLength(levelName, style) > kMaxThumbTagLevel - 3 - 4 * kMaxLevelBackOff;
}

QString TagOfThumbFile(const QString &relativeThumbFile, PathStyle style)
{
    const qsizetype nameStart = relativeThumbFile.lastIndexOf(platform::separator(style)) + 1;
    return joinedLevels(QStringView(relativeThumbFile).left(nameStart), style);
}

QString ThumbFileFor(const QString &thumbFolder, const QString &folder, const QString &page,
                     PathStyle style)
{
    return platform::WithTrailingBackslash(thumbFolder, style) + EncodeThumbFolder(folder, style)
           + platform::fileNamePart(page, style) + kJpgSuffix;
}

QString FolderOfThumbTag(const QString &tag, PathStyle style)
{
    const QString sep = platform::separator(style);
    QString folder = tag + sep;
    if (style == PathStyle::Windows)
        folder = replaceEveryIgnoringCase(folder, QStringLiteral("=="), QStringLiteral(":\\"));
    folder = replaceEveryIgnoringCase(folder, kEquals, sep);
    folder = replaceEveryIgnoringCase(folder, sep + sep, sep);
    return style == PathStyle::Windows ? folder : unescapedFolderNames(folder);
}

QString PageFileFor(const QString &thumbFolder, const QString &thumbFile, PathStyle style)
{
    const QString rest = replaceEveryIgnoringCase(
        thumbFile, platform::WithTrailingBackslash(thumbFolder, style), QString());
    // Only the tag is decoded: the file name was never encoded, and an "=" in it is its own.
    const qsizetype nameStart = rest.lastIndexOf(platform::separator(style)) + 1;
    const QString folder
        = nameStart > 0 ? FolderOfThumbTag(TagOfThumbFile(rest, style), style) : QString();
    const QString page = folder + rest.mid(nameStart);
    return page.left(std::max<qsizetype>(0, page.size() - kJpgSuffix.size()));
}

bool ThumbOutOfDate(const QString &thumbFolder, const QString &page)
{
    // Looked at by the names' bytes, so that a page with a Latin-1 name is found.
    const platform::FileState pageFile = platform::fileState(page);
    const platform::FileState thumb
        = platform::fileState(ThumbFileFor(thumbFolder, platform::folderPart(page), page));
    if (pageFile.kind != platform::FileState::Regular
        || thumb.kind != platform::FileState::Regular)
        return true;
    return pageFile.modified > thumb.modified;
}

QStringList PagesWithOutOfDateThumbs(const QString &thumbFolder, const QStringList &pages)
{
    QStringList outOfDate;
    for (const QString &page : pages)
        if (ThumbOutOfDate(thumbFolder, page))
            outOfDate.append(page);
    return outOfDate;
}

} // namespace imaging
