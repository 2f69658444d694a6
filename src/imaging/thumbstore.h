#pragma once

#include "platform/pathrules.h"

#include <QString>
#include <QStringList>

namespace imaging {

// The longest folder name the file systems take: 255 bytes (UTF-8) on POSIX systems, 255
// UTF-16 units on Windows.
constexpr qsizetype kMaxThumbTagLevel = 255;

// The folder tag: the name of the sub-folder of the thumbnail folder that holds the thumbnails
// of every page of `folder`. Always ends in one separator; the folder may be given with or
// without its trailing separator.
//   Windows: C:\Web\Site -> C==Web=Site\      POSIX: /home/u/site -> =home=u=site/
// On POSIX systems a folder name's "=" becomes "%3D" and its "%" becomes "%25"
// (/srv/a=b -> =srv=a%3Db/), so that no two folders share a tag; a name without either
// keeps the tag it always had.
// A tag longer than kMaxThumbTagLevel (a deep folder) is cut into as many folder levels as it
// needs, each filled up to the limit but the last; the levels joined give the tag again.
QString EncodeThumbFolder(const QString &folder,
                          platform::PathStyle style = platform::nativePathStyle());

// True when a folder level of the thumbnail folder is so long that its tag may go on in a
// level below it.
bool ThumbTagLevelContinues(
    const QString &levelName, platform::PathStyle style = platform::nativePathStyle());

// The tag of a thumbnail file given relative to the thumbnail folder, its levels joined and
// without the trailing separator; empty for a file lying in the thumbnail folder itself.
QString TagOfThumbFile(const QString &relativeThumbFile,
    platform::PathStyle style = platform::nativePathStyle());

// The thumbnail file of `page` in `folder`: thumbFolder + tag + page's file name + ".jpg".
// Only the file-name part of `page` is used, so it may be a bare name or a full path.
QString ThumbFileFor(const QString &thumbFolder, const QString &folder, const QString &page,
                     platform::PathStyle style = platform::nativePathStyle());

// The folder that a tag (its levels joined) stands for, with its trailing separator: the
// inverse of EncodeThumbFolder. In the Windows style a folder name holding "=" reads back
// as two folders (such tags collide there), and network folders do not come back.
QString FolderOfThumbTag(
    const QString &tag, platform::PathStyle style = platform::nativePathStyle());

// The page that a thumbnail file belongs to (FolderOfThumbTag of its tag + its name).
QString PageFileFor(const QString &thumbFolder, const QString &thumbFile,
                    platform::PathStyle style = platform::nativePathStyle());

// Whether `page` wants its thumbnail made: it has none, or its file was modified after the
// thumbnail was written. A page that is missing or not a file counts too, so that making it
// names the problem.
bool ThumbOutOfDate(const QString &thumbFolder, const QString &page);
// The pages among `pages` whose thumbnails are out of date, in their order.
QStringList PagesWithOutOfDateThumbs(const QString &thumbFolder, const QStringList &pages);

} // namespace imaging
