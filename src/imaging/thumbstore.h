#pragma once

#include "platform/pathrules.h"

#include <QString>

namespace thumbs {

// The folder tag: the name of the sub-folder of the thumbnail folder that holds the thumbnails
// of every page of `folder`. Always ends in one separator; the folder may be given with or
// without its trailing separator.
//   Windows: C:\Web\Site -> C==Web=Site\      POSIX: /home/u/site -> =home=u=site/
QString EncodeThumbFolder(const QString &folder,
                          platform::PathStyle style = platform::nativePathStyle());

// The thumbnail file of `page` in `folder`: thumbFolder + tag + page's file name + ".jpg".
// Only the file-name part of `page` is used, so it may be a bare name or a full path.
QString ThumbFileFor(const QString &thumbFolder, const QString &folder, const QString &page,
                     platform::PathStyle style = platform::nativePathStyle());

// The page that a thumbnail file belongs to. Not faithful for folders whose names hold "="
// (their tags collide) nor, in the Windows style, for network folders.
QString PageFileFor(const QString &thumbFolder, const QString &thumbFile,
                    platform::PathStyle style = platform::nativePathStyle());

} // namespace thumbs
