#pragma once

#include "frame/batchprogress.h"
#include "frame/selection.h"

#include <QString>

#include <functional>

namespace folderview {

struct DeleteResult {
    bool confirmed = false;    // the user said Yes: the caller re-reads its list
    int lastDeletedIndex = -1; // entry index of the last file removed
};
// Asks, then removes the selected entries of the active page; the caller re-reads its list.
// mayRemove runs after the user's Yes and before the first file goes (the editor's unsaved
// changes are settled there); false leaves every file in place.
DeleteResult deleteSelectedFiles(const frame::SelectionQueries &selection, bool &doRecycleBin,
    const std::function<bool()> &mayRemove = {});

struct CopyResult {
    // One file copied: the target tried, so the window can re-read its list and select it.
    QString singleTarget;
    int copied = 0; // files written
};
// "Copy file(s) to": one file through the save dialog, several through the folder dialog with
// the progress window. copyPath (COPYPATH) becomes the folder of a batch however it ends.
CopyResult copySelectedFiles(const frame::SelectionQueries &selection, QString &copyPath,
    frame::BatchProgress &progress, const std::function<void(bool)> &setMainWindowEnabled = {});

} // namespace folderview
