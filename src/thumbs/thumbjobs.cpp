#include "thumbs/thumbjobs.h"

#include "platform/dialogs.h"

#include <QCoreApplication>

namespace thumbs {

namespace {

template<typename Hook, typename... Args> void call(const Hook &hook, Args &&...args)
{
    if (hook)
        hook(std::forward<Args>(args)...);
}

bool diskSpaceLeft(const ThumbJobHooks &hooks)
{
    return !hooks.checkDiskSpace || hooks.checkDiskSpace();
}

void handleOne(ThumbMode mode, const QString &path, const ThumbJobHooks &hooks)
{
    if (mode == ThumbMode::Clear)
        call(hooks.clearThumb, path);
    else
        call(hooks.makeThumb, path);
}

// Closes the progress window and enables the main window however the batch ends.
class BatchScope
{
public:
    BatchScope(frame::BatchProgress *progress, const ThumbJobHooks &hooks)
        : m_progress(progress)
        , m_hooks(hooks)
    { }
    ~BatchScope()
    {
        call(m_hooks.setMainWindowEnabled, true);
        if (m_progress)
            m_progress->closeProgress();
    }
    BatchScope(const BatchScope &) = delete;
    BatchScope &operator=(const BatchScope &) = delete;

private:
    frame::BatchProgress *m_progress;
    const ThumbJobHooks &m_hooks;
};

} // namespace

QString progressText(int k, int s, const QString &path)
{
    return QStringLiteral("(%1 of %2): ").arg(k).arg(s) + path;
}

void addOrRemoveThumbs(ThumbMode mode, const frame::SelectionQueries &selection,
    frame::BatchProgress *progress, const ThumbJobHooks &hooks)
{
    const frame::SelectionCount counts = selection.selectionCounts();
    if (counts.selected < 1) {
        platform::dialogs().ShowInfo(
            (mode == ThumbMode::Clear ? QStringLiteral("Cannot clear thumbnail.")
                                 : QStringLiteral("Cannot create thumbnail."))
            + QStringLiteral("\r\nNo file(s) selected ..."));
        return;
    }
    if (counts.selected == 1) {
        const QString path = selection.currentFile();
        if (mode == ThumbMode::Clear || diskSpaceLeft(hooks))
            handleOne(mode, path, hooks);
        call(hooks.singleDone);
        return;
    }
    BatchEntries entries;
    for (int i = 0; i < counts.total; ++i) {
        const QString path = selection.entryPath(i, true);
        if (!path.isEmpty())
            entries.append({ i, path });
    }
    RunThumbBatch(mode, entries, progress, hooks);
}

int RunThumbBatch(ThumbMode mode, const BatchEntries &entries, frame::BatchProgress *progress,
    const ThumbJobHooks &hooks)
{
    const int s = int(entries.size());
    if (progress) {
        progress->initProgressBar(s);
        progress->showProgress();
    }
    call(hooks.setMainWindowEnabled, false);
    const BatchScope scope(progress, hooks);
    if (mode == ThumbMode::Make && hooks.planBatch) {
        QStringList pages;
        for (const auto &entry : entries)
            pages.append(entry.second);
        hooks.planBatch(pages);
    }
    int k = 1;
    for (const auto &[index, path] : entries) {
        if (progress)
            progress->setProgressText(progressText(k, s, path));
        if (mode == ThumbMode::Make && !diskSpaceLeft(hooks))
            break;
        handleOne(mode, path, hooks);
        ++k;
        if (progress)
            progress->stepProgress();
        call(hooks.entryDone, index);
        if (hooks.processEvents)
            hooks.processEvents();
        else
            QCoreApplication::processEvents();
        if (progress && progress->stopRequested())
            break;
    }
    return k - 1;
}

} // namespace thumbs
