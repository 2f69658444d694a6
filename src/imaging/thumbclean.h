#pragma once

#include "platform/pathrules.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace imaging {

// Told the path of a thumbnail file whose cached picture is no longer valid.
using ThumbInvalidator = std::function<void(const QString &thumbFile)>;

// Deletes the thumbnail of the page with full path `page` (a missing one is no error) and
// tells the cache. Shows the busy cursor meanwhile.
void ClearThumb(
    const QString &thumbFolder, const QString &page, const ThumbInvalidator &cacheInvalidate = {});

struct CleanResult {
    int found = 0; // thumbnail files met
    int removed = 0; // thumbnail files that are gone
    QStringList failed; // thumbnail files that could not be deleted
    QString message; // the information text that the menu item shows
};

// "Remove all thumbs from disk" (removeAll) or "Remove orphaned thumbs from disk": deletes every
// thumbnail file (.jpg, also .j and .jp) of the thumbnail folder and its sub-folders, or only
// those whose page is gone, and the stale leftovers of killed writers (not counted), then
// removes the sub-folders of the thumbnail folder that are left empty (one level only). Shows the busy cursor meanwhile; the window stays live through the
// folder scan. The cache is not touched.
CleanResult CleanThumbFolder(const QString &thumbFolder, bool removeAll);

// True when the page of a thumbnail file cannot be found (by its name's bytes, so a Latin-1
// name is found too), or when the file is not the thumbnail that page gets now (one of an
// older name rule). In the Windows form the thumbnails of network folders (tags beginning
// with "==") cannot be mapped back to a page and are never orphans, and a folder name holding
// "=" reads back as two folders: every reading of the tag is tried.
bool ThumbIsOrphaned(const QString &thumbFolder, const QString &thumbFile,
    platform::PathStyle style = platform::nativePathStyle());

} // namespace imaging
