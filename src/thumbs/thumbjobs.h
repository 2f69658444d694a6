#pragma once

#include "frame/batchprogress.h"
#include "frame/selection.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace thumbs {

// What addOrRemoveThumbs does to each file.
enum class ThumbMode { Clear, Make };

// What making and clearing thumbnails do around each file; empty hooks are skipped.
struct ThumbJobHooks {
    std::function<bool(const QString &page)> makeThumb;
    std::function<void(const QString &page)> clearThumb;
    // False (after its message) when the thumbnail folder's volume is nearly full.
    std::function<bool()> checkDiskSpace;
    // The pages a batch of makes will ask for, in order, before it asks.
    std::function<void(const QStringList &pages)> planBatch;
    // Entry `index` of a batch is done: its thumbnail is redrawn.
    std::function<void(int index)> entryDone;
    // A single make or clear is done: the corner and the selected thumbnail are redrawn.
    std::function<void()> singleDone;
    std::function<void(bool enabled)> setMainWindowEnabled;
    // Lets pending window messages run once per file (where a stop is seen).
    std::function<void()> processEvents;
};

using BatchEntries = QList<std::pair<int, QString>>; // entry index, full path

// Makes or clears the thumbnails of the selected entries of the active page:
// a message when nothing is selected, the current file alone when one is, otherwise a batch.
void addOrRemoveThumbs(ThumbMode mode, const frame::SelectionQueries &selection,
    frame::BatchProgress *progress, const ThumbJobHooks &hooks);

// The batch over the given entries, in order, with the progress texts "(k of s): path". It ends
// after the last entry, at a failed disk-space check, or after the file under way when a stop
// is requested; the progress window closes and the main window is enabled however it ends.
// Returns the number of files handled.
int RunThumbBatch(ThumbMode mode, const BatchEntries &entries, frame::BatchProgress *progress,
    const ThumbJobHooks &hooks);

// "(3 of 12): C:\Web\Site\news.htm"
QString progressText(int k, int s, const QString &path);

} // namespace thumbs
